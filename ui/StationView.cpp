#include "ui/StationView.h"

#include "core/SettingsLocation.h"
#include "station/StationSession.h"
#include "station/StationTransceiver.h"
#include "ui/Dialogs.h"
#include "ui/EventLogView.h"
#include "ui/MainWindow.h"
#include "ui/ReceiverBinding.h"
#include "ui/RotorBinding.h"
#include "ui/TrackerView.h"
#include "ui/UpdateWindow.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace aostrack {

namespace {

void ShowStartupFailure(const QString& text, MessageSink& messages)
{
    std::fprintf(stderr, "aostrack: %s\n", qPrintable(text));
    messages.Warn(QStringLiteral("aostrack"), text);
}

} // namespace

void BindStation(StationSession& station, MainWindow& window, FrequencyWindow* frequencyWindow)
{
    const MainWindowControls& controls = window.Controls();
    BindEventLog(station.Log(), controls.EventLog);
    BindTracker(station.Tracking(), station.Texts(), window);
    BindReceiverControls(station.Receiver(), controls, frequencyWindow);
    if (RotorController* rotor = station.Rotor())
        BindRotorControls(*rotor, controls.Rotor, window);
}

int StartStation(
    StationSession& station, MainWindow& window, const QString& appDir, MessageSink& messages)
{
    // The program's own folder, never the working directory.
    return StartStationAt(
        station, window, QDir(appDir).filePath(QStringLiteral("sat.ini")), messages);
}

int StartStationAt(
    StationSession& station, MainWindow& window, const QString& iniPath, MessageSink& messages)
{
    try {
        station.StartupFromIni(iniPath);
    } catch (const StartupError& failure) {
        QStringList texts = failure.Messages();
        if (texts.isEmpty())
            texts << QString::fromUtf8(failure.what());
        for (const QString& text : texts)
            ShowStartupFailure(text, messages);
        return 1;
    } catch (const std::exception& failure) {
        // Anything else that stops start-up is shown the same way.
        ShowStartupFailure(QString::fromUtf8(failure.what()), messages);
        return 1;
    }
    TrackingSession& tracker = station.Tracking();
    BindElementUpdate(
        window, tracker.Config().TleServer, tracker.Config().TleArchive,
        // The package's element file is not the operator's to replace: the
        // download goes to ~/.local/share/aostrack and is loaded from there.
        [&tracker] { return WritableDataPath(tracker.Config().TleFilePath); },
        [&tracker, &station] {
            const QString written = WritableDataPath(tracker.Config().TleFilePath);
            if (written == tracker.Config().TleFilePath)
                tracker.ReloadElementFile();
            else if (QFileInfo::exists(written))
                tracker.OpenElementFile(written);
            // A fresh transmitter list may have come with the update.
            if (StationTransceiver* transceiver = station.Transceiver())
                transceiver->LoadSatellite(
                    tracker.CurrentElements().CatalogNumber, tracker.SelectedName());
        },
        &station.Log(), tracker.Config().TleLegacyPaths,
        { tracker.Config().TransmitterServer,
            tracker.Config().TransmitterFilePath.isEmpty()
                ? QString()
                : WritableDataPath(tracker.Config().TransmitterFilePath) });
    return 0;
}

} // namespace aostrack
