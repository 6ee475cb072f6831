// new_scene_dlg_qt.h - New Scene's chooser in the window.
//
// NewSceneDlg lists the templates a new scene may start from (new_scene.h),
// each with its thumbnail, its title and the line about it, the first
// chosen so that Enter takes it; a double-click takes the one clicked. The
// thumbnails are made beside the window one after another as the dialog
// shows, each in place as soon as it is ready (a blank until then);
// closing the dialog stops the one being made. Its texts are Japanese,
// shown in English under any other locale (i18n.h); the English titles are
// the templates' own. Controls are named for tests: "templates", "about",
// "ok", "cancel".
#pragma once

#include "app/session/worker.h"
#include "app/studio/new_scene.h"

#include <QDialog>
#include <atomic>

class QLabel;
class QListWidget;

class NewSceneDlg : public QDialog {
    Q_OBJECT
public:
    NewSceneDlg(QWidget *parent, new_scene_form &f);
    ~NewSceneDlg() override;
    void accept() override;
    // The thumbnails in place so far.
    int thumbnails() const { return shown; }

signals:
    void thumbnail_shown(int i);

private:
    void make_thumbnail(int i);
    void show_thumbnail(int i, int rc);
    new_scene_form &f;
    QListWidget *list;
    QLabel *about;
    std::atomic<bool> stop{false};
    picture made; // the thumbnail being made, the worker's until it ends
    int shown = 0;
    worker thumbs; // last: it stops before what its work uses goes
};
