#pragma once
// A picture of the window for the documentation. With the environment
// variable AOSTRACK_SCREENSHOT=<file.png> the program saves QWidget::grab() of
// the window after AOSTRACK_SCREENSHOT_DELAY seconds (default 5) and quits
// (exit code 0, or 1 when the file cannot be written).
// AOSTRACK_SCREENSHOT_SIZE=<w>x<h> fixes the window size first.
// AOSTRACK_SCREENSHOT_SATELLITE=<part of a name> chooses that satellite as
// the operator would; the value "up" chooses the low-orbit satellite highest
// above the horizon now, preferring one with a known downlink.
// AOSTRACK_SCREENSHOT_START=<ISO 8601 UTC> runs the program's own clock from
// that moment (AOSTRACK_SCREENSHOT_SPEED times as fast), so that the picture
// can show a pass of the example station's element sets; it never touches
// the system clock and does nothing without AOSTRACK_SCREENSHOT.
#include "orbit/Clock.h"

#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <optional>

namespace aostrack {
class MainWindow;
class TrackingSession;

// The program's clock: the real one, or the screenshot's rehearsal clock.
class ScreenshotClock : public Clock {
public:
    explicit ScreenshotClock(const Clock& real);
    std::chrono::sys_seconds UtcNow() const override;
    int UtcOffsetMinutes() const override;

private:
    const Clock& m_real;
    std::optional<std::chrono::sys_seconds> m_start;
    double m_speed = 1;
    QElapsedTimer m_elapsed;
};

// Arms the screenshot when the variable is set; returns whether it did.
bool ArmScreenshotFromEnvironment(MainWindow& window, TrackingSession& tracker, const Clock& clock);

// Writes image as a PNG file at path; empty on success, otherwise the
// system's reason ("No space left on device"). A failed write leaves no file.
QString SaveScreenshot(const QImage& image, const QString& path);

} // namespace aostrack
