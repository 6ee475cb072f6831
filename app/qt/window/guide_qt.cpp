#include "app/qt/window/guide_qt.h"

#include "app/session/guide_file.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>

namespace {

constexpr int GUIDE_W = 760, GUIDE_H = 620, GUIDE_MARGIN = 12;

std::string exe_dir()
{
    return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

} // namespace

QString guide_found()
{
    return QFile::decodeName(QByteArray::fromStdString(guide_file(exe_dir(), KORU_GUIDE_DIR)));
}

QString guide_places()
{
    return QFile::decodeName(QByteArray::fromStdString(exe_dir())) +
           "/../share/koru/guide/guide.md\n" KORU_GUIDE_DIR "/guide.md";
}

GuideWin::GuideWin(QWidget *parent) : QTextBrowser(parent)
{
    setWindowFlags(Qt::Window);
    setWindowTitle("KORU Guide");
    setObjectName("guide");
    setOpenLinks(false);
    document()->setDocumentMargin(GUIDE_MARGIN);
    resize(GUIDE_W, GUIDE_H);
    connect(this, &QTextBrowser::anchorClicked, this, &GuideWin::follow);
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
}

void GuideWin::open(const QString &path, const QString &looked)
{
    if (path.isEmpty()) {
        setPlainText("The guide was not found. It is looked for in\n" + looked);
        return;
    }
    setSource(QUrl::fromLocalFile(QFileInfo(path).canonicalFilePath()),
              QTextDocument::MarkdownResource);
    name_headings();
    verticalScrollBar()->setValue(0);
}

void GuideWin::name_headings()
{
    std::vector<QTextBlock> blocks;
    std::vector<std::string> texts;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        if (b.blockFormat().headingLevel() > 0) {
            blocks.push_back(b);
            texts.push_back(b.text().toStdString());
        }
    const std::vector<std::string> anchors = heading_anchors(texts);
    for (size_t i = 0; i < blocks.size(); i++) {
        QTextCursor c(blocks[i]);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        f.setAnchor(true);
        f.setAnchorNames({QString::fromStdString(anchors[i])});
        c.mergeCharFormat(f);
    }
}

void GuideWin::follow(const QUrl &link)
{
    const QUrl to = source().resolved(link);
    const auto page = QUrl::RemoveFragment | QUrl::NormalizePathSegments;
    if (to.adjusted(page) == source().adjusted(page))
        scrollToAnchor(to.fragment());
    else
        QDesktopServices::openUrl(to);
}
