// Our receiver library against hamlib's own rigctld (dummy rig) on a free
// loopback port, checked with hamlib's rigctl; and against a bare loopback
// server that counts the commands.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <functional>

#include "RadioTestSupport.h"

namespace aostrack {
namespace {

using test::WriteFile;

// Polls `done` (running the event loop between polls) for up to limitMs.
bool WaitFor(const std::function<bool()>& done, int limitMs = 15000)
{
    QDeadlineTimer deadline(limitMs);
    while (!deadline.hasExpired()) {
        if (done())
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return done();
}

quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// hamlib's network daemon with the dummy rig (model 1) on 127.0.0.1:port.
class Rigctld {
public:
    explicit Rigctld(quint16 port)
        : m_port(port)
    {
    }
    ~Rigctld() { Stop(); }

    bool Start()
    {
        m_process.start(QStringLiteral("rigctld"),
            { QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                QStringLiteral("127.0.0.1"), QStringLiteral("-t"), QString::number(m_port) });
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
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    // The rig's frequency as hamlib's own client reads it, in Hz.
    QString Frequency() const
    {
        QProcess rigctl;
        rigctl.start(QStringLiteral("rigctl"),
            { QStringLiteral("-m"), QStringLiteral("2"), QStringLiteral("-r"),
                QStringLiteral("127.0.0.1:%1").arg(m_port), QStringLiteral("f") });
        if (!rigctl.waitForFinished(10000))
            return QStringLiteral("<rigctl hangs>");
        return QString::fromLatin1(rigctl.readAllStandardOutput()).trimmed();
    }

private:
    quint16 m_port;
    QProcess m_process;
};

// A fresh copy of our library with its own receiver.ini: every copy is a
// separate instance for the loader.
class PluginCopy {
public:
    explicit PluginCopy(quint16 port)
        : PluginCopy(QStringLiteral("# test daemon\r\nHOST = 127.0.0.1\r\n; comment\r\nPORT=%1\r\n"
                                    "BAUD=9600\r\n")
                         .arg(port)
                         .toLatin1())
    {
    }
    explicit PluginCopy(const QByteArray& receiverIni)
    {
        QFile::copy(
            QStringLiteral(PLUGIN_FILE), m_dir.filePath(QStringLiteral("libExtIO_FCD_Quillon.so")));
        WriteFile(m_dir, QStringLiteral("receiver.ini"), receiverIni);
        Library = std::make_unique<SharedReceiverLibrary>(
            QStringLiteral("ExtIO_FCD_Quillon"), QStringList { m_dir.path() });
    }
    QTemporaryDir m_dir;
    std::unique_ptr<SharedReceiverLibrary> Library;
};

class RigctldPeerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("rigctld")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("rigctl")).isEmpty())
            GTEST_SKIP() << "hamlib's rigctld/rigctl are not installed (libhamlib-utils)";
        m_port = FreeLoopbackPort();
        ASSERT_NE(m_port, 0);
        m_plugin = std::make_unique<PluginCopy>(m_port);
        const Result<void> loaded = m_plugin->Library->Load();
        ASSERT_TRUE(loaded) << loaded.Error().toStdString();
    }
    void TearDown() override
    {
        if (m_plugin && m_plugin->Library->IsLoaded())
            m_plugin->Library->HideGUI();
    }
    // Tunes every 50 ms, as the tracker's ticks would, until the rig agrees.
    bool TuneUntilRigReads(Rigctld& rig, int32_t freqHz)
    {
        int ticks = 0;
        return WaitFor([&] {
            m_plugin->Library->SetHWLO(freqHz);
            return ++ticks % 4 == 0 && rig.Frequency() == QString::number(freqHz);
        });
    }

    quint16 m_port = 0;
    std::unique_ptr<PluginCopy> m_plugin;
};

TEST_F(RigctldPeerTest, DummyRigFollowsSetHwlo)
{
    Rigctld rig(m_port);
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.Frequency(), QStringLiteral("145000000")); // the dummy rig's own start
    m_plugin->Library->OpenForm(-1);
    EXPECT_TRUE(TuneUntilRigReads(rig, 145972565));
    EXPECT_TRUE(TuneUntilRigReads(rig, 435099250));
    EXPECT_EQ(rig.Frequency(), QStringLiteral("435099250"));
}

TEST_F(RigctldPeerTest, ReconnectsAfterTheDaemonRestarts)
{
    auto rig = std::make_unique<Rigctld>(m_port);
    ASSERT_TRUE(rig->Start());
    m_plugin->Library->OpenForm(-1);
    ASSERT_TRUE(TuneUntilRigReads(*rig, 436795000));

    rig->Stop();
    // Ticks while the daemon is away return and change nothing.
    for (int i = 0; i < 10; ++i)
        m_plugin->Library->SetHWLO(436795000);

    rig = std::make_unique<Rigctld>(m_port);
    ASSERT_TRUE(rig->Start());
    EXPECT_EQ(rig->Frequency(), QStringLiteral("145000000"));
    // The same frequency as before: the new daemon must still be told.
    EXPECT_TRUE(TuneUntilRigReads(*rig, 436795000));
}

TEST_F(RigctldPeerTest, EventLogTellsTheLinkChanges)
{
    test::Station s;
    s.State.NominalFreq = 145800;
    ReceiverController controller(s.State, s.Log, *m_plugin->Library);
    const QString daemon = QStringLiteral("127.0.0.1:%1").arg(m_port);
    auto rig = std::make_unique<Rigctld>(m_port);
    ASSERT_TRUE(rig->Start());
    controller.SetTracking(true);
    auto tuneUntil = [&](const QString& wanted) {
        return WaitFor([&] {
            controller.TuneReceiver(145800.000);
            return s.LogTexts().contains(wanted);
        });
    };
    const QString connected = QStringLiteral(": receiver: connected to rigctld at ") + daemon;
    ASSERT_TRUE(tuneUntil(connected));
    rig->Stop();
    const QString refused
        = QStringLiteral(": receiver: cannot connect to rigctld at %1: Connection refused")
              .arg(daemon);
    ASSERT_TRUE(tuneUntil(refused));
    rig = std::make_unique<Rigctld>(m_port);
    ASSERT_TRUE(rig->Start());
    ASSERT_TRUE(WaitFor([&] {
        controller.TuneReceiver(145800.000);
        return s.LogTexts().count(connected) == 2;
    }));
    controller.SetTracking(false);

    // (The library was loaded before the controller came, so no "loaded" line.)
    const QStringList lines = s.LogTexts();
    ASSERT_EQ(lines.size(), 4) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines[0], connected);
    // Closed or reset, as the daemon's exit happens to leave the socket.
    EXPECT_TRUE(
        lines[1].startsWith(QStringLiteral(": receiver: lost rigctld at %1: ").arg(daemon)));
    EXPECT_EQ(lines[2], refused);
    EXPECT_EQ(lines[3], connected);
}

TEST_F(RigctldPeerTest, DaemonStartedAfterOpenFormIsFound)
{
    m_plugin->Library->OpenForm(-1);
    for (int i = 0; i < 5; ++i)
        m_plugin->Library->SetHWLO(145800000);
    Rigctld rig(m_port);
    ASSERT_TRUE(rig.Start());
    EXPECT_TRUE(TuneUntilRigReads(rig, 145800000));
}

// A loopback server that answers like rigctld and keeps every line it gets.
class FakeRigctld : public QObject {
public:
    FakeRigctld()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = m_server.nextPendingConnection()) {
                ++Connections;
                connect(client, &QTcpSocket::readyRead, this, [this, client] {
                    while (client->canReadLine()) {
                        Lines << QString::fromLatin1(client->readLine()).trimmed();
                        client->write("RPRT 0\n");
                    }
                });
            }
        });
    }
    quint16 Port() const { return m_server.serverPort(); }
    QStringList Lines;
    int Connections = 0;

private:
    QTcpServer m_server;
};

TEST(RigctldWireTest, OnlyChangesAreSent)
{
    FakeRigctld daemon;
    PluginCopy plugin(daemon.Port());
    const Result<void> loaded = plugin.Library->Load();
    ASSERT_TRUE(loaded) << loaded.Error().toStdString();
    plugin.Library->OpenForm(-1);
    // Four ticks a second, one new frequency a second.
    const int32_t ticks[] = { 145972565, 145972565, 145972565, 145972565, 145972601, 145972601 };
    for (int32_t freqHz : ticks) {
        ASSERT_TRUE(WaitFor([&] {
            plugin.Library->SetHWLO(freqHz);
            return daemon.Connections == 1 && !daemon.Lines.isEmpty();
        }));
    }
    ASSERT_TRUE(WaitFor([&] {
        plugin.Library->SetHWLO(145972601);
        return daemon.Lines.size() >= 2;
    }));
    WaitFor([] { return false; }, 200); // a repeated command would arrive now
    EXPECT_EQ(daemon.Lines,
        (QStringList { QStringLiteral("F 145972565"), QStringLiteral("F 145972601") }));
    plugin.Library->HideGUI();
}

TEST(RigctldWireTest, ReceiverIniForms)
{
    // Without HOST the daemon is "localhost", which may name ::1 first; the
    // daemon listens on 127.0.0.1 only, so the next address is tried at once.
    // Line ends and a leading byte-order mark are those of whatever editor
    // the operator used.
    const char* const forms[] = {
        "PORT=%1\n",
        "\xEF\xBB\xBFPORT=%1\r\n",
        "; old Mac editor\rHOST=127.0.0.1\rPORT=%1",
    };
    for (const char* form : forms) {
        FakeRigctld daemon;
        PluginCopy plugin(QString::fromLatin1(form).arg(daemon.Port()).toLatin1());
        const Result<void> loaded = plugin.Library->Load();
        ASSERT_TRUE(loaded) << loaded.Error().toStdString();
        plugin.Library->OpenForm(-1);
        EXPECT_TRUE(WaitFor([&] {
            plugin.Library->SetHWLO(145800000);
            return !daemon.Lines.isEmpty();
        })) << form;
        EXPECT_EQ(daemon.Lines, QStringList { QStringLiteral("F 145800000") }) << form;
        plugin.Library->HideGUI();
    }
}

TEST(RigctldWireTest, NothingIsSentBeforeOpenFormOrAfterHideGui)
{
    FakeRigctld daemon;
    PluginCopy plugin(daemon.Port());
    const Result<void> loaded = plugin.Library->Load();
    ASSERT_TRUE(loaded) << loaded.Error().toStdString();
    plugin.Library->SetHWLO(145972565);
    plugin.Library->OpenForm(-1);
    ASSERT_TRUE(WaitFor([&] {
        plugin.Library->SetHWLO(29500000);
        return !daemon.Lines.isEmpty();
    }));
    plugin.Library->HideGUI();
    plugin.Library->SetHWLO(29500100);
    WaitFor([] { return false; }, 200); // let any stray bytes arrive
    EXPECT_EQ(daemon.Lines, QStringList { QStringLiteral("F 29500000") });
    EXPECT_EQ(daemon.Connections, 1);
}

} // namespace
} // namespace aostrack
