// aostrack-screenshot: the window of aostrack for the documentation's
// pictures (scripts/screenshot.sh). The same window on the same settings,
// on the rehearsal clock of AOSTRACK_SCREENSHOT_START and grabbed after a few
// seconds (Screenshot.h has the variables). Not installed: a tool of the
// source tree.
#include "app/gui/StationWindow.h"
#include "app/screenshot/Screenshot.h"

#include "core/SystemClock.h"

#include <QTimer>
#include <cstdio>

namespace {

// The picture shows the dock open, whatever was left last time;
// AOSTRACK_SCREENSHOT_DOCK=map shows the world map in front.
void ShowDocks(aostrack::StationWindow& station)
{
    station.PassesDock()->show();
    if (qEnvironmentVariable("AOSTRACK_SCREENSHOT_DOCK") != QLatin1String("map"))
        return;
    QDockWidget* map = station.MapDock();
    map->show();
    map->raise();
    aostrack::MainWindow& window = station.Window();
    QTimer::singleShot(100, &window,
        [&window, map] { window.resizeDocks({ map }, { window.width() / 2 }, Qt::Horizontal); });
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("AOSTRACK_SCREENSHOT")) {
        std::fputs("aostrack-screenshot: set AOSTRACK_SCREENSHOT=<file.png> "
                   "(see scripts/screenshot.sh)\n",
            stderr);
        return 2;
    }
    QApplication app(argc, argv);
    aostrack::SetUpApplication();
    const aostrack::SettingsChoice settings = aostrack::ReadSettingsChoice(app);
    aostrack::SystemClock systemClock;
    aostrack::ScreenshotClock clock(systemClock);
    aostrack::StationWindow station(clock);
    if (!station.Start(settings.IniPath))
        return 1;
    if (aostrack::ArmScreenshotFromEnvironment(station.Window(), station.Tracking(), clock))
        ShowDocks(station);
    station.Window().show();
    return app.exec();
}
