// filedlg_qt.h - the LOAD and SAVE dialog's window over a file_dlg.
//
// Laid out from the templates (129 x 108 units): "File name:" field (101),
// "Path:" field (102, shows the listed directory), list box (103), OK (1,
// default) and Cancel (2). Every user action goes to the FileOpenDlg_
// functions; the window then shows what changed and beeps as told. The
// controls carry object names ("name", "path", "list", "ok", "cancel")
// for tests.
#pragma once

#include "app/dialogs/filedlg.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

class FileDlgQt : public QDialog {
    Q_OBJECT
public:
    FileDlgQt(QWidget *parent, file_dlg &d, int which);
    void reject() override;

private:
    void connect_controls(QPushButton *cancel);
    void sync();
    file_dlg &d;
    QLineEdit *name, *path;
    QListWidget *list;
    QPushButton *ok;
    unsigned seen_list = ~0u, seen_field = ~0u;
    int seen_beeps = 0;
    bool filling = false;
};
