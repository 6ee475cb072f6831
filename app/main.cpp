// koru - KORU's window: open a scene, make a picture or a stereo pair,
// look at it at any zoom and display mode, save, load and print it.
//
//   koru [SCENE.RT]   a scene named here is opened at start, as if chosen
//                     with "Open *.RT(&L)"
#include "appstate.h"
#include "commands.h"
#include "mainwin.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstring>

namespace {

const char *usage = "usage: koru [SCENE.RT]\n"
                    "Opens KORU's window; a scene file named here is opened at start.\n";

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv); // takes its own options out of argv
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("KORU");
    QApplication::setWindowIcon(QIcon(":/koru/koru.xpm"));

    const char *scene = nullptr;
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i];
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            std::fputs(usage, stdout);
            return 0;
        }
        if ((a[0] == '-' && a[1]) || scene) {
            std::fprintf(stderr, "koru: %s \"%s\"\n%s",
                         scene ? "one scene file only, not also" : "unknown option", a, usage);
            return 2;
        }
        scene = a;
    }

    app_start();
    MainWin win;
    win.show();
    if (scene)
        QTimer::singleShot(0, &win, [&win, scene] { open_scene(win, scene); });
    return app.exec();
}
