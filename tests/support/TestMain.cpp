// One main for every test program: a QApplication exists for the tests that
// need Qt's event loop or widgets, and it never needs a display. Its fonts are
// the tests' own (see tests/CMakeLists.txt), whatever the machine has.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef AOSTRACK_TEST_FONTCONFIG
    qputenv("FONTCONFIG_FILE", AOSTRACK_TEST_FONTCONFIG);
#endif
    // The operator's own settings and an installed package stay out of the
    // tests: the user's XDG folders point into a fresh folder, and the shared
    // data folders at an empty one.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", QDir(home.path()).filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_DATA_DIRS", QDir(home.path()).filePath(QStringLiteral("shared")).toUtf8());
    ::testing::InitGoogleMock(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
