#include "app/qt/window/actions_qt.h"

#include "app/commands/actions.h"
#include "app/session/session.h"

#include <QAction>
#include <QCoreApplication>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

namespace {

// The captions the translations give in another language (the table holds
// them: actions.cpp), for lupdate.
[[maybe_unused]] const char *const TRANSLATED[] = {
    QT_TRANSLATE_NOOP("Menu", "Add Primitive"),
    QT_TRANSLATE_NOOP("Menu", "Plane"),
    QT_TRANSLATE_NOOP("Menu", "Box"),
    QT_TRANSLATE_NOOP("Menu", "Sphere"),
    QT_TRANSLATE_NOOP("Menu", "Ellipsoid"),
    QT_TRANSLATE_NOOP("Menu", "Cylinder"),
    QT_TRANSLATE_NOOP("Menu", "Cone"),
    QT_TRANSLATE_NOOP("Menu", "Duplicate"),
    QT_TRANSLATE_NOOP("Menu", "Delete"),
    QT_TRANSLATE_NOOP("Menu", "Move Up"),
    QT_TRANSLATE_NOOP("Menu", "Move Down"),
    QT_TRANSLATE_NOOP("Menu", "Add Light"),
    QT_TRANSLATE_NOOP("Menu", "Duplicate Light"),
    QT_TRANSLATE_NOOP("Menu", "Delete Light"),
    QT_TRANSLATE_NOOP("Menu", "Make Group"),
    QT_TRANSLATE_NOOP("Menu", "Add to Group"),
    QT_TRANSLATE_NOOP("Menu", "Remove from Group"),
    QT_TRANSLATE_NOOP("Menu", "Ungroup"),
};

QList<QKeySequence> keys_of(int id, int view)
{
    const QString text = QString::fromLatin1(shortcut_keys(id, view));
    return text.isEmpty() ? QList<QKeySequence>()
                          : QKeySequence::listFromString(text, QKeySequence::PortableText);
}

} // namespace

ActionSet::ActionSet(QMainWindow *win, std::function<void(int)> fn)
    : QObject(win), run(std::move(fn))
{
    win->menuBar()->setNativeMenuBar(false); // the menu belongs in the window
    int count = 0;
    action_rows(count);
    for (int i = 0; i < count; i++)
        add_row(win, i);
}

// One row of the table, after those before it.
void ActionSet::add_row(QMainWindow *win, int i)
{
    int count = 0;
    const action_row &r = action_rows(count)[i];
    const QString caption = QCoreApplication::translate("Menu", r.caption ? r.caption : "");
    if (r.menu == MENU_NONE) { // a key alone
        auto *sc = new QShortcut(win);
        connect(sc, &QShortcut::activated, this, [this, id = r.id] { run(id); });
        keys[r.id] = sc;
        return;
    }
    QMenuBar *bar = win->menuBar();
    QMenu *in = r.menu == MENU_BAR ? nullptr : menus.at(r.menu);
    if (r.opens) {
        QMenu *m = in ? in->addMenu(caption) : bar->addMenu(caption);
        menus[r.opens] = m;
        actions[-r.opens] = m->menuAction();
        return;
    }
    if (!r.caption) {
        in->addSeparator();
        return;
    }
    auto *a = new QAction(caption, win);
    a->setCheckable((r.flags & (ACT_CHECK | ACT_ONE_OF)) != 0);
    if (r.flags & ACT_ONE_OF) {
        // the choices of a menu tick one at a time
        auto *one = in->findChild<QActionGroup *>(QString(), Qt::FindDirectChildrenOnly);
        (one ? one : new QActionGroup(in))->addAction(a);
    }
    connect(a, &QAction::triggered, this, [this, id = r.id] { run(id); });
    if (in)
        in->addAction(a);
    else
        bar->addAction(a);
    actions[r.id] = a;
}

QAction *ActionSet::action(int id) const
{
    const auto it = actions.find(id);
    return it == actions.end() ? nullptr : it->second;
}

QMenu *ActionSet::menu(int m) const
{
    const auto it = menus.find(m);
    return it == menus.end() ? nullptr : it->second;
}

void ActionSet::show_view(int view)
{
    int count = 0;
    const action_row *rows = action_rows(count);
    for (int i = 0; i < count; i++) {
        if (!(rows[i].flags & ACT_STUDIO))
            continue;
        const int id = rows[i].opens ? -rows[i].opens : rows[i].id;
        actions.at(id)->setVisible(view == VIEW_STUDIO);
    }
    apply_keys(view);
}

void ActionSet::apply_keys(int view)
{
    for (auto &[id, a] : actions)
        if (id > 0)
            a->setShortcuts(keys_of(id, view));
    for (auto &[id, sc] : keys)
        sc->setKeys(keys_of(id, view));
}

void ActionSet::refresh(const session &s)
{
    for (auto &[id, a] : actions) {
        if (id <= 0 || (find_action(id)->flags & ACT_CHOSEN))
            continue;
        a->setEnabled(app_enabled(s.app, id));
        if (a->isCheckable())
            a->setChecked(app_checked(s, id));
    }
}

void ActionSet::fill(QMenu *m, int menu, unsigned flag) const
{
    int count = 0;
    const action_row *rows = action_rows(count);
    for (int i = 0; i < count; i++) {
        const action_row &r = rows[i];
        if (r.menu != menu || !(r.flags & flag))
            continue;
        if (r.opens)
            m->addMenu(menus.at(r.opens));
        else if (!r.caption)
            m->addSeparator();
        else
            m->addAction(actions.at(r.id));
    }
}
