// koru - KORU's window: open a scene, make a picture or a stereo pair,
// look at it at any zoom and display mode, save, load and print it.
//
//   koru [--live] [--studio] [--mode M] [--zoom Z] [FILE]     (cmdline.h)
#include "app/qt/live/live_qt.h"
#include "app/qt/studio/studio_qt.h"
#include "app/qt/window/i18n.h"
#include "app/qt/window/mainwin.h"
#include "app/session/cmdline.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

// The toolkit stops the program (abort) when no platform can start, as
// when DISPLAY names a server that is not there or the platform's plugin
// is not installed: after its own words, one line of koru's and status 1.
QtMessageHandler toolkit_handler;

void on_start_message(QtMsgType type, const QMessageLogContext &where, const QString &text)
{
    toolkit_handler(type, where, text);
    if (type == QtFatalMsg) {
        std::fputs("koru: the window cannot open here; koru-cli needs none\n", stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
}

} // namespace

int main(int argc, char **argv)
{
    // the command line first: --help and a mistake need no display
    cmdline cl;
    std::string err;
    switch (parse_cmdline(argc, argv, cl, err)) {
    case CMD_HELP:
        std::fputs(koru_usage, stdout);
        return 0;
    case CMD_BAD:
        std::fprintf(stderr, "koru: %s\n", err.c_str());
        return 2;
    }
    if (!display_present(cl, [](const char *name) { return std::getenv(name); })) {
        std::fputs("koru: no display: set DISPLAY, or use koru-cli\n", stderr);
        return 1;
    }

    toolkit_handler = qInstallMessageHandler(on_start_message);
    QApplication app(argc, argv); // takes its own options out of argv
    qInstallMessageHandler(toolkit_handler);
    std::setlocale(LC_NUMERIC, "C");
    install_translation(app);
    QApplication::setOrganizationName("KORU");
    QApplication::setApplicationName("koru");
    QApplication::setWindowIcon(QIcon(":/koru/koru.xpm"));
    // the desktop entry's name, so that the desktop matches the window to
    // its menu entry and icon
    QGuiApplication::setDesktopFileName("io.github.koru_raytracer.koru");

    MainWin win;
    win.load_prefs();
    win.set_run_config(cl.zoom, cl.mode);
    if (cl.studio) // before the window shows, so that it is placed at its studio size
        win.studio()->set_on(true);
    win.show();
    if (cl.live && !win.live()->state().on)
        win.command_live(true);
    if (!cl.file.empty())
        QTimer::singleShot(0, &win, [&win, cl] { win.open_start_file(cl.file); });
    return app.exec();
}
