// The window's tests, headless (QT_QPA_PLATFORM=offscreen unless told
// otherwise), each process with a runtime folder and settings of its own.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    // headless unless told otherwise, with a private runtime directory
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static char dir[] = "/tmp/koru-xdg-XXXXXX";
    bool own_dir = !getenv("XDG_RUNTIME_DIR") && mkdtemp(dir);
    if (own_dir)
        setenv("XDG_RUNTIME_DIR", dir, 1);
    int rc;
    {
        QApplication app(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        // remembered settings go to a test place, never the user's, and
        // one of this process's own: tests run side by side
        QStandardPaths::setTestModeEnabled(true);
        QTemporaryDir settings;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        QApplication::setOrganizationName("KORU-test");
        QApplication::setApplicationName("koru");
        QSettings().clear();
        ::testing::InitGoogleTest(&argc, argv);
        rc = RUN_ALL_TESTS();
    }
    if (own_dir)
        rmdir(dir);
    return rc;
}
