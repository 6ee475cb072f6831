// studio_docks.h - the studio's panes and the window around them: the
// editor with its find bar, the outline, the inspector and the messages,
// docked where the user last left them; the Edit menu's own items; the
// window's place and size in studio view and out of it.
//
// The panes are made the first time the studio comes on (build); made,
// they stay, and show() shows or hides them. The first time in studio
// view the window grows to STUDIO_SIZE and the panes take their first
// sizes; each view then comes back as the user left it (prefs.h's
// geometry, studio_geometry and docks). Esc in the find field closes the
// find bar, before the window's Esc (which stops a render) can take it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <functional>
#include <string>

class InspectorPane;
class MessagesPane;
class OutlinePane;
class QDockWidget;
class QLineEdit;
class SceneEditor;
struct prefs;
struct studio_host;

// The panes, for the studio's other parts.
struct studio_panes {
    SceneEditor *ed = nullptr;
    OutlinePane *out = nullptr;
    InspectorPane *insp = nullptr;
    MessagesPane *msgs = nullptr;
};

class StudioDocks : public QObject {
public:
    explicit StudioDocks(studio_host &host);
    bool built() const { return panes.ed != nullptr; }
    const studio_panes &build();
    const studio_panes &made() const { return panes; }
    void show(bool on);
    // The Edit menu's items; toggle_hints is Field Hints'.
    void add_items(std::function<void()> toggle_hints);

    void load_prefs(const prefs &p);
    void save_prefs(prefs &p, bool on);

protected:
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    QWidget *build_text();
    QDockWidget *dock(const char *title, const char *name, QWidget *w, int area);
    void fit_window(bool on);
    void find_next(bool forward);

    studio_host &host;
    studio_panes panes;
    QList<QDockWidget *> docks;
    QWidget *find_bar = nullptr;
    QLineEdit *find_field = nullptr;
    std::string dock_layout;                      // saveState, base64
    std::function<void()> fresh_layout;           // the panes' first sizes
    QByteArray classic_geometry, studio_geometry; // the window's in either view (saveGeometry)
};
