#pragma once
// The station in the main window: its event log, tracker, receiver and rotor
// bound to the window's controls, and its start-up with the failure boxes.
class QString;

namespace aostrack {

class FrequencyWindow;
class MainWindow;
class MessageSink;
class StationSession;

// Binds every part of the station to the window (and the frequency window,
// when given). Call before StartStation so that start-up's own results reach
// the window. All must outlive the connections.
void BindStation(StationSession& station, MainWindow& window, FrequencyWindow* frequencyWindow);

// Runs the station's start-up for the program in appDir. On a failure each
// message is shown in a warning box (in order) and written to stderr, and
// the exit code 1 is returned; 0 when tracking runs. After a start-up the
// menu "TLE > Internet Update " opens the element update for sat.ini's
// servers, and closing that window reloads the catalogue.
int StartStation(
    StationSession& station, MainWindow& window, const QString& appDir, MessageSink& messages);
// The same from the settings file at iniPath, whatever its name and folder.
int StartStationAt(
    StationSession& station, MainWindow& window, const QString& iniPath, MessageSink& messages);

} // namespace aostrack
