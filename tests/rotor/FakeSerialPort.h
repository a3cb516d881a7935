#pragma once
// A serial line the test controls: records every byte written, can refuse to
// open with a given reason, and can lose its device like a pulled USB plug.
#include "rotor/SerialPort.h"

namespace aostrack {

class FakeSerialPort final : public SerialPort {
public:
    bool Open(const QString& device, const SerialSettings& settings, QString* error) override
    {
        ++opens;
        openedDevice = device;
        openedSettings = settings;
        if (!openFailure.isEmpty()) {
            *error = openFailure;
            return false;
        }
        m_open = true;
        return true;
    }
    void Close() override
    {
        if (m_open)
            ++closes;
        m_open = false;
    }
    bool IsOpen() const override { return m_open; }
    bool Write(const QByteArray& bytes, QString* error) override
    {
        if (!writeFailure.isEmpty()) {
            *error = writeFailure;
            m_open = false;
            // A real port also reports the failure as a lost device.
            emit lost(writeFailure);
            return false;
        }
        written += bytes;
        return true;
    }
    // The device vanishes under the open port.
    void Unplug(const QString& reason)
    {
        m_open = false;
        emit lost(reason);
    }

    QByteArray written;
    QString openFailure;
    QString writeFailure;
    QString openedDevice;
    SerialSettings openedSettings;
    int opens = 0;
    int closes = 0;

private:
    bool m_open = false;
};

} // namespace aostrack
