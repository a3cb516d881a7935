// Loading the receiver library by name: a test library that records its
// calls, one that lacks a function, and one that is not there at all.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLibrary>

#include "RadioTestSupport.h"

namespace aostrack {
namespace {

using test::Station;

QString RecordedCalls()
{
    QLibrary recorder(QStringLiteral(RECORDER_DIR "/ExtIO_FCD_Quillon"));
    using CallsFunction = const char* (*)();
    const auto calls = reinterpret_cast<CallsFunction>(recorder.resolve("RecorderCalls"));
    return calls ? QString::fromLatin1(calls()) : QStringLiteral("<no recorder>");
}

TEST(ReceiverLibraryTest, NormalLoadsByNameAndCallsTheThreeFunctions)
{
    Station s;
    SharedReceiverLibrary library(
        QStringLiteral("ExtIO_FCD_Quillon"), { QStringLiteral(RECORDER_DIR) });
    s.State.NominalFreq = 435100;
    ReceiverController controller(s.State, s.Log, library);
    EXPECT_FALSE(library.IsLoaded()); // nothing is loaded before "track" is ticked

    controller.SetTracking(true);
    ASSERT_TRUE(controller.Frame().Tracking);
    EXPECT_EQ(library.Location(), QStringLiteral(RECORDER_DIR "/libExtIO_FCD_Quillon.so"));
    controller.TuneReceiver(435100.000);
    controller.TuneReceiver(1234.000); // out of range: no call
    controller.TuneReceiver(435099.250);
    controller.SetTracking(false);
    controller.TuneReceiver(435100.000);

    EXPECT_EQ(RecordedCalls(),
        QStringLiteral("OpenForm(-1);SetHWLO(435100000);SetHWLO(435099250);"
                       "HideGUI();"));
    EXPECT_EQ(s.LogTexts(),
        QStringList { QStringLiteral(
            ": receiver library loaded: " RECORDER_DIR "/libExtIO_FCD_Quillon.so") });
}

TEST(ReceiverLibraryTest, MissingLibraryDefaultLooksBesideTheExecutable)
{
    // No folder given: the test program's own folder, which holds no such
    // library. (A name of its own, since a library of the same name that
    // another test loaded already would be found by the dynamic linker.)
    SharedReceiverLibrary library(QStringLiteral("ExtIO_FCD_Quillon_beside"));
    const Result<void> loaded = library.Load();
    EXPECT_FALSE(loaded);
    const QString whyNot = loaded.Error();
    // The installed program's private folder may follow the program's own.
    EXPECT_TRUE(whyNot.startsWith(QStringLiteral("ExtIO_FCD_Quillon_beside in %1")
                                      .arg(QCoreApplication::applicationDirPath())))
        << whyNot.toStdString();
    EXPECT_TRUE(whyNot.contains(QStringLiteral(" or on the system's library path (")))
        << whyNot.toStdString();
}

TEST(ReceiverLibraryTest, LibraryWithoutSetHwloIsRefused)
{
    Station s;
    SharedReceiverLibrary library(QStringLiteral("ExtIO_FCD_Quillon"),
        { QStringLiteral(INCOMPLETE_DIR), QStringLiteral(RECORDER_DIR) });
    s.State.NominalFreq = 435100;
    ReceiverController controller(s.State, s.Log, library);
    controller.SetTracking(true);
    EXPECT_FALSE(controller.Frame().Tracking);
    EXPECT_EQ(s.LogTexts(),
        QStringList { QStringLiteral(": receiver library not found: " INCOMPLETE_DIR
                                     "/libExtIO_FCD_Quillon.so lacks SetHWLO") });
}

} // namespace
} // namespace aostrack
