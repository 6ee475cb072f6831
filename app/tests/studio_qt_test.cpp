// The scene studio in the window, headless: typing changes the picture to
// the typed scene's exact picture without saving, Ctrl+S writes the text as
// typed, a click on a dot selects its primitive, an inspector's edit is
// one undo step, a structural edit too, and studio off is the window as it
// was.
#include "app/tests/qt_wait.h"
#include "app/tests/ball_scene.h"
#include "app/tests/script_ui.h"

#include "app/commands/actions.h"
#include "app/qt/live/live_qt.h"
#include "app/qt/studio/studio_editor.h"
#include "app/qt/studio/studio_panes.h"
#include "app/qt/studio/studio_qt.h"
#include "app/qt/window/mainwin.h"
#include "app/qt/window/onscreen.h"
#include "base/msg.h"
#include "scene/rtread.h"
#include "trace/frame.h"
#include "trace/pick.h"

#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

// Make Image's bytes for a scene's text, read afresh.
std::vector<unsigned char> made_of_text(const std::string &text)
{
    scene sc;
    msglist m;
    data_load_text(sc, text.data(), text.size(), m);
    return made_bytes(sc);
}

void click(QWidget *w, QPoint at)
{
    for (auto [t, b] : {std::pair{QEvent::MouseButtonPress, Qt::LeftButton},
                        std::pair{QEvent::MouseButtonRelease, Qt::NoButton}}) {
        QMouseEvent e(t, at, w->mapToGlobal(at), Qt::LeftButton, b, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
}

struct StudioWindow : ::testing::Test {
    temp_dir tmp;
    std::string path;
    MainWin *win = nullptr;
    app_state *a = nullptr;
    Studio *st = nullptr;
    SceneEditor *ed = nullptr;
    std::vector<std::string> asked;

    void SetUp() override
    {
        path = tmp.file("B.RT", BALL);
        win = new MainWin;
        a = &win->state().app;
        win->state().disp.mode = 2; // full colour: the view's dots are the planes'
        win->message_hook = [this](const char *text, const char *, int) {
            asked.push_back(text);
            return (int)ID_NO;
        };
        win->show();
        st = win->studio();
        st->typing_clock().hold(); // the typing pause passes when a test says
        st->set_on(true);
        ed = st->editor();
        win->open_start_file(path);
        ASSERT_TRUE(wait_until([this] { return idle() && a->image_ready; }));
    }
    void TearDown() override { delete win; }
    bool idle() const
    {
        return !win->live()->running() && !win->live()->state().exact &&
               !win->state().studio.follow.pending && !st->working();
    }
    // The typing pause has passed.
    void rest() { st->typing_clock().advance(TYPE_REST_MS); }
    size_t at(const char *text) const { return win->state().studio.text.find(text); }
    // A dot of the picture that shows primitive index, as the tracer sees it.
    QPoint dot_of(int index) const
    {
        for (int y = 0; y < a->model.iymx; y++)
            for (int x = 0; x < a->model.ixmx; x++) {
                pick_hit h;
                if (pick_dot(*a->made_scene, a->made_frame, x, y, h) && h.index == index)
                    return QPoint(x, y);
            }
        return QPoint(-1, -1);
    }
    // The view as shown, and a dot of the planes as it would show alone.
    QImage shot() const
    {
        win->view()->repaint();
        return win->scroller()->viewport()->grab().toImage();
    }
    QRgb planes_rgb(QPoint p) const
    {
        const int i = p.y() * a->model.ixmx + p.x();
        return qRgb(a->gdata->r[i], a->gdata->g[i], a->gdata->b[i]);
    }
};

} // namespace

TEST_F(StudioWindow, TypingChangesThePictureAndCtrlSSavesTheText)
{
    EXPECT_EQ(ed->bytes(), BALL);
    EXPECT_TRUE(shown_bytes(*a) == made_of_text(BALL));
    EXPECT_FALSE(win->isWindowModified());

    // the plane's red, typed over: the picture follows, the file stays
    ed->setFocus();
    ed->select_bytes(at("200 100 50"), 3);
    QTest::keyClicks(ed, "20");
    const std::string typed = win->state().studio.text;
    EXPECT_NE(typed.find("20 100 50"), std::string::npos);
    EXPECT_TRUE(win->isWindowModified());
    const size_t caret = ed->caret();
    QApplication::processEvents();
    EXPECT_EQ(a->model.pri[0].col.r, 200); // not before the typing pause
    rest();
    ASSERT_TRUE(wait_until([&] { return idle() && a->model.pri[0].col.r == 20; }));
    EXPECT_TRUE(shown_bytes(*a) == made_of_text(typed));
    EXPECT_EQ(ed->caret(), caret); // the read moved nothing
    EXPECT_EQ(slurp(path), BALL);

    // text that is no number: marked and listed, the picture stays
    const std::vector<unsigned char> before = shown_bytes(*a);
    ed->select_bytes(at("0.4 0 20"), 3);
    QTest::keyClicks(ed, "x");
    rest();
    ASSERT_TRUE(wait_until([&] {
        return idle() && st->messages()->count() > 0 &&
               st->messages()->item(0)->text().contains("B.RT:9:");
    }));
    EXPECT_TRUE(shown_bytes(*a) == before);
    EXPECT_EQ(a->model.pri[1].ks, 0.4);
    QTest::keyClick(ed, Qt::Key_Z, Qt::ControlModifier); // undone
    ASSERT_EQ(win->state().studio.text, typed);

    // Ctrl+S is Save Scene here, Save *.BMP moves to Ctrl+Shift+S
    EXPECT_EQ(win->action(IDM_SAVESCENE)->shortcut(), QKeySequence::Save);
    EXPECT_EQ(win->action(IDM_SAVEBMP)->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    win->action(IDM_SAVESCENE)->trigger();
    EXPECT_EQ(slurp(path), typed);
    EXPECT_FALSE(win->isWindowModified());
    EXPECT_TRUE(asked.empty());
}

TEST_F(StudioWindow, AClickOnADotSelectsItsPrimitive)
{
    ASSERT_NE(a->made_scene, nullptr);
    const QPoint ball = dot_of(1), floor = dot_of(0);
    ASSERT_TRUE(ball.x() >= 0 && floor.x() >= 0);

    click(win->view(), ball);
    EXPECT_EQ(st->selected_kind(), OUT_PRIMITIVE);
    EXPECT_EQ(st->selected_index(), 1);
    EXPECT_TRUE(win->statusBar()->currentMessage().startsWith(
        QString("dot %1, %2: primitive 2 (quadric), met at ").arg(ball.x()).arg(ball.y())));
    // its record selected in the text, its item in the outline
    EXPECT_EQ(ed->selectedText().toStdString(),
              "3 1 0.2 0.7 0.4 0 20 1 0 0 1 1 1.2 1.2 1.2 0.5 0.5 1 40 90 210");
    ASSERT_FALSE(st->outline()->selectedItems().isEmpty());
    EXPECT_EQ(st->outline()->selectedItems()[0]->text(0), "primitive 2 (quadric)");

    // its edge is drawn over the picture; the dots within keep their colours
    ASSERT_TRUE(wait_until([this] { return st->silhouette_ready(); }));
    EXPECT_NE(shot().pixel(ball), planes_rgb(ball)); // its first dot from the top: the edge
    const QPoint within = ball + QPoint(0, 4);
    EXPECT_EQ(shot().pixel(within), planes_rgb(within));

    click(win->view(), floor);
    EXPECT_EQ(st->selected_index(), 0);
    click(win->view(), QPoint(200, 200)); // beyond the picture: nothing changes
    EXPECT_EQ(st->selected_index(), 0);

    // a click on background leaves nothing selected, anywhere: the outline,
    // the inspector, the text (its cursor stays) and the picture, whose dots
    // are the planes' alone with the light's marker (in its corner) off
    const QImage marked = shot();
    win->action(IDM_LIGHTMARKS)->trigger();
    EXPECT_FALSE(win->action(IDM_LIGHTMARKS)->isChecked());
    EXPECT_NE(shot(), marked);
    std::string only = BALL;
    only.erase(only.find("1 1 0.3"), only.find("3 1 0.2") - only.find("1 1 0.3"));
    win->open_start_file(tmp.file("O.RT", only));
    rest();
    ASSERT_TRUE(wait_until([this] { return idle() && a->made_scene->primmx == 1; }));
    click(win->view(), dot_of(0));
    ASSERT_EQ(st->selected_index(), 0);
    ASSERT_TRUE(ed->hasSelectedText());
    const size_t caret = ed->caret();
    click(win->view(), QPoint(0, 0));
    EXPECT_EQ(st->selected_kind(), -1);
    EXPECT_TRUE(st->outline()->selectedItems().isEmpty());
    EXPECT_EQ(st->inspector()->findChild<QLabel *>()->text(), "Nothing selected");
    EXPECT_FALSE(ed->hasSelectedText());
    EXPECT_EQ(ed->caret(), caret);
    const QImage plain = shot();
    for (int y = 0; y < 30; y++)
        for (int x = 0; x < 40; x++)
            ASSERT_EQ(plain.pixel(x, y), planes_rgb(QPoint(x, y))) << x << "," << y;
}

TEST_F(StudioWindow, AnInspectorEditIsOneUndoStepOfItsNumbers)
{
    click(win->view(), dot_of(1));
    ASSERT_EQ(st->selected_index(), 1);
    const size_t end = at("\n-1\n-1") + 1; // the cursor after the record, where it stays
    ed->select_bytes(end, 0);
    auto *g = st->inspector()->findChild<QSpinBox *>("primitive[2].col.g");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->value(), 90);
    const std::string before = win->state().studio.text;
    g->setValue(1234);
    std::string want = before;
    want.replace(want.find("40 90 210"), 9, "40 1234 210");
    EXPECT_EQ(win->state().studio.text, want); // that number and nothing else
    EXPECT_EQ(ed->caret(), end + 2);
    ed->undo();
    EXPECT_EQ(win->state().studio.text, before);
    rest();
    ASSERT_TRUE(wait_until([this] { return idle(); }));
    EXPECT_EQ(a->model.pri[1].col.g, 90);
}

// The structural edits from the Edit menu's actions: a copy of the chosen
// primitive, selected, then taken out gives back the text; each is one
// step of undo, and the picture follows.
TEST_F(StudioWindow, DuplicateThenDeleteGivesBackTheTextOneUndoStepEach)
{
    QMenu *edit = win->menu(MENU_EDIT);
    emit edit->aboutToShow();
    EXPECT_FALSE(win->action(IDM_DUPLICATE)->isEnabled()); // nothing chosen
    EXPECT_TRUE(win->action(IDM_ADD_PLANE)->isEnabled());
    click(win->view(), dot_of(1));
    ASSERT_EQ(st->selected_index(), 1);
    emit edit->aboutToShow();
    ASSERT_TRUE(win->action(IDM_DUPLICATE)->isEnabled());
    EXPECT_FALSE(win->action(IDM_MOVE_DOWN)->isEnabled()); // the last one

    win->action(IDM_DUPLICATE)->trigger();
    const std::string copied = win->state().studio.text;
    EXPECT_NE(copied, BALL);
    EXPECT_EQ(st->selected_kind(), OUT_PRIMITIVE);
    EXPECT_EQ(st->selected_index(), 2); // the copy
    rest();
    ASSERT_TRUE(wait_until([this] { return idle() && a->model.primmx == 3; }));
    EXPECT_TRUE(shown_bytes(*a) == made_of_text(copied));

    win->action(IDM_DELETE)->trigger();
    EXPECT_EQ(win->state().studio.text, BALL);
    EXPECT_EQ(st->selected_index(), 1); // the neighbour before, at the end
    win->activateWindow();
    st->outline()->setFocus();
    ASSERT_TRUE(wait_until([this] { return st->outline()->hasFocus(); }));
    QTest::keyClick(st->outline(), Qt::Key_Z, Qt::ControlModifier); // undone from there too
    EXPECT_EQ(win->state().studio.text, copied);
    ed->undo();
    EXPECT_EQ(win->state().studio.text, BALL);
}

TEST_F(StudioWindow, StudioOffIsTheWindowAsItWas)
{
    MainWin plain;                // never in studio view
    auto items = [](MainWin &w) { // as shown
        QStringList t;
        for (QAction *m : w.menuBar()->actions()) {
            if (!m->isVisible())
                continue;
            t << m->text();
            if (m->menu())
                for (QAction *i : m->menu()->actions())
                    if (!i->objectName().startsWith("recent") && !i->isSeparator() &&
                        i->isVisible()) // files opened
                        t << "  " + i->text() + " " + i->shortcut().toString();
        }
        return t.join("\n").toStdString();
    };
    EXPECT_NE(items(*win).find("Edit(&E)"), std::string::npos);
    EXPECT_EQ(win->windowTitle(), "[*]" + QString::fromStdString(path));
    st->set_on(false);
    EXPECT_EQ(items(*win), items(plain));
    for (QDockWidget *d : win->findChildren<QDockWidget *>())
        EXPECT_FALSE(d->isVisible());
    // the picture the studio made is unsaved, as any picture made
    EXPECT_EQ(win->windowTitle().toStdString(), "[*]" + path);
    EXPECT_TRUE(win->isWindowModified());
    EXPECT_FALSE(win->action(IDM_STUDIO)->isChecked());
    EXPECT_FALSE(win->live()->state().on); // live view was never asked for
}

// Studio view and the window as it was each keep the size the user left
// them at; any window is kept inside the screen's available area.
TEST_F(StudioWindow, EachViewKeepsItsSizeOnTheScreen)
{
    st->set_on(false);
    const QSize classic = win->size();
    st->set_on(true);
    win->resize(700, 500);
    st->set_on(false);
    EXPECT_EQ(win->size(), classic);
    st->set_on(true);
    EXPECT_EQ(win->size(), QSize(700, 500));

    const QRect avail = win->screen()->availableGeometry();
    win->resize(avail.size() * 2);
    win->move(avail.bottomRight());
    keep_on_screen(win);
    EXPECT_TRUE(avail.contains(win->frameGeometry())) << avail.width() << "x" << avail.height();
}

// A drag turns the camera as in live view; at rest its numbers, and only
// those, are rewritten in the text as one step of undo, and the picture is
// the text's, that step undone too.
TEST_F(StudioWindow, ACameraTurnedByTheMouseRewritesItsNumbers)
{
    QWidget *v = win->view();
    auto send = [v](QEvent::Type t, QPoint at, Qt::MouseButton b, Qt::MouseButtons held) {
        QMouseEvent e(t, at, v->mapToGlobal(at), b, held, Qt::NoModifier);
        QApplication::sendEvent(v, &e);
    };
    send(QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    for (int x = 14; x <= 30; x += 4)
        send(QEvent::MouseMove, {x, 12}, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {30, 12}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(st->selected_kind(), OUT_CAMERA); // a drag is no click: nothing picked
    ASSERT_TRUE(wait_until([this] { return win->state().studio.text != BALL; }));
    rest();
    ASSERT_TRUE(wait_until([this] { return idle(); }));

    const std::string text = win->state().studio.text;
    const size_t line2 = text.find('\n') + 1, line3 = text.find('\n', line2);
    EXPECT_EQ(text.substr(0, line2), "0 0 0\n");
    EXPECT_EQ(text.substr(line3), std::string(BALL).substr(std::string(BALL).find("\n10 6")));
    scene back;
    msglist m;
    data_load_text(back, text.data(), text.size(), m);
    frame f; // the picture's direction is the text's, made one unit long
    ASSERT_TRUE(make_frame(back, 0, f));
    EXPECT_TRUE(f.dir.x == a->model.vpnax && f.dir.y == a->model.vpnay &&
                f.dir.z == a->model.vpnaz);
    EXPECT_TRUE(shown_bytes(*a) == made_of_text(text));
    EXPECT_TRUE(win->isWindowModified());
    EXPECT_EQ(slurp(path), BALL);
    ed->undo(); // and the picture turns back with the text
    EXPECT_EQ(win->state().studio.text, BALL);
    rest();
    ASSERT_TRUE(wait_until([this] { return idle(); }));
    EXPECT_TRUE(shown_bytes(*a) == made_of_text(BALL)); // the camera taken back too
}

// The selected ball pressed and dragged: only its pos numbers change in
// the text, as one step of undo, and once the mouse lets go the picture is
// the text's, dot for dot.
TEST_F(StudioWindow, DraggingTheSelectionRewritesItsPosOnly)
{
    const QPoint ball = dot_of(1);
    click(win->view(), ball);
    ASSERT_EQ(st->selected_index(), 1);
    QWidget *v = win->view();
    auto send = [v](QEvent::Type t, QPoint at, Qt::MouseButton b, Qt::MouseButtons held) {
        QMouseEvent e(t, at, v->mapToGlobal(at), b, held, Qt::NoModifier);
        QApplication::sendEvent(v, &e);
    };
    send(QEvent::MouseButtonPress, ball, Qt::LeftButton, Qt::LeftButton);
    for (int dx = 2; dx <= 8; dx += 2)
        send(QEvent::MouseMove, ball + QPoint(dx, 1), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(win->state().studio.text, BALL); // not before the release
    send(QEvent::MouseButtonRelease, ball + QPoint(8, 1), Qt::LeftButton, Qt::NoButton);
    ASSERT_TRUE(wait_until([this] { return idle() && win->state().studio.text != BALL; }));

    auto words = [](const std::string &t) {
        std::vector<std::string> w;
        std::istringstream in(t);
        for (std::string x; in >> x;)
            w.push_back(x);
        return w;
    };
    const std::string text = win->state().studio.text;
    const std::vector<std::string> was = words(BALL), now = words(text);
    ASSERT_EQ(was.size(), now.size());
    const size_t pos = std::find(was.begin(), was.end(), "3") - was.begin() + P_PX;
    for (size_t i = 0; i < was.size(); i++)
        if (i < pos || i >= pos + 3) {
            EXPECT_EQ(was[i], now[i]) << i;
        }
    EXPECT_NE(was[pos], now[pos]); // moved across the screen: x changed
    EXPECT_EQ(text.substr(text.find("\n-1\n")),
              std::string(BALL).substr(std::string(BALL).find("\n-1\n")));
    EXPECT_TRUE(shown_bytes(*a) == made_of_text(text));
    EXPECT_EQ(st->selected_index(), 1);

    // undone and done again on the picture, with the keys the Edit menu
    // names: what is selected stays, though the cursor goes to the ball
    emit st->outline()->chosen(0);
    ASSERT_EQ(st->selected_kind(), OUT_CAMERA);
    QTest::keyClick(v, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(win->state().studio.text, BALL);
    ed->viewport()->repaint(); // the editor tells where its cursor went
    QTest::keyClick(v, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(win->state().studio.text, text);
    ed->viewport()->repaint();
    EXPECT_EQ(st->selected_kind(), OUT_CAMERA);
}

// Another program writes the file: an unchanged text takes it where the
// cursor is, and the picture follows; a changed text is kept.
TEST_F(StudioWindow, TheFileWrittenElsewhereIsReadAgain)
{
    ed->select_bytes(at("40 90 210"), 0);
    const size_t caret = ed->caret();
    std::string other = BALL;
    other.replace(other.find("40 90 210"), 9, "90 40 210");
    tmp.file("B.RT", other);
    ASSERT_TRUE(wait_until([&] { return ed->bytes() == other && idle(); }));
    EXPECT_EQ(ed->caret(), caret);
    EXPECT_FALSE(win->isWindowModified());
    EXPECT_EQ(a->model.pri[1].col.r, 90);
    EXPECT_TRUE(shown_bytes(*a) == made_of_text(other));

    QTest::keyClicks(ed, " ");
    tmp.file("B.RT", BALL);
    ASSERT_TRUE(wait_until([&] {
        return win->statusBar()->currentMessage().contains("changed on disk; Save Scene");
    }));
    EXPECT_NE(ed->bytes(), BALL);

    // another scene dropped on the window: asked about, then its text
    const std::string u = tmp.file("U.RT", small_scene(8, 6));
    win->drop_file(QString::fromStdString(u));
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(ed->bytes(), small_scene(8, 6));
    EXPECT_EQ(win->windowTitle(), "[*]" + QString::fromStdString(u));
    rest();
    ASSERT_TRUE(wait_until([this] { return idle() && a->model.ixmx == 8; }));
}

// A turn by the mouse not yet at rest when another scene is opened was the
// old scene's: the new text keeps its camera, through a save in On-save
// mode too, and the picture is the text's.
TEST_F(StudioWindow, ATurnNotYetAtRestStaysWithTheSceneItTurned)
{
    win->action(IDM_FOLLOW_SAVE)->trigger();
    QWidget *v = win->view();
    auto send = [v](QEvent::Type t, QPoint at, Qt::MouseButton b, Qt::MouseButtons held) {
        QMouseEvent e(t, at, v->mapToGlobal(at), b, held, Qt::NoModifier);
        QApplication::sendEvent(v, &e);
    };
    send(QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, {30, 12}, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {30, 12}, Qt::LeftButton, Qt::NoButton);
    std::string other = BALL; // another look, not one unit long
    other.replace(other.find("0 0.2 1"), 7, "0 0.3 1");
    const std::string u = tmp.file("U.RT", other);
    win->drop_file(QString::fromStdString(u));
    for (int id : {0, (int)IDM_SAVESCENE}) {
        if (id)
            win->action(id)->trigger();
        ASSERT_TRUE(wait_until([this] {
            rest();
            return idle();
        }));
        EXPECT_EQ(ed->bytes(), other) << id;
        EXPECT_FALSE(win->isWindowModified()) << id;
        EXPECT_TRUE(shown_bytes(*a) == made_of_text(other)) << id;
    }
    EXPECT_EQ(slurp(u), other);
}
