// One main for every test program: a QApplication exists for the tests that
// need Qt's event loop or widgets, and it never needs a display. Its fonts are
// the tests' own (see tests/CMakeLists.txt), whatever the machine has.
#include <QApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef AOSTRACK_TEST_FONTCONFIG
    qputenv("FONTCONFIG_FILE", AOSTRACK_TEST_FONTCONFIG);
#endif
    ::testing::InitGoogleMock(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
