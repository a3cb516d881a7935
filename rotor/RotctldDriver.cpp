#include "rotor/RotctldDriver.h"

namespace aostrack {

RotctldDriver::RotctldDriver(QObject* parent)
    : RotorDriver(parent)
{
    connect(&m_link, &RotctldConnection::connected, this, &RotorDriver::connected);
    connect(&m_link, &RotctldConnection::connectFailed, this, &RotorDriver::connectFailed);
    connect(&m_link, &RotctldConnection::lost, this,
        [this](const QString& reason) { emit reconnecting(reason, m_link.LossesInARow() <= 1); });
    connect(&m_link, &RotctldConnection::refused, this, &RotorDriver::refused);
    connect(&m_link, &RotctldConnection::accepted, this, [this] { emit accepted(); });
    connect(&m_link, &RotctldConnection::positionRead, this, &RotorDriver::positionRead);
    connect(&m_link, &RotctldConnection::commandWritten, this, &RotorDriver::commandWritten);
}

void RotctldDriver::Configure(const QString& host, quint16 port,
    std::optional<RotctldParkPosition> park, const QString& parkText)
{
    m_host = host;
    m_port = port;
    m_park = park;
    m_parkText = parkText;
}

Result<void> RotctldDriver::Open()
{
    // Connects in the background, and again every second until it answers.
    m_link.Open(m_host, m_port);
    return {};
}

QString RotctldDriver::PointText(const RotorAim& aim) const
{
    return QString::fromLatin1(RotctldPointCommand(aim.Azimuth, aim.Elevation).trimmed());
}

bool RotctldDriver::Point(const RotorAim& aim)
{
    m_link.Point(aim.Azimuth, aim.Elevation);
    return true;
}

bool RotctldDriver::Park()
{
    m_link.Park(m_park);
    return true;
}

QString RotctldDriver::ParkText() const
{
    return m_parkText.isEmpty() ? QStringLiteral("K") : m_parkText;
}

std::optional<RotorAim> RotctldDriver::ParkAim() const
{
    // "K" goes where the rotor's own park is; we do not know that angle.
    if (!m_park)
        return std::nullopt;
    return RotorAim { m_park->Azimuth, m_park->Elevation };
}

} // namespace aostrack
