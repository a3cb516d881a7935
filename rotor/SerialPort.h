#pragma once
// The rotor's serial line as the link sees it: open, write, close, and a
// signal when the device goes away under an open port (USB adapter pulled).
// The link never reads; whatever the rotor answers is discarded.
#include "core/Result.h"
#include "rotor/SerialSettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

namespace aostrack {

class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    // Opens the device (a path such as /dev/ttyUSB0) with the line settings.
    // Fails with the system's reason when it cannot be opened (the link
    // names the port in its log line).
    virtual Result<void> Open(const QString& device, const SerialSettings& settings) = 0;
    // Closes without sending anything; harmless on a closed port.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Hands all bytes to the device at once. Fails with the system's reason
    // when the device refuses them; the port is then closed.
    virtual Result<void> Write(const QByteArray& bytes) = 0;

signals:
    // The open device failed (unplugged, I/O error); the port is closed by now.
    void lost(const QString& reason);
};

// The real port: QSerialPort on the named device.
std::unique_ptr<SerialPort> MakeSystemSerialPort();

} // namespace aostrack
