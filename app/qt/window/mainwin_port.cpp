// The main window as the logic's ui_port: its message boxes, dialogs,
// jobs beside it, title and status line, and its help and messages
// windows.
#include "app/qt/window/mainwin.h"

#include "app/commands/save_prompt.h"
#include "app/qt/dialogs/filedlg_qt.h"
#include "app/qt/dialogs/setdlg_qt.h"
#include "app/qt/studio/new_scene_dlg_qt.h"
#include "app/qt/studio/studio_qt.h"
#include "app/qt/window/actions_qt.h"
#include "app/qt/window/guide_qt.h"
#include "app/qt/window/onscreen.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QStatusBar>
#include <QTextBrowser>

int MainWin::message(const char *text, const char *caption, int kind)
{
    if (message_hook)
        return message_hook(text, caption, kind);
    QMessageBox box(this);
    box.setWindowTitle(QString::fromUtf8(caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromUtf8(text));
    switch (kind) {
    case MB_ERROR:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MB_YESNOCANCEL:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MB_REPLACE: // Enter must not replace a file
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    default:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return ID_OK;
    case QMessageBox::Yes:
        return ID_YES;
    case QMessageBox::No:
        return ID_NO;
    default:
        return ID_CANCEL;
    }
}

int MainWin::file_dialog(file_dlg &d)
{
    FileDlgQt dlg(this, d, d.app->load_save);
    dlg.exec();
    return d.result == 1 ? 1 : 0;
}

int MainWin::setting_dialog(setting_form &f)
{
    SettingDlg dlg(this, f, sess);
    return dlg.exec() == QDialog::Accepted ? 1 : 0;
}

int MainWin::config_dialog(config_form &f)
{
    ConfigDlg dlg(this, f);
    return dlg.exec() == QDialog::Accepted ? 1 : 0;
}

void MainWin::run_render(render_job &job, std::function<void(int)> done)
{
    if (seams.hook)
        seams.hook(job);
    progress = std::make_unique<JobProgress>(
        this, "Tracing", seams.progress_delay_ms, [this] { stop_job(sess); },
        [&job](ProgressDlg &dlg) {
            if (job.stopping())
                return;
            const int rows = job.rows(), done = job.rows_done();
            dlg.show_progress(QString("%1 of %2 rows traced").arg(done).arg(rows), done,
                              rows > 0 ? rows : 1);
        });
    const auto fn = seams.fn;
    jobs.start([&job, fn] { return fn ? fn(job) : job.run(); },
               [this, done](int rc) {
                   job_ended();
                   done(rc);
               },
               [&job] { job.cancel(); });
}

// The job's progress window goes, and the rows it showed.
void MainWin::job_ended()
{
    progress.reset();
    overlay_off();
}

row_fn MainWin::row_display() { return overlay_rows(ov, 0, 0); }

int MainWin::print_setup(const char *docname, int &pw, int &ph)
{
    return pages.setup(this, print_hook, docname, sess.app.szFName, pw, ph);
}

int MainWin::print_page(const display_state &d, int w, int h, int scale, msglist &msgs)
{
    return pages.page(grid.of(d), disp_copy(d, w, h, scale), msgs);
}

void MainWin::overlay_off()
{
    overlay_clear(ov);
    fit_view();
    area->update();
}

void MainWin::commands_changed() { acts->refresh(sess); }

void MainWin::set_title(const char *t)
{
    title = QFile::decodeName(t);
    show_title();
}

void MainWin::show_title()
{
    // "[*]" would be taken for the changed-document mark
    QString t = title;
    t.replace("[*]", "[*][*]");
    const bool unsaved = shown_unsaved(sess);
    setWindowTitle(sess.studio.on || unsaved ? "[*]" + t : t);
    setWindowModified(unsaved);
}

void MainWin::status(const char *text)
{
    const QString line = QString::fromUtf8(text);
    statusBar()->showMessage(line);
    statusBar()->setToolTip(line);
}

void MainWin::wait_cursor(int on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

// What a command may have changed: the recent files, the view's size,
// the title, the menus.
void MainWin::refresh()
{
    build_recent();
    fit_view();
    show_title();
    commands_changed();
}

void MainWin::invalidate()
{
    studio_->picture_changed();
    fit_view();
    area->update();
    show_title(); // a new picture is an unsaved one
}

void MainWin::help()
{
    if (!helpwin) {
        helpwin = new QTextBrowser(this);
        helpwin->setWindowFlags(Qt::Window);
        helpwin->setWindowTitle("KORU Help");
        helpwin->setWindowIcon(windowIcon());
        helpwin->setOpenExternalLinks(false);
        helpwin->resize(620, 520);
        place_over(helpwin, this);
        auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), helpwin);
        connect(esc, &QShortcut::activated, helpwin, &QWidget::close);
    }
    // always at the contents
    helpwin->setSource(QUrl("qrc:/koru/help.html"));
    helpwin->scrollToAnchor("contents");
    helpwin->show();
    helpwin->raise();
    helpwin->activateWindow();
}

void MainWin::guide()
{
    if (!guidewin) {
        guidewin = new GuideWin(this);
        guidewin->setWindowIcon(windowIcon());
        place_over(guidewin, this);
    }
    guidewin->open(guide_path, guide_places());
    guidewin->show();
    guidewin->raise();
    guidewin->activateWindow();
}

int MainWin::new_scene_dialog(new_scene_form &f)
{
    NewSceneDlg dlg(this, f);
    return dlg.exec() == QDialog::Accepted ? 1 : 0;
}

void MainWin::show_messages()
{
    if (!saidwin) {
        saidwin = new QPlainTextEdit(this);
        saidwin->setWindowFlags(Qt::Window);
        saidwin->setWindowTitle("KORU Messages");
        saidwin->setWindowIcon(windowIcon());
        saidwin->setReadOnly(true);
        saidwin->resize(620, 360);
        place_over(saidwin, this);
        auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), saidwin);
        connect(esc, &QShortcut::activated, saidwin, &QWidget::close);
    }
    saidwin->setPlainText(QString::fromUtf8(log_text(sess.said).c_str()));
    saidwin->moveCursor(QTextCursor::End); // the newest last, in view
    saidwin->show();
    saidwin->raise();
    saidwin->activateWindow();
}

void MainWin::close_window()
{
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}
