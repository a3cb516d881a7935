#include "app/gui/StationWindow.h"

#include "core/LandFile.h"
#include "core/SettingsLocation.h"
#include "core/Version.h"
#include "station/StationTransceiver.h"
#include "ui/SettingsBinding.h"
#include "ui/StationView.h"
#include "ui/TransceiverFrame.h"

#include <QCommandLineParser>
#include <QStyleFactory>

namespace aostrack {

void SetUpApplication()
{
    QApplication::setOrganizationName(QLatin1String(kSettingsOrganisation));
    QApplication::setApplicationName(QLatin1String(kSettingsApplication));
    QApplication::setApplicationVersion(QLatin1String(kProgramVersion));
    // Ties the window to aostrack.desktop (its icon and name on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("aostrack"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

SettingsChoice ReadSettingsChoice(const QApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Real-time satellite tracker"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption configOption(QStringLiteral("config"),
        QStringLiteral("Read the station's settings from FILE instead of sat.ini."),
        QStringLiteral("FILE"));
    parser.addOption(configOption);
    parser.process(app);
    return { FindSettingsFile(parser.value(configOption), QApplication::applicationDirPath()),
        parser.isSet(configOption) };
}

StationWindow::StationWindow(const Clock& clock)
    : m_station(clock)
    , m_window(m_fileChooser)
    , m_frequencyWindow(m_station.Receiver(), &m_window)
    , m_overview(m_station.StationClock())
    // Every satellite's passes in the dock "Upcoming passes", the sky plot
    // and the AOS alarm; the world map a tab beside them.
    , m_passOverview(m_station.Tracking(), m_window, m_overview, m_station.StationClock(),
          m_station.Log(), m_station.Rotor())
    , m_worldMap(m_station.Tracking(), m_window, m_overview, m_passOverview.Dock())
{
    BindStation(m_station, m_window, &m_frequencyWindow);
}

bool StationWindow::Start(const QString& iniPath)
{
    BindSettingsDialog(m_window, m_station.Tracking(), m_station.Log(), iniPath);
    if (StartStationAt(m_station, m_window, iniPath, m_messages) != 0)
        return false;
    // RIG_HOST: the transceiver's dials, passband knob and offsets in the frame.
    if (StationTransceiver* transceiver = m_station.Transceiver())
        BindTransceiver(*transceiver, m_window, m_frequencyWindow);
    LoadLand();
    Serve();
    return true;
}

void StationWindow::LoadLand()
{
    auto land = LoadLandFile(FindLandFile(QApplication::applicationDirPath()));
    if (land)
        m_worldMap.SetLand(std::move(land.Value()));
    else
        m_station.Log().LogEvent(QStringLiteral(": world map without land: ") + land.Error(), true);
}

void StationWindow::Serve()
{
    // HTTP_LISTEN: the station's page and API beside the window.
    const Configuration& config = m_station.Tracking().Config();
    auto web = ServeStation(m_station, config.HttpListenAt, config.HttpToken);
    if (web)
        m_web = std::move(web.Value());
    else
        m_station.Log().LogEvent(QStringLiteral(": ") + web.Error(), true);
}

} // namespace aostrack
