#pragma once
// hamlib's rotctld with its dummy rotor (model 1: azimuth -180..450,
// elevation 0..90) on a loopback port, for tests of the rotor link. The
// daemon runs with its verbose trace, which says what the dummy rotor was
// really told.
#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <vector>

namespace aostrack::test {

// Polls `done` (running the event loop between polls) for up to limitMs.
inline bool WaitFor(const std::function<bool()>& done, int limitMs = 15000)
{
    QDeadlineTimer deadline(limitMs);
    while (!deadline.hasExpired()) {
        if (done())
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return done();
}

inline quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// What the dummy rotor was told, in order.
struct RotorCall {
    bool park = false;
    double az = 0, el = 0;
};

// hamlib's daemon with the dummy rotor on 127.0.0.1:port, tracing every call.
class Rotctld {
public:
    explicit Rotctld(quint16 port)
        : m_port(port)
    {
        // The trace goes to a file: a test that blocks on another process
        // cannot drain a pipe, and a full pipe would stall the daemon.
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setStandardOutputFile(m_dir.filePath(QStringLiteral("rotctld.trace")));
    }
    ~Rotctld() { Stop(); }

    bool Start()
    {
        m_process.start(QStringLiteral("rotctld"),
            { QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                QStringLiteral("127.0.0.1"), QStringLiteral("-t"), QString::number(m_port),
                QStringLiteral("-vvvvv") });
        if (!m_process.waitForStarted(5000))
            return false;
        return WaitFor([this] {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            return probe.waitForConnected(200);
        });
    }
    void Stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        Collect();
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
        Collect();
    }

    // Every position and park the dummy rotor received so far. A park moves
    // the dummy to 0/0 through its own set_position, which is not ours.
    std::vector<RotorCall> Calls()
    {
        Collect();
        std::vector<RotorCall> calls;
        const QRegularExpression set(
            QStringLiteral("dummy_rot_set_position called: (\\S+) (\\S+)"));
        bool afterPark = false;
        for (const QString& line : QString::fromLatin1(m_trace).split(QLatin1Char('\n'))) {
            if (line.contains(QLatin1String("dummy_rot_park called"))) {
                calls.push_back(RotorCall { true });
                afterPark = true;
                continue;
            }
            const auto m = set.match(line);
            if (!m.hasMatch())
                continue;
            if (afterPark) {
                afterPark = false;
                continue;
            }
            calls.push_back(
                RotorCall { false, m.captured(1).toDouble(), m.captured(2).toDouble() });
        }
        return calls;
    }

private:
    void Collect()
    {
        QFile file(m_dir.filePath(QStringLiteral("rotctld.trace")));
        if (file.open(QIODevice::ReadOnly))
            m_trace = file.readAll();
    }

    quint16 m_port;
    QTemporaryDir m_dir;
    QProcess m_process;
    QByteArray m_trace;
};

} // namespace aostrack::test
