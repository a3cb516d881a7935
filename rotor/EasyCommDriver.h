#pragma once
// EasyComm I on a serial line: the position and park texts of EasyComm.h,
// each written whole or reported as a lost line. Nothing is read back.
#include "rotor/RotorDriver.h"
#include "rotor/SerialPort.h"
#include "rotor/SerialSettings.h"

#include <memory>

namespace aostrack {

class EasyCommDriver : public RotorDriver {
    Q_OBJECT
public:
    explicit EasyCommDriver(std::unique_ptr<SerialPort> port, QObject* parent = nullptr);

    // The device to open (portName is how the operator knows it: COM3 for
    // /dev/ttyS2), its line settings and the ROTOR_PARK text.
    void Configure(const QString& portName, const QString& devicePath,
        const SerialSettings& settings, const QString& parkCommand);

    Result<void> Open() override;
    void Close() override;
    bool IsOpen() const override { return m_port->IsOpen(); }
    QString PointText(const RotorAim& aim) const override;
    bool Point(const RotorAim& aim) override;
    bool Park() override;
    QString ParkText() const override { return m_parkCommand; }
    // The rotor's own parser takes the park text: its angle is not known.
    std::optional<RotorAim> ParkAim() const override { return std::nullopt; }

private:
    bool Write(const QString& command);

    std::unique_ptr<SerialPort> m_port;
    QString m_portName;
    QString m_devicePath;
    SerialSettings m_settings;
    QString m_parkCommand;
};

} // namespace aostrack
