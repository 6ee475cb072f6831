// headless_app.h - a test program's window world: headless
// (QT_QPA_PLATFORM=offscreen unless told otherwise), a runtime folder of
// its own when there is none, and remembered settings in a test place of
// the process's own, never the user's (tests run side by side).
//
//   int main(int argc, char **argv) {
//       return run_headless(argc, argv, [&] { return RUN_ALL_TESTS(); });
//   }
#pragma once

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <unistd.h>

template <class Body>
int run_headless(int &argc, char **argv, Body body)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static char runtime[] = "/tmp/koru-xdg-XXXXXX";
    const bool own_runtime = !getenv("XDG_RUNTIME_DIR") && mkdtemp(runtime);
    if (own_runtime)
        setenv("XDG_RUNTIME_DIR", runtime, 1);
    int rc;
    {
        QApplication app(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        QStandardPaths::setTestModeEnabled(true);
        QTemporaryDir settings;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        QApplication::setOrganizationName("KORU-test");
        QApplication::setApplicationName("koru");
        QSettings().clear();
        rc = body();
    }
    if (own_runtime)
        rmdir(runtime);
    return rc;
}
