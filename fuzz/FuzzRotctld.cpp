// The rotctld link against a daemon in the same process: the input, cut at
// each 0x1E byte, is what the daemon writes, one piece after each command
// line it receives (the first piece as soon as a connection is taken). The
// link points, reads the position and parks through it. Whatever the daemon
// writes: no crash, no undefined behaviour, no position outside the rotor's
// reach shown, and no log line longer than a message about input may be.
#include "core/Configuration.h"
#include "core/EventLog.h"
#include "core/SystemClock.h"
#include "rotor/RotorController.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace aostrack;

namespace {

// The daemon: hands out the pieces in order, whatever it is asked.
class ScriptedDaemon : public QObject {
public:
    explicit ScriptedDaemon(QTcpServer& server)
        : m_server(server)
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] { Accept(); });
    }
    ~ScriptedDaemon() override
    {
        m_server.disconnect(this);
        Close();
    }
    void Serve(QList<QByteArray> pieces)
    {
        m_pieces = std::move(pieces);
        m_next = 0;
    }
    bool Spent() const { return m_next >= m_pieces.size(); }

private:
    void Accept()
    {
        while (QTcpSocket* peer = m_server.nextPendingConnection()) {
            Close();
            m_peer = peer;
            QObject::connect(peer, &QTcpSocket::readyRead, this, [this] { Answer(); });
            Write();
        }
    }
    void Answer()
    {
        if (!m_peer)
            return;
        const QByteArray got = m_peer->readAll();
        for (qsizetype i = got.count('\n'); i > 0; --i)
            Write();
    }
    void Write()
    {
        if (m_peer && m_next < m_pieces.size())
            m_peer->write(m_pieces.at(m_next++));
    }
    void Close()
    {
        if (m_peer) {
            m_peer->disconnect(this);
            m_peer->abort();
            m_peer->deleteLater();
        }
        m_peer = nullptr;
    }

    QTcpServer& m_server;
    QPointer<QTcpSocket> m_peer;
    QList<QByteArray> m_pieces;
    qsizetype m_next = 0;
};

[[noreturn]] void Finding(const char* what)
{
    std::fprintf(stderr, "rotctld fuzz: %s\n", what);
    std::abort();
}

// Runs the event loop until done or for at most limitMs.
template <typename Done> void RunUntil(Done done, int limitMs)
{
    QDeadlineTimer deadline(limitMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_rotctld";
    static char* argv[] = { name, nullptr };
    static QCoreApplication app(argc, argv);
    static QTcpServer server;
    if (!server.isListening() && !server.listen(QHostAddress::LocalHost, 0))
        return 0;

    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ScriptedDaemon daemon(server);
    daemon.Serve(input.split('\x1E'));

    Configuration config;
    config.RotorHost = QStringLiteral("127.0.0.1");
    config.RotorHostPort = server.serverPort();
    config.RotorStepDeg = 5;
    config.RotorAzMaxDeg = 450;
    const SystemClock clock;
    EventLog log(clock);
    RotorController rotor(log);
    rotor.ApplyConfiguration(config);
    rotor.ToggleRotorLink();
    RunUntil([&] { return rotor.PortOpen(); }, 500);

    // Point, read back, park, then read back while the daemon has more to
    // say. A command the daemon leaves unanswered is waited for briefly: on
    // loopback in one process an answer takes well under a millisecond.
    const auto settle = [&] { RunUntil([&] { return !rotor.CommandPending(); }, 10); };
    rotor.PointRotor(372, 45);
    settle();
    rotor.RequestPosition();
    settle();
    rotor.ParkRotor();
    settle();
    for (int i = 0; i < 8 && !daemon.Spent(); ++i) {
        rotor.RequestPosition();
        settle();
    }
    settle();

    if (const auto at = rotor.ReportedPosition();
        at && !WithinReach(at->Azimuth, at->Elevation, RotorLimits { 450, 90 }))
        Finding("a position outside the rotor's reach is shown");
    for (const QString& line : log.Lines()) {
        if (line.size() > 400)
            Finding("a log line as long as the daemon made it");
    }
    rotor.ToggleRotorLink();
    return 0;
}
