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
    , m_port(std::move(port))
    , m_devicePath(RotorDevicePath(Configuration {}))
{
    connect(m_port.get(), &SerialPort::lost, this, &RotorController::PortLost);
}

RotorController::~RotorController()
{
    ClosePort();
}

void RotorController::ApplyConfiguration(const Configuration& config)
{
    const bool rotctld = !config.RotorHost.isEmpty();
    const bool configured = RotorConfigured(config);
    if (config.RotorPortSettings && !rotctld) {
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
    m_rotctldPark.reset();
    if (rotctld && !config.RotorParkCommand.isEmpty()) {
        // rotctld takes a position, not a text for the rotor's own parser.
        m_rotctldPark = ReadRotctldPark(config.RotorParkCommand);
        if (!m_rotctldPark)
            throw StartupError(
                QStringLiteral("%1: ROTOR_PARK value \"%2\" is not \"az el\" as rotctld needs it")
                    .arg(config.IniPath.isEmpty() ? QStringLiteral("sat.ini")
                                                  : QFileInfo(config.IniPath).fileName(),
                        config.RotorParkCommand));
    }
    m_useRotctld = rotctld;
    if (rotctld) {
        m_rotctldHost = config.RotorHost;
        m_rotctldPort = static_cast<quint16>(config.RotorHostPort);
        m_portName = RotctldName(config);
        if (!m_rotctld) {
            m_rotctld = std::make_unique<RotctldConnection>();
            connect(m_rotctld.get(), &RotctldConnection::connected, this,
                &RotorController::RotctldConnected);
            connect(m_rotctld.get(), &RotctldConnection::connectFailed, this,
                &RotorController::RotctldConnectFailed);
            connect(m_rotctld.get(), &RotctldConnection::lost, this, &RotorController::RotctldLost);
            connect(m_rotctld.get(), &RotctldConnection::refused, this,
                &RotorController::RotctldRefused);
            connect(m_rotctld.get(), &RotctldConnection::accepted, this,
                [this] { m_refusalLogged = false; });
            connect(m_rotctld.get(), &RotctldConnection::positionRead, this,
                &RotorController::RotctldPosition);
            connect(m_rotctld.get(), &RotctldConnection::commandWritten, this,
                &RotorController::commandSent);
        }
    } else {
        m_portName = RotorPortName(config);
    }
    m_devicePath = RotorDevicePath(config);
    m_stepDeg = config.RotorStepDeg;
    m_parkCommand = config.RotorParkCommand;
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

void RotorController::PassAhead(const std::vector<PassLook>& track)
{
    m_nextPlan = ChooseRotorPlan(track, m_limits);
}

bool RotorController::PortOpen() const
{
    if (m_useRotctld)
        return m_rotctld && m_rotctld->IsConnected();
    return m_port->IsOpen();
}

void RotorController::ToggleRotorLink()
{
    if (!m_configured)
        return;
    if (m_useRotctld) {
        if (m_linkChecked) {
            SetLinkChecked(false);
            const bool wasConnected = m_rotctld->IsConnected();
            m_rotctld->Close();
            m_portWasOpen = false;
            if (wasConnected)
                m_log.LogEvent(
                    QStringLiteral(": ") + m_portName + QStringLiteral(" closed "), true);
        } else {
            // Connects in the background; "opened" is logged once the daemon
            // answers the connection, and a daemon that is not there yet is
            // tried again every second while the item stays marked.
            SetLinkChecked(true);
            m_connectFailureLogged = false;
            m_unreachableLogged = false;
            m_openLogged = false;
            m_rotctld->Open(m_rotctldHost, m_rotctldPort);
        }
        RefreshLamp();
        return;
    }
    if (m_linkChecked) {
        SetLinkChecked(false);
        if (m_port->IsOpen()) {
            m_port->Close();
            m_portWasOpen = false;
            m_log.LogEvent(QStringLiteral(": ") + m_portName + QStringLiteral(" closed "), true);
        }
        RefreshLamp();
        return;
    }

    if (!m_port->IsOpen()) {
        if (const Result<void> opened = m_port->Open(m_devicePath, m_settings); !opened) {
            // The item stays unmarked: the operator sees at once that the
            // rotor does not follow, and the next click tries again.
            const QString where = m_devicePath == m_portName
                ? m_devicePath
                : m_portName + QStringLiteral(", ") + m_devicePath;
            m_log.LogEvent(QStringLiteral(": ") + m_portName + QLatin1Char(' ') + m_settingsText
                    + QStringLiteral(" could not be opened (") + where + QStringLiteral(": ")
                    + opened.Error() + QStringLiteral(")"),
                true);
            RefreshLamp();
            return;
        }
    }
    m_portWasOpen = true;
    SetLinkChecked(true);
    m_log.LogEvent(QStringLiteral(": ") + m_portName + QLatin1Char(' ') + m_settingsText
            + QStringLiteral(" opened "),
        true);
    RefreshLamp();
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
    if (!PortOpen())
        return;
    if (m_useRotctld) {
        m_rotctld->Park(m_rotctldPark);
        SetStatusText(QStringLiteral("parking position at ")
            + (m_parkCommand.isEmpty() ? QStringLiteral("K") : m_parkCommand));
        // "K" goes where the rotor's own park is; we do not know that angle.
        m_commanded.reset();
        if (m_rotctldPark)
            m_commanded = RotorAim { m_rotctldPark->Azimuth, m_rotctldPark->Elevation };
        RefreshPositionText();
        m_rotorParked = true;
        return;
    }
    const QByteArray bytes = EasyCommWire(m_parkCommand);
    if (const Result<void> written = m_port->Write(bytes); !written) {
        PortLost(written.Error());
        return;
    }
    emit commandSent(bytes);
    SetStatusText(QStringLiteral("parking position at ") + m_parkCommand);
    m_rotorParked = true;
}

void RotorController::ClosePort()
{
    if (m_rotctld)
        m_rotctld->Close();
    if (m_port->IsOpen())
        m_port->Close();
    m_portWasOpen = false;
}

void RotorController::PointRotor(double azimuth, double elevation)
{
    if (PortOpen())
        SendAim(RotorAim { azimuth, elevation });
}

void RotorController::RequestPosition()
{
    if (m_rotctld && PortOpen())
        m_rotctld->AskPosition();
}

bool RotorController::SendAim(const RotorAim& aim)
{
    // What the rotor is told: whole degrees, the horizon for a satellite
    // still below it.
    m_commanded = RotorAim { RoundHalfEven(aim.Azimuth),
        aim.Elevation < 0 ? 0.0 : RoundHalfEven(aim.Elevation) };
    RefreshPositionText();
    if (!m_useRotctld)
        return Send(EasyCommPosition(aim.Azimuth, aim.Elevation));
    const QByteArray bytes = RotctldPointCommand(aim.Azimuth, aim.Elevation);
    SetStatusText(QString::fromLatin1(bytes.trimmed()));
    m_rotctld->Point(aim.Azimuth, aim.Elevation);
    return true;
}

bool RotorController::Send(const QString& command)
{
    SetStatusText(command);
    const QByteArray bytes = EasyCommWire(command);
    if (const Result<void> written = m_port->Write(bytes); !written) {
        PortLost(written.Error());
        return false;
    }
    emit commandSent(bytes);
    return true;
}

void RotorController::PortLost(const QString& reason)
{
    // Reported once, however many writes and error signals follow the loss.
    if (!m_portWasOpen)
        return;
    m_portWasOpen = false;
    m_port->Close();
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
    const QString where
        = m_useRotctld ? m_portName : m_portName + QStringLiteral(", ") + m_settingsText;
    return where + QStringLiteral("  (") + QString::number(m_stepDeg) + kDegreeSign
        + QLatin1Char(')');
}

void RotorController::RotctldConnected()
{
    m_portWasOpen = true;
    m_connectFailureLogged = false;
    m_resendAfterConnect = true;
    if (!m_openLogged)
        m_log.LogEvent(QStringLiteral(": ") + m_portName + QStringLiteral(" opened "), true);
    m_openLogged = true;
    RefreshLamp();
}

void RotorController::RotctldConnectFailed(const QString& reason)
{
    // Once: the link keeps trying every second while the item is marked.
    if (!m_connectFailureLogged)
        m_log.LogEvent(QStringLiteral(": ") + m_portName + QStringLiteral(" could not be opened (")
                + reason + QStringLiteral("), retrying "),
            true);
    m_connectFailureLogged = true;
    RefreshLamp();
}

void RotorController::RotctldLost(const QString& reason)
{
    m_portWasOpen = false;
    // One line per outage: a daemon that floods again after every reconnect
    // is not reported anew until it has held a connection steadily.
    if (m_rotctld->LossesInARow() <= 1) {
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

void RotorController::RotctldRefused(const QString& command, const QString& code)
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

void RotorController::RotctldPosition(double azimuth, double elevation)
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
