#pragma once
// The window program put together on a clock: the station, the main window
// with the frequency window, the upcoming passes, the world map, the settings
// dialog and the station's web page. aostrack runs it on the system clock,
// aostrack-screenshot on its rehearsal clock.
#include "core/PassOverview.h"
#include "station/StationSession.h"
#include "ui/Dialogs.h"
#include "ui/FrequencyWindow.h"
#include "ui/GroundMapBinding.h"
#include "ui/MainWindow.h"
#include "ui/PassOverviewBinding.h"
#include "ui/UpcomingPassesDock.h"
#include "web/StationWebServer.h"

#include <QApplication>
#include <memory>

namespace aostrack {

// The application's names (QSettings in ~/.config/aostrack/aostrack.conf,
// beside sat.ini; the desktop file) and its style.
void SetUpApplication();

// Reads --config (and answers --help and --version); the settings file to
// read, whether --config named it.
struct SettingsChoice {
    QString IniPath;
    bool Named = false;
};
SettingsChoice ReadSettingsChoice(const QApplication& app);

class StationWindow {
public:
    explicit StationWindow(const Clock& clock);

    // Binds the settings dialog to iniPath and starts the station from it,
    // with the world map's land and the web page; false when the start-up
    // failed (its messages were shown).
    bool Start(const QString& iniPath);

    MainWindow& Window() { return m_window; }
    TrackingSession& Tracking() { return m_station.Tracking(); }
    QDockWidget* PassesDock() const { return m_passOverview.Dock(); }
    QDockWidget* MapDock() const { return m_worldMap.Dock(); }

private:
    void LoadLand();
    void Serve();

    StationSession m_station;
    QtFileChooser m_fileChooser;
    QtMessageSink m_messages;
    MainWindow m_window;
    FrequencyWindow m_frequencyWindow;
    PassOverview m_overview;
    PassOverviewBinding m_passOverview;
    GroundMapBinding m_worldMap;
    std::unique_ptr<StationWebServer> m_web;
};

} // namespace aostrack
