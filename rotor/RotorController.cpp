#include "rotor/RotorController.h"

#include "core/Configuration.h"
#include "core/EventLog.h"
#include "rotor/EasyComm.h"

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
    const bool configured = config.RotorPortSettings.has_value();
    if (configured) {
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
    m_devicePath = RotorDevicePath(config);
    m_stepDeg = config.RotorStepDeg;
    m_parkCommand = config.RotorParkCommand;
    m_autoPark = config.AutoPark.value_or(false);

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

void RotorController::ToggleRotorLink()
{
    if (!m_configured)
        return;
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
    if (m_port->IsOpen()) {
        if (satElevation < kRotorHorizonDeg)
            SetStatusText(StatusLine());
    } else {
        SetStatusText(QString());
    }

    if (!m_linkChecked || !m_port->IsOpen())
        return;
    if (!std::isfinite(satAzimuth) || !std::isfinite(satElevation))
        return;

    // Once per pass: the satellite has set, bring the antenna home.
    if (satElevation < kRotorHorizonDeg && m_autoPark && !m_rotorParked) {
        ParkRotor();
        m_rotorParked = true;
    }

    // Plain difference: no wrap at north, so 359 -> 1 is a move of 358
    // degrees, which is what a rotor with a stop at north must do anyway.
    if (satElevation > kRotorHorizonDeg && std::abs(satAzimuth - m_lastRotorAz) >= m_stepDeg) {
        m_rotorParked = false;
        if (!Send(EasyCommPosition(satAzimuth, satElevation)))
            return;
        m_lastRotorAz = satAzimuth;
    }

    if (satElevation > 0 && std::abs(satElevation - m_lastRotorEl) >= m_stepDeg) {
        if (!Send(EasyCommPosition(satAzimuth, satElevation)))
            return;
        m_lastRotorEl = satElevation;
    }
}

void RotorController::ParkRotor()
{
    if (!m_port->IsOpen())
        return;
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
    if (m_port->IsOpen())
        m_port->Close();
    m_portWasOpen = false;
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
    const bool on = m_port->IsOpen();
    if (on == m_lampOn)
        return;
    m_lampOn = on;
    emit lampChanged(m_lampOn);
}

QString RotorController::StatusLine() const
{
    return m_portName + QStringLiteral(", ") + m_settingsText + QStringLiteral("  (")
        + QString::number(m_stepDeg) + kDegreeSign + QLatin1Char(')');
}

} // namespace aostrack
