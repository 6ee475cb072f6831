// koru - KORU's window: open a scene, make a picture or a stereo pair,
// look at it at any zoom and display mode, save, load and print it.
//
//   koru [--live] [--studio] [--mode M] [--zoom Z] [FILE]     (cmdline.h)
#include "../cmdline.h"
#include "live_qt.h"
#include "mainwin.h"
#include "studio_qt.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <clocale>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv); // takes its own options out of argv
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName("KORU");
    QApplication::setApplicationName("koru");
    QApplication::setWindowIcon(QIcon(":/koru/koru.xpm"));
    // the desktop entry's name, so that the desktop matches the window to
    // its menu entry and icon
    QGuiApplication::setDesktopFileName("io.github.koru_raytracer.koru");

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

    MainWin win;
    win.load_prefs();
    win.set_run_config(cl.zoom, cl.mode);
    win.show();
    if (cl.live && !win.live()->state().on)
        win.command_live(true);
    if (cl.studio)
        win.studio()->set_on(true);
    if (!cl.file.empty())
        QTimer::singleShot(0, &win, [&win, cl] { win.open_start_file(cl.file); });
    return app.exec();
}
