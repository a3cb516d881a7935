#pragma once
// The menu "Station" with "Settings...", which opens the settings dialog for
// the settings file the station started from.
class QString;

namespace aostrack {

class EventLog;
class MainWindow;
class TrackingSession;

// After OK the orbit model and the element file apply at once; the event
// log names the other changed keys, which apply at the next start.
void BindSettingsDialog(
    MainWindow& window, TrackingSession& tracker, EventLog& log, const QString& iniPath);

} // namespace aostrack
