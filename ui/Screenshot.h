#pragma once
// A picture of the window for the documentation. With the environment
// variable AOSTRACK_SCREENSHOT=<file.png> the program saves QWidget::grab() of
// the window after AOSTRACK_SCREENSHOT_DELAY seconds (default 5) and quits
// (exit code 0, or 1 when the file cannot be written).
// AOSTRACK_SCREENSHOT_SIZE=<w>x<h> fixes the window size first.
// AOSTRACK_SCREENSHOT_SATELLITE=<part of a name> chooses that satellite as
// the operator would; the value "up" chooses the low-orbit satellite highest
// above the horizon now, preferring one with a known downlink.
class QWidget;

namespace aostrack {

class Clock;
class MainWindow;
class Tracker;

// Arms the screenshot when the variable is set; returns whether it did.
bool ArmScreenshotFromEnvironment(MainWindow& window, Tracker& tracker, const Clock& clock);

} // namespace aostrack
