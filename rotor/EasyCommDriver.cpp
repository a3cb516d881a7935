#include "rotor/EasyCommDriver.h"

#include "rotor/EasyComm.h"

namespace aostrack {

EasyCommDriver::EasyCommDriver(std::unique_ptr<SerialPort> port, QObject* parent)
    : RotorDriver(parent)
    , m_port(std::move(port))
{
    connect(m_port.get(), &SerialPort::lost, this, &RotorDriver::lost);
}

void EasyCommDriver::Configure(const QString& portName, const QString& devicePath,
    const SerialSettings& settings, const QString& parkCommand)
{
    m_portName = portName;
    m_devicePath = devicePath;
    m_settings = settings;
    m_parkCommand = parkCommand;
}

Result<void> EasyCommDriver::Open()
{
    if (m_port->IsOpen())
        return {};
    const Result<void> opened = m_port->Open(m_devicePath, m_settings);
    if (opened)
        return {};
    // COM3 is /dev/ttyS2: the operator gets both names.
    const QString where = m_devicePath == m_portName
        ? m_devicePath
        : m_portName + QStringLiteral(", ") + m_devicePath;
    return Failure { where + QStringLiteral(": ") + opened.Error() };
}

void EasyCommDriver::Close()
{
    if (m_port->IsOpen())
        m_port->Close();
}

QString EasyCommDriver::PointText(const RotorAim& aim) const
{
    return EasyCommPosition(aim.Azimuth, aim.Elevation);
}

bool EasyCommDriver::Point(const RotorAim& aim)
{
    return Write(PointText(aim));
}

bool EasyCommDriver::Park()
{
    return Write(m_parkCommand);
}

bool EasyCommDriver::Write(const QString& command)
{
    const QByteArray bytes = EasyCommWire(command);
    if (const Result<void> written = m_port->Write(bytes); !written) {
        emit lost(written.Error());
        return false;
    }
    emit commandWritten(bytes);
    return true;
}

} // namespace aostrack
