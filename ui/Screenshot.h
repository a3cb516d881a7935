#pragma once
// A picture of a window for the documentation: with the environment variable
// AOSTRACK_SCREENSHOT=<file.png> the program saves QWidget::grab() of the
// window after AOSTRACK_SCREENSHOT_DELAY seconds (default 5) and quits.
// AOSTRACK_SCREENSHOT_SIZE=<w>x<h> fixes the window size first.
class QWidget;

namespace aostrack {

// Arms the screenshot when the variable is set; returns whether it did.
bool ArmScreenshotFromEnvironment(QWidget& window);

} // namespace aostrack
