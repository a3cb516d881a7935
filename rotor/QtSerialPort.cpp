// The rotor's serial line on QSerialPort.
#include "rotor/SerialPort.h"

#include <QSerialPort>

namespace aostrack {

namespace {

class QtSerialPort final : public SerialPort {
public:
    QtSerialPort()
    {
        // Some EasyComm interfaces echo or answer; the link has no use for it,
        // and reading keeps the kernel buffer from filling up.
        connect(&m_port, &QSerialPort::readyRead, this, [this] { m_port.readAll(); });
        connect(&m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
            // A resource error on an open port means the device is gone.
            if (e == QSerialPort::ResourceError && m_port.isOpen())
                DropPort(m_port.errorString());
        });
    }

    Result<void> Open(const QString& device, const SerialSettings& settings) override
    {
        if (m_port.isOpen())
            return {};
#ifndef Q_OS_WIN
        // POSIX line disciplines know one or two stop bits only.
        if (settings.stopBits == SerialStopBits::OneAndHalf)
            return Failure { QStringLiteral("1.5 stop bits are not available on this system") };
#endif
        m_lostReason.clear();
        m_port.setPortName(device);
        m_port.setBaudRate(settings.baudRate);
        m_port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits));
        m_port.setParity(ToQt(settings.parity));
        m_port.setStopBits(settings.stopBits == SerialStopBits::Two ? QSerialPort::TwoStop
                : settings.stopBits == SerialStopBits::OneAndHalf   ? QSerialPort::OneAndHalfStop
                                                                    : QSerialPort::OneStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        if (!m_port.open(QIODevice::ReadWrite)) {
            const Failure failure { m_port.errorString() };
            m_port.clearError();
            return failure;
        }
        m_port.clearError();
        return {};
    }

    void Close() override
    {
        if (m_port.isOpen())
            m_port.close();
        m_port.clearError();
    }

    bool IsOpen() const override
    {
        return m_port.isOpen();
    }

    Result<void> Write(const QByteArray& bytes) override
    {
        if (!m_port.isOpen())
            return Failure { QStringLiteral("port not open") };
        // flush() pushes the bytes to the driver now instead of at the next
        // pass of the event loop, so each command leaves within its tick.
        const bool taken = m_port.write(bytes) == bytes.size();
        if (taken)
            m_port.flush();
        const auto e = m_port.error();
        if (!taken || !m_port.isOpen() || e == QSerialPort::WriteError
            || e == QSerialPort::ResourceError) {
            const Failure failure { m_port.isOpen() || m_lostReason.isEmpty() ? m_port.errorString()
                                                                              : m_lostReason };
            Close();
            return failure;
        }
        return {};
    }

private:
    static QSerialPort::Parity ToQt(SerialParity p)
    {
        switch (p) {
        case SerialParity::Even:
            return QSerialPort::EvenParity;
        case SerialParity::Odd:
            return QSerialPort::OddParity;
        case SerialParity::Mark:
            return QSerialPort::MarkParity;
        case SerialParity::Space:
            return QSerialPort::SpaceParity;
        case SerialParity::None:
            break;
        }
        return QSerialPort::NoParity;
    }

    void DropPort(const QString& reason)
    {
        m_lostReason = reason;
        Close();
        emit lost(reason);
    }

    QSerialPort m_port;
    QString m_lostReason;
};

} // namespace

std::unique_ptr<SerialPort> MakeSystemSerialPort()
{
    return std::make_unique<QtSerialPort>();
}

} // namespace aostrack
