// aostrack: the tracker's window. Start-up reads the settings file that
// --config names, else sat.ini beside the program, else
// ~/.config/aostrack/sat.ini; when there is none yet the station dialog asks
// for the station and writes it. A failure shows its messages and ends the
// program with exit code 1.
#include "core/EventLog.h"
#include "core/LandFile.h"
#include "core/PassOverview.h"
#include "core/SettingsLocation.h"
#include "core/SystemClock.h"
#include "core/Version.h"
#include "station/StationSession.h"
#include "station/StationTransceiver.h"
#include "ui/Dialogs.h"
#include "ui/FrequencyWindow.h"
#include "ui/GroundMapBinding.h"
#include "ui/MainWindow.h"
#include "ui/PassOverviewBinding.h"
#include "ui/Screenshot.h"
#include "ui/SettingsBinding.h"
#include "ui/StationDialog.h"
#include "ui/StationView.h"
#include "ui/TransceiverFrame.h"
#include "ui/UpcomingPassesDock.h"
#include "web/StationWebServer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QStyleFactory>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // QSettings (the window's own state) then lives in
    // ~/.config/aostrack/aostrack.conf, beside sat.ini.
    QApplication::setOrganizationName(QLatin1String(aostrack::kSettingsOrganisation));
    QApplication::setApplicationName(QLatin1String(aostrack::kSettingsApplication));
    QApplication::setApplicationVersion(QLatin1String(aostrack::kProgramVersion));
    // Ties the window to aostrack.desktop (its icon and name on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("aostrack"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Real-time satellite tracker"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption configOption(QStringLiteral("config"),
        QStringLiteral("Read the station's settings from FILE instead of sat.ini."),
        QStringLiteral("FILE"));
    parser.addOption(configOption);
    parser.process(app);

    const QString appDir = QApplication::applicationDirPath();
    const QString iniPath = aostrack::FindSettingsFile(parser.value(configOption), appDir);
    // The first run of an installed program: nothing to read yet. A --config
    // that names no file is a mistake to report, not a first run.
    if (!parser.isSet(configOption) && !QFileInfo::exists(iniPath)) {
        aostrack::StationDialog first(iniPath, aostrack::ExampleSettingsFile(appDir));
        if (first.exec() != QDialog::Accepted)
            return 1;
    }

    aostrack::SystemClock systemClock;
    // The system clock, unless a documentation screenshot asks for a
    // rehearsal time (see ui/Screenshot.h).
    aostrack::ScreenshotClock clock(systemClock);
    aostrack::StationSession station(clock);
    aostrack::QtFileChooser fileChooser;
    aostrack::QtMessageSink messages;
    aostrack::MainWindow window(fileChooser);
    aostrack::FrequencyWindow frequencyWindow(station.Receiver(), &window);
    aostrack::BindStation(station, window, &frequencyWindow);
    // Every satellite's passes in the dock "Upcoming passes", the sky plot
    // and the AOS alarm.
    aostrack::PassOverview overview(station.StationClock());
    aostrack::PassOverviewBinding passOverview(station.Tracking(), window, overview,
        station.StationClock(), station.Log(), station.Rotor());
    // The world map, a tab beside the upcoming passes.
    aostrack::GroundMapBinding worldMap(station.Tracking(), window, overview, passOverview.Dock());
    aostrack::BindSettingsDialog(window, station.Tracking(), station.Log(), iniPath);
    if (aostrack::StartStationAt(station, window, iniPath, messages) != 0)
        return 1;
    // RIG_HOST: the transceiver's dials, passband knob and offsets in the frame.
    if (aostrack::StationTransceiver* transceiver = station.Transceiver())
        aostrack::BindTransceiver(*transceiver, window, frequencyWindow);
    auto land = aostrack::LoadLandFile(aostrack::FindLandFile(QApplication::applicationDirPath()));
    if (land)
        worldMap.SetLand(std::move(land.Value()));
    else
        station.Log().LogEvent(QStringLiteral(": world map without land: ") + land.Error(), true);
    // HTTP_LISTEN: the station's page and API beside the window.
    const aostrack::Configuration& config = station.Tracking().Config();
    auto web = aostrack::ServeStation(station, config.HttpListenAt, config.HttpToken);
    if (!web)
        station.Log().LogEvent(QStringLiteral(": ") + web.Error(), true);
    // The documentation's picture shows the dock open, whatever was left last
    // time; AOSTRACK_SCREENSHOT_DOCK=map shows the world map in front.
    if (aostrack::ArmScreenshotFromEnvironment(window, station.Tracking(), clock)) {
        passOverview.Dock()->show();
        if (qEnvironmentVariable("AOSTRACK_SCREENSHOT_DOCK") == QLatin1String("map")) {
            worldMap.Dock()->show();
            worldMap.Dock()->raise();
            QTimer::singleShot(100, &window, [&window, dock = worldMap.Dock()] {
                window.resizeDocks({ dock }, { window.width() / 2 }, Qt::Horizontal);
            });
        }
    }
    window.show();
    return app.exec();
}
