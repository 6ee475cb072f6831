// A new user's start in the window: New Scene's chooser of templates and
// the guide with its pictures.
#include "app/qt/studio/new_scene_dlg_qt.h"
#include "app/qt/window/guide_qt.h"
#include "app/tests/window_fixture.h"
#include "scene/newscene.h"
#include "scene/templates.h"

#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTranslator>

namespace {

// A document's image as its browser loaded it: a picture, or its file's bytes.
QImage image_of(const QVariant &v)
{
    if (v.canConvert<QByteArray>() && !v.canConvert<QImage>())
        return QImage::fromData(v.toByteArray());
    return qvariant_cast<QImage>(v);
}

} // namespace

// The chooser lists every template, the first chosen, each thumbnail
// arriving from beside the window; Enter gives the scene New Scene has
// always given, and Escape nothing. Its texts are Japanese, and in the
// English translation the templates' own titles.
TEST_F(Window, NewSceneChoosesFromTheTemplates)
{
    QTranslator en;
    ASSERT_TRUE(en.load(":/i18n/koru_en.qm"));
    QCoreApplication::installTranslator(&en);
    bool seen = false;
    on_modal([&seen](QWidget *w) {
        auto *dlg = qobject_cast<NewSceneDlg *>(w);
        auto *list = dlg ? dlg->findChild<QListWidget *>("templates") : nullptr;
        ASSERT_TRUE(list && list->count() == scene_template_count());
        EXPECT_EQ(dlg->windowTitle(), "New Scene");
        for (int i = 0; i < list->count(); i++) {
            EXPECT_EQ(list->item(i)->text().toStdString(), scene_template_at(i).title);
            EXPECT_EQ(list->item(i)->toolTip().toStdString(), scene_template_at(i).about);
        }
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_TRUE(wait_until([dlg] { return dlg->thumbnails() == scene_template_count(); }));
        seen = true;
        QTest::keyClick(list, Qt::Key_Return);
    });
    run(IDM_NEWSCENE);
    QCoreApplication::removeTranslator(&en);
    const studio_state &st = win->state().studio;
    EXPECT_TRUE(seen && st.on);
    EXPECT_EQ(st.text, new_scene_text);
    EXPECT_FALSE(st.modified);
    EXPECT_EQ(win->windowTitle(), QString("[*]") + NEW_SCENE_NAME); // "*" once it is changed
    EXPECT_FALSE(win->isWindowModified());

    on_modal([](QWidget *w) {
        EXPECT_EQ(w->windowTitle(), "新規シーン");
        auto *list = w->findChild<QListWidget *>("templates");
        EXPECT_EQ(list->item(2)->text(), "ガラスと鏡");
        list->setCurrentRow(2);
        QTest::keyClick(list, Qt::Key_Escape);
    });
    run(IDM_NEWSCENE);
    EXPECT_EQ(st.text, new_scene_text);
}

// Help's Guide shows the guide the build laid beside the program, every
// picture of it loaded from beside it, and its contents' links go to their
// headings, not out of the window.
TEST_F(Window, TheGuideOpensWithItsPictures)
{
    // as the program finds it from the build folder's app/
    const QString path = KORU_BINARY_DIR "/app/../share/koru/guide/guide.md";
    QFile md(path);
    ASSERT_TRUE(md.open(QIODevice::ReadOnly));
    const int pictures = md.readAll().count("![");
    win->guide_path = path;
    run(IDM_GUIDE);
    GuideWin *g = win->guide_window();
    ASSERT_TRUE(g && g->isVisible());
    QTextDocument *doc = g->document();
    EXPECT_TRUE(doc->toPlainText().startsWith("A guide to KORU"));
    int images = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            const QString name = f.toImageFormat().name();
            const QImage img = image_of(doc->resource(QTextDocument::ImageResource, QUrl(name)));
            EXPECT_FALSE(img.isNull()) << name.toStdString();
            images++;
        }
    EXPECT_GE(pictures, 20);
    EXPECT_EQ(images, pictures);

    QScrollBar *bar = g->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    emit g->anchorClicked(QUrl("#constructive-solid-geometry-sense-and-groups"));
    const int csg = bar->value();
    emit g->anchorClicked(QUrl("#animation"));
    EXPECT_GT(csg, 0);
    EXPECT_GT(bar->value(), csg);
}
