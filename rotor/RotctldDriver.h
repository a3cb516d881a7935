#pragma once
// hamlib's rotctld over TCP (Rotctld.h): moves and parks queued on the
// connection, the position read back once a second, a lost daemon connected
// again by the connection itself.
#include "rotor/Rotctld.h"
#include "rotor/RotorDriver.h"

namespace aostrack {

class RotctldDriver : public RotorDriver {
    Q_OBJECT
public:
    explicit RotctldDriver(QObject* parent = nullptr);

    // The daemon's address; park is ROTOR_PARK read as "az el", none for
    // the rotor's own park ("K"); parkText is ROTOR_PARK as written.
    void Configure(const QString& host, quint16 port, std::optional<RotctldParkPosition> park,
        const QString& parkText);

    Result<void> Open() override;
    void Close() override { m_link.Close(); }
    bool IsOpen() const override { return m_link.IsConnected(); }
    QString PointText(const RotorAim& aim) const override;
    // Queued: commandWritten follows once it is on the wire.
    bool Point(const RotorAim& aim) override;
    bool Park() override;
    QString ParkText() const override;
    std::optional<RotorAim> ParkAim() const override;
    bool ReadsPosition() const override { return true; }
    void AskPosition() override { m_link.AskPosition(); }
    bool Idle() const override { return m_link.Idle(); }

private:
    RotctldConnection m_link;
    QString m_host;
    quint16 m_port = 0;
    std::optional<RotctldParkPosition> m_park;
    QString m_parkText;
};

} // namespace aostrack
