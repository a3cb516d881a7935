#pragma once
// A serial line the test controls: records every byte written, can refuse to
// open with a given reason, and can lose its device like a pulled USB plug.
#include "rotor/SerialPort.h"

namespace aostrack {

class FakeSerialPort final : public SerialPort {
public:
    Result<void> Open(const QString& device, const SerialSettings& settings) override
    {
        ++opens;
        openedDevice = device;
        openedSettings = settings;
        if (!openFailure.isEmpty())
            return Failure { openFailure };
        m_open = true;
        return {};
    }
    void Close() override
    {
        if (m_open)
            ++closes;
        m_open = false;
    }
    bool IsOpen() const override { return m_open; }
    Result<void> Write(const QByteArray& bytes) override
    {
        if (!writeFailure.isEmpty()) {
            m_open = false;
            // A real port also reports the failure as a lost device.
            emit lost(writeFailure);
            return Failure { writeFailure };
        }
        written += bytes;
        return {};
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
