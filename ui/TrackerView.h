#pragma once
// Shows the tracking core in the main window: satellite list, element lines,
// station text, data panel, countdown, pass plot and its marks, pass list and
// the hourglass; forwards the satellite choice and "Open Kep File".
namespace aostrack {

class MainWindow;
class TrackingSession;
class TrackingTexts;

// Connects the session, its texts and the window both ways. Call before
// start-up so that start-up's own results reach the window. All three must
// outlive the connections.
void BindTracker(TrackingSession& tracker, const TrackingTexts& texts, MainWindow& window);

} // namespace aostrack
