// aostrack: the tracker's window. Start-up reads sat.ini beside the program;
// a failure shows its messages and ends the program with exit code 1.
#include "clock/SystemClockSetter.h"
#include "clock/TimeSyncClient.h"
#include "core/EventLog.h"
#include "core/SystemClock.h"
#include "core/Tracker.h"
#include "radio/ReceiverController.h"
#include "radio/ReceiverLibrary.h"
#include "rotor/RotorController.h"
#include "ui/Dialogs.h"
#include "ui/EventLogView.h"
#include "ui/FrequencyWindow.h"
#include "ui/MainWindow.h"
#include "ui/ReceiverBinding.h"
#include "ui/RotorBinding.h"
#include "ui/Screenshot.h"
#include "ui/TrackerView.h"
#include "ui/UpdateWindow.h"

#include <QApplication>
#include <QListWidget>
#include <QStyleFactory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("aostrack"));
    QApplication::setApplicationVersion(QStringLiteral("1.1.1"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    aostrack::SystemClock systemClock;
    // The system clock, unless a documentation screenshot asks for a
    // rehearsal time (see ui/Screenshot.h).
    aostrack::ScreenshotClock clock(systemClock);
    aostrack::EventLog log(clock);
    aostrack::Tracker tracker(clock, log);
    aostrack::QtFileChooser fileChooser;
    aostrack::QtMessageSink messages;
    aostrack::MainWindow window(fileChooser);
    aostrack::BindEventLog(log, window.findChild<QListWidget*>(QStringLiteral("List2")));
    aostrack::BindTracker(tracker, window);

    // The station's devices bind here, before start-up; one SetLinks call
    // names all three (receiver, rotor, clock synchronisation).
    // Receiver: the library beside the program is loaded when "track" is
    // first ticked; the frequency rows come from DOPPLERFILE of sat.ini.
    aostrack::SharedReceiverLibrary receiverLibrary;
    aostrack::ReceiverController receiver(tracker.Frequency(), log, receiverLibrary);
    receiver.SetDopplerFileSource([&tracker] { return tracker.Config().DopplerFileName; });
    aostrack::FrequencyWindow frequencyWindow(receiver, &window);
    aostrack::BindReceiverControls(receiver, window, &frequencyWindow);
    aostrack::RotorController rotor(log);
    aostrack::BindRotorControls(rotor, window);
    // Clock synchronisation: at the end of start-up when TIMESERVER is set,
    // the time server's answer sets the system clock.
    aostrack::RealSystemClockSetter clockSetter;
    aostrack::TimeSyncClient timeSync(log, clock, &clockSetter);
    tracker.SetLinks(&receiver, &rotor, &timeSync);

    receiver.BeginStartup();
    if (aostrack::StartTracking(tracker, window, QApplication::applicationDirPath(), messages) != 0)
        return 1;
    receiver.FinishStartup();
    // "Internet Update ": the TLE Update window; closing it reloads the catalogue.
    aostrack::BindElementUpdate(window, tracker.Config().TleServer, tracker.Config().TleArchive,
                                [&tracker] { return tracker.Config().TleFilePath; },
                                [&tracker] { tracker.ReloadElementFile(); });
    aostrack::ArmScreenshotFromEnvironment(window, tracker, clock);
    window.show();
    return app.exec();
}
