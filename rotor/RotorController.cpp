#include "rotor/RotorController.h"

#include "core/Configuration.h"
#include "core/EventLog.h"
#include "core/NumberText.h"
#include "rotor/EasyComm.h"

#include <QFileInfo>
#include <cmath>

namespace aostrack {

namespace {

// The serial control numbers ports from 1; a PC offers at most 255 of them.
constexpr int kMaxPortNumber = 255;

const QChar kDegreeSign(0x00B0);

} // namespace

QString RotorPortName(const Configuration& config)
{
    if (!config.RotorDevice.isEmpty())
        return config.RotorDevice;
    return QStringLiteral("COM") + QString::number(config.RotorPort.value_or(1));
}

RotorController::RotorController(EventLog& log, std::unique_ptr<SerialPort> port, QObject* parent)
    : QObject(parent)
    , m_log(log)
    , m_easyComm(std::make_unique<EasyCommDriver>(std::move(port)))
    , m_driver(m_easyComm.get())
    , m_devicePath(RotorDevicePath(Configuration {}))
{
    ConnectDriver(*m_easyComm);
}

void RotorController::ConnectDriver(RotorDriver& driver)
{
    connect(&driver, &RotorDriver::commandWritten, this, &RotorController::commandSent);
    connect(&driver, &RotorDriver::lost, this, &RotorController::PortLost);
    connect(&driver, &RotorDriver::connected, this, &RotorController::LinkConnected);
    connect(&driver, &RotorDriver::connectFailed, this, &RotorController::LinkConnectFailed);
    connect(&driver, &RotorDriver::reconnecting, this, &RotorController::LinkDropped);
    connect(&driver, &RotorDriver::refused, this, &RotorController::DriverRefused);
    connect(&driver, &RotorDriver::accepted, this, [this] { m_refusalLogged = false; });
    connect(&driver, &RotorDriver::positionRead, this, &RotorController::PositionRead);
}

RotorController::~RotorController()
{
    ClosePort();
}

void RotorController::ApplyConfiguration(const Configuration& config)
{
    const bool configured = RotorConfigured(config);
    m_devicePath = RotorDevicePath(config);
    if (config.RotorHost.isEmpty())
        ConfigureEasyComm(config);
    else
        ConfigureRotctld(config);
    m_stepDeg = config.RotorStepDeg;
    m_autoPark = config.AutoPark.value_or(false);
    m_limits = RotorLimits { static_cast<double>(config.RotorAzMaxDeg),
        static_cast<double>(config.RotorElMaxDeg) };

    const QString parkMode = aostrack::ParkModeText(config);
    if (parkMode != m_parkModeText) {
        m_parkModeText = parkMode;
        emit parkModeTextChanged(m_parkModeText);
    }
    if (configured != m_configured) {
        m_configured = configured;
        emit controlsEnabledChanged(m_configured);
    }
}

void RotorController::ConfigureEasyComm(const Configuration& config)
{
    if (config.RotorPortSettings) {
        const Result<SerialSettings> settings = ParseSerialSettings(*config.RotorPortSettings);
        if (!settings)
            throw StartupError(settings.Error().toStdString());
        const int port = config.RotorPort.value_or(1);
        if (config.RotorDevice.isEmpty() && (port < 1 || port > kMaxPortNumber))
            throw StartupError(QStringLiteral("Rotor port number %1 must lie between 1 and %2")
                                   .arg(port)
                                   .arg(kMaxPortNumber)
                                   .toStdString());
        m_settings = *settings;
        m_settingsText = *config.RotorPortSettings;
    }
    m_portName = RotorPortName(config);
    m_linkLabel = m_portName + QLatin1Char(' ') + m_settingsText;
    m_statusWhere = m_portName + QStringLiteral(", ") + m_settingsText;
    m_easyComm->Configure(m_portName, m_devicePath, m_settings, config.RotorParkCommand);
    m_driver = m_easyComm.get();
}

void RotorController::ConfigureRotctld(const Configuration& config)
{
    std::optional<RotctldParkPosition> park;
    if (!config.RotorParkCommand.isEmpty()) {
        // rotctld takes a position, not a text for the rotor's own parser.
        park = ReadRotctldPark(config.RotorParkCommand);
        if (!park)
            throw StartupError(
                QStringLiteral("%1: ROTOR_PARK value \"%2\" is not \"az el\" as rotctld needs it")
                    .arg(config.IniPath.isEmpty() ? QStringLiteral("sat.ini")
                                                  : QFileInfo(config.IniPath).fileName(),
                        config.RotorParkCommand));
    }
    m_portName = RotctldName(config);
    m_linkLabel = m_portName;
    m_statusWhere = m_portName;
    if (!m_rotctld) {
        m_rotctld = std::make_unique<RotctldDriver>();
        ConnectDriver(*m_rotctld);
    }
    m_rotctld->Configure(config.RotorHost, static_cast<quint16>(config.RotorHostPort), park,
        config.RotorParkCommand);
    m_driver = m_rotctld.get();
}

void RotorController::PassAhead(const std::vector<PassLook>& track)
{
    m_nextPlan = ChooseRotorPlan(track, m_limits);
}

bool RotorController::PortOpen() const
{
    return m_driver->IsOpen();
}

void RotorController::ToggleRotorLink()
{
    if (!m_configured)
        return;
    if (m_linkChecked)
        CloseLink();
    else
        OpenLink();
    RefreshLamp();
}

void RotorController::CloseLink()
{
    SetLinkChecked(false);
    const bool wasOpen = m_driver->IsOpen();
    m_driver->Close();
    m_portWasOpen = false;
    if (wasOpen)
        m_log.LogEvent(QStringLiteral(": ") + m_portName + QStringLiteral(" closed "), true);
}

void RotorController::OpenLink()
{
    m_connectFailureLogged = false;
    m_unreachableLogged = false;
    m_openLogged = false;
    if (const Result<void> opened = m_driver->Open(); !opened) {
        // The item stays unmarked: the operator sees at once that the
        // rotor does not follow, and the next click tries again.
        m_log.LogEvent(QStringLiteral(": ") + m_linkLabel + QStringLiteral(" could not be opened (")
                + opened.Error() + QStringLiteral(")"),
            true);
        return;
    }
    // A link that connects in the background says "opened" once it is up,
    // and is tried again every second while the item stays marked.
    SetLinkChecked(true);
    if (m_driver->IsOpen()) {
        m_portWasOpen = true;
        m_openLogged = true;
        m_log.LogEvent(QStringLiteral(": ") + m_linkLabel + QStringLiteral(" opened "), true);
    }
}

void RotorController::UpdateRotor(double satAzimuth, double satElevation)
{
    // Lamp and status, whatever the menu item says.
    RefreshLamp();
    const bool open = PortOpen();
    if (open) {
        if (satElevation < kRotorHorizonDeg)
            SetStatusText(StatusLine());
    } else {
        SetStatusText(QString());
    }

    if (!std::isfinite(satAzimuth) || !std::isfinite(satElevation))
        return;
    // A pass begins when the satellite comes above -3 degrees and ends when
    // it sinks below; its plan holds in between, whatever the link does.
    const bool passOver = satElevation < kRotorHorizonDeg;
    if (satElevation > kRotorHorizonDeg && !m_inPass)
        StartPass();

    if (!m_linkChecked || !open) {
        if (passOver)
            EndPass();
        return;
    }
    if (m_inPass && !m_planLogged) {
        m_planLogged = true;
        if (m_plan.CrossesNorth)
            m_log.LogEvent(QStringLiteral(": pass crosses north: %1 plan, %2\u00B0 \u2192 %3\u00B0")
                               .arg(QString::fromLatin1(RotorPlanName(m_plan.Kind)))
                               .arg(RoundHalfEven(m_plan.FromAz))
                               .arg(RoundHalfEven(m_plan.ToAz)),
                true);
    }

    // Once per pass: the satellite has set, bring the antenna home.
    if (passOver && m_autoPark && !m_rotorParked) {
        ParkRotor();
        m_rotorParked = true;
    }
    if (passOver)
        EndPass();
    // At exactly -3 degrees neither park nor step.
    if (!(satElevation > kRotorHorizonDeg))
        return;

    // Plain difference in the rotor's own frame: under the normal plan no
    // wrap at north, so 359 -> 1 is a move of 358 degrees, which is what a
    // rotor with a stop at north must do anyway.
    const RotorAim aim = m_plan.Aim(satAzimuth, satElevation);
    // A daemon connected anew (perhaps restarted) does not know where the
    // rotor should be: the next tick tells it.
    const bool resend = m_resendAfterConnect;
    if (resend || std::abs(aim.Azimuth - m_lastRotorAz) >= m_stepDeg) {
        m_rotorParked = false;
        m_resendAfterConnect = false;
        if (!SendAim(aim))
            return;
        m_lastRotorAz = aim.Azimuth;
    }

    if (satElevation > 0 && std::abs(aim.Elevation - m_lastRotorEl) >= m_stepDeg) {
        if (!SendAim(aim))
            return;
        m_lastRotorEl = aim.Elevation;
    }
}

void RotorController::EndPass()
{
    m_inPass = false;
    m_plan = RotorPlan {};
}

void RotorController::StartPass()
{
    m_inPass = true;
    m_planLogged = false;
    // Each search hands over one pass; a plan is never used for two.
    m_plan = m_nextPlan;
    m_nextPlan = RotorPlan {};
}

void RotorController::ParkRotor()
{
    if (!PortOpen() || !m_driver->Park())
        return;
    SetStatusText(QStringLiteral("parking position at ") + m_driver->ParkText());
    m_commanded = m_driver->ParkAim();
    RefreshPositionText();
    m_rotorParked = true;
}

void RotorController::ClosePort()
{
    m_easyComm->Close();
    if (m_rotctld)
        m_rotctld->Close();
    m_portWasOpen = false;
}

void RotorController::PointRotor(double azimuth, double elevation)
{
    if (PortOpen())
        SendAim(RotorAim { azimuth, elevation });
}

void RotorController::RequestPosition()
{
    if (PortOpen())
        m_driver->AskPosition();
}

bool RotorController::SendAim(const RotorAim& aim)
{
    // What the rotor is told: whole degrees, the horizon for a satellite
    // still below it.
    m_commanded = RotorAim { RoundHalfEven(aim.Azimuth),
        aim.Elevation < 0 ? 0.0 : RoundHalfEven(aim.Elevation) };
    RefreshPositionText();
    SetStatusText(m_driver->PointText(aim));
    return m_driver->Point(aim);
}

void RotorController::PortLost(const QString& reason)
{
    // Reported once, however many writes and error signals follow the loss.
    if (!m_portWasOpen)
        return;
    m_portWasOpen = false;
    m_driver->Close();
    m_log.LogEvent(QStringLiteral(": ") + m_portName + QStringLiteral(" lost (") + reason
            + QStringLiteral("), closed "),
        true);
    SetLinkChecked(false);
    SetStatusText(QString());
    RefreshLamp();
}

void RotorController::SetStatusText(const QString& text)
{
    if (text == m_statusText)
        return;
    m_statusText = text;
    emit statusTextChanged(m_statusText);
}

void RotorController::SetLinkChecked(bool checked)
{
    if (checked == m_linkChecked)
        return;
    m_linkChecked = checked;
    emit linkCheckedChanged(m_linkChecked);
}

void RotorController::RefreshLamp()
{
    const bool on = PortOpen();
    if (on == m_lampOn)
        return;
    m_lampOn = on;
    emit lampChanged(m_lampOn);
}

QString RotorController::StatusLine() const
{
    return m_statusWhere + QStringLiteral("  (") + QString::number(m_stepDeg) + kDegreeSign
        + QLatin1Char(')');
}

void RotorController::LinkConnected()
{
    m_portWasOpen = true;
    m_connectFailureLogged = false;
    m_resendAfterConnect = true;
    if (!m_openLogged)
        m_log.LogEvent(QStringLiteral(": ") + m_portName + QStringLiteral(" opened "), true);
    m_openLogged = true;
    RefreshLamp();
}

void RotorController::LinkConnectFailed(const QString& reason)
{
    // Once: the link keeps trying every second while the item is marked.
    if (!m_connectFailureLogged)
        m_log.LogEvent(QStringLiteral(": ") + m_portName + QStringLiteral(" could not be opened (")
                + reason + QStringLiteral("), retrying "),
            true);
    m_connectFailureLogged = true;
    RefreshLamp();
}

void RotorController::LinkDropped(const QString& reason, bool newOutage)
{
    m_portWasOpen = false;
    // One line per outage: a daemon that floods again after every reconnect
    // is not reported anew until it has held a connection steadily.
    if (newOutage) {
        m_log.LogEvent(QStringLiteral(": ") + m_portName + QStringLiteral(" lost (") + reason
                + QStringLiteral("), reconnecting "),
            true);
        m_openLogged = false;
    }
    m_connectFailureLogged = true;
    m_reported.reset();
    RefreshPositionText();
    SetStatusText(QString());
    RefreshLamp();
}

void RotorController::DriverRefused(const QString& command, const QString& code)
{
    // Once until a command is taken again: a plan the rotor cannot follow
    // would otherwise fill the log every second.
    if (!m_refusalLogged)
        m_log.LogEvent(QStringLiteral(": %1 refused \"%2\": RPRT %3 (%4)")
                           .arg(m_portName, command, code, HamlibErrorText(code)),
            true);
    m_refusalLogged = true;
    emit commandRefused(command, code);
}

void RotorController::PositionRead(double azimuth, double elevation)
{
    if (!WithinReach(azimuth, elevation, m_limits)) {
        // A reading no rotor of this station can give is the daemon's fault
        // (or a rotor set up with other limits): said once, never drawn.
        if (!m_unreachableLogged)
            m_log.LogEvent(QStringLiteral(": %1 reports the position %2/%3, outside the "
                                          "rotor's reach; not shown ")
                               .arg(m_portName, QString::number(azimuth, 'g', 6),
                                   QString::number(elevation, 'g', 6)),
                true);
        m_unreachableLogged = true;
        m_reported.reset();
        RefreshPositionText();
        return;
    }
    m_unreachableLogged = false;
    m_reported = RotorAim { azimuth, elevation };
    RefreshPositionText();
    emit positionReported(azimuth, elevation);
}

QString RotorController::PositionText() const
{
    if (!m_commanded && !m_reported)
        return QString();
    QString text;
    if (m_commanded)
        text = QStringLiteral("cmd ") + FormatPattern(m_commanded->Azimuth, QStringLiteral("0"))
            + kDegreeSign + QLatin1Char('/')
            + FormatPattern(m_commanded->Elevation, QStringLiteral("0")) + kDegreeSign;
    if (m_reported) {
        if (!text.isEmpty())
            text += QStringLiteral("  ");
        text += QStringLiteral("rotor ") + FormatPattern(m_reported->Azimuth, QStringLiteral("0.0"))
            + kDegreeSign + QLatin1Char('/')
            + FormatPattern(m_reported->Elevation, QStringLiteral("0.0")) + kDegreeSign;
    }
    return text;
}

void RotorController::RefreshPositionText()
{
    const QString text = PositionText();
    if (text == m_positionText)
        return;
    m_positionText = text;
    emit positionTextChanged(m_positionText);
}

} // namespace aostrack
