#pragma once
// Shows the tracking core in the main window: satellite list, element lines,
// station text, data panel, countdown, pass plot and its marks, pass list and
// the hourglass; forwards the satellite choice and "Open Kep File".
namespace aostrack {

class MainWindow;
class Tracker;
struct Configuration;

// Connects tracker and window both ways. Call before start-up so that
// start-up's own results reach the window. Both must outlive the connections.
void BindTracker(Tracker& tracker, MainWindow& window);

// What start-up does to the window beyond the tracker's signals: the menu
// "Rotor" and the button "park" are enabled when sat.ini names the rotor's line
// settings, and Label9 shows "AUTO" or "MAN" when AUTO_PARK is given.
void ApplyStartupSettings(const Configuration& config, MainWindow& window);

} // namespace aostrack
