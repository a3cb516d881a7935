// The station's web page and JSON API against a station on a simulated clock:
// the state equals what `aostrack-cli state --json` says for the same second,
// control works with the token only, and every refusal of a hostile client.
#include "../app/CliRunner.h"
#include "FakeClock.h"
#include "TestFiles.h"

#include "core/TrackingSession.h"
#include "station/StationSession.h"
#include "web/StationWebServer.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWebSocket>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using namespace std::chrono;

// Runs the event loop until done() holds; false after timeoutMs.
template <typename Predicate> bool WaitUntil(Predicate done, int timeoutMs = 30000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

const sys_seconds Start = sys_days(year(2024) / February / 12) + hours(13) + minutes(17);

class StationWebTest : public ::testing::Test {
protected:
    void StartStation(const QByteArray& extraIni)
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QFile::copy(test::ExampleFile("amateur.txt"), m_dir.filePath("amateur.txt")));
        ASSERT_TRUE(QFile::copy(test::ExampleFile("doppler.sql"), m_dir.filePath("doppler.sql")));
        WriteTestFile(m_dir.filePath("sat.ini"),
            "QTH=Test\nTLEFILE=amateur.txt\nDOPPLERFILE=doppler.sql\nQTH_LAT=48.1371\n"
            "QTH_LONG=11.5754\nQTH_HEIGHT=0.519\n"
                + extraIni);
        m_station.SetTickSpeed(1, Start);
        m_station.StartupFromIni(m_dir.filePath("sat.ini"));
        const Configuration& config = m_station.Tracking().Config();
        auto server = ServeStation(m_station, config.HttpListenAt, config.HttpToken);
        ASSERT_TRUE(server.Ok()) << server.Error().toStdString();
        m_server = std::move(server.Value());
        ASSERT_TRUE(m_server);
        m_port = m_server->serverPorts().value(0);
    }

    // The whole answer to raw request bytes, read until the server closes or
    // the body is complete.
    QByteArray Raw(const QByteArray& request)
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        EXPECT_TRUE(socket.waitForConnected(10000));
        socket.write(request);
        QByteArray answer;
        // The server answers from this thread's event loop, which the wait runs.
        WaitUntil([&] {
            answer += socket.readAll();
            return (answer.contains("\r\n\r\n") && BodyComplete(answer))
                || socket.state() == QAbstractSocket::UnconnectedState;
        });
        return answer + socket.readAll();
    }
    static bool BodyComplete(const QByteArray& answer)
    {
        const qsizetype headEnd = answer.indexOf("\r\n\r\n");
        const qsizetype at = answer.toLower().indexOf("content-length: ");
        if (at < 0 || at > headEnd)
            return true;
        const qsizetype length
            = answer.mid(at + 16, answer.indexOf("\r\n", at) - at - 16).toLongLong();
        return answer.size() - headEnd - 4 >= length;
    }
    QByteArray Get(const QByteArray& path)
    {
        return Raw("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port)
            + "\r\n\r\n");
    }
    QByteArray Post(const QByteArray& path, const QByteArray& body, const QByteArray& headers)
    {
        return Raw("POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port)
            + "\r\nContent-Type: application/json\r\n" + headers
            + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    }
    static int Status(const QByteArray& answer) { return answer.mid(9, 3).toInt(); }
    static QJsonObject Body(const QByteArray& answer)
    {
        return QJsonDocument::fromJson(answer.mid(answer.indexOf("\r\n\r\n") + 4)).object();
    }

    QTemporaryDir m_dir;
    FakeClock m_clock { Start };
    StationSession m_station { m_clock, { .RotorLink = false, .ClockSync = false } };
    std::unique_ptr<StationWebServer> m_server;
    quint16 m_port = 0;
};

TEST_F(StationWebTest, StateEqualsTheStateCommandAtTheSameSecond)
{
    StartStation("HTTP_LISTEN=127.0.0.1:0\n");
    QSignalSpy ticks(&m_station, &StationSession::ticked);
    ASSERT_TRUE(ticks.wait(10000));
    const QJsonObject state = Body(Get("/api/state"));
    ASSERT_FALSE(state.value("Time").toString().isEmpty());

    const test::CliResult cli = test::RunCli({ "state", "--tle", m_dir.filePath("amateur.txt"),
        "--norad", QString::number(state.value("CatalogNumber").toInt()), "--lat", "48.1371",
        "--lon", "11.5754", "--height", "0.519", "--at", state.value("Time").toString(), "--freq",
        QString::number(
            state.value("Receiver").toObject().value("TunedFreqKHz").toDouble(), 'g', 17),
        "--json" });
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    const QJsonObject expected = QJsonDocument::fromJson(cli.out.toUtf8()).object();
    ASSERT_FALSE(expected.isEmpty());
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(state.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(state.value("Name").toString(), "OSCAR 7 (AO-7)");
}

TEST_F(StationWebTest, ControlNeedsTheTokenAndThePagesOwnOrigin)
{
    StartStation("HTTP_LISTEN=0\nHTTP_TOKEN=s3cret\n");
    const QByteArray own = "Origin: http://127.0.0.1:" + QByteArray::number(m_port) + "\r\n";
    const QByteArray token = "Authorization: Bearer s3cret\r\n";
    const struct {
        const char* what;
        QByteArray path, body, headers;
        int status;
    } cases[] = {
        { "no token", "/api/select", R"({"Name":"SO-50"})", "", 401 },
        { "wrong token", "/api/select", R"({"Name":"SO-50"})", "Authorization: Bearer s3cre\r\n",
            401 },
        { "foreign origin", "/api/select", R"({"Name":"SO-50"})",
            token + "Origin: http://evil.example\r\n", 403 },
        { "not JSON", "/api/select", "SO-50", token, 400 },
        { "unknown satellite", "/api/select", R"({"Name":"NO SUCH SAT"})", token, 404 },
        { "no rotor", "/api/rotor/park", "", token, 409 },
        { "by number", "/api/select", R"({"CatalogNumber":27607})", token + own, 200 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Status(Post(c.path, c.body, c.headers)), c.status);
    }
    EXPECT_EQ(m_station.Tracking().SelectedName(), "SAUDISAT 1C (SO-50)");
    EXPECT_EQ(Body(Get("/api/state")).value("CatalogNumber").toInt(), 27607);
}

TEST_F(StationWebTest, WithoutATokenTheStationIsReadOnly)
{
    StartStation("HTTP_LISTEN=127.0.0.1:0\n");
    EXPECT_EQ(
        Status(Post("/api/select", R"({"Name":"SO-50"})", "Authorization: Bearer \r\n")), 403);
    EXPECT_EQ(m_station.Tracking().SelectedName(), "OSCAR 7 (AO-7)");
    EXPECT_FALSE(Body(Get("/api/station")).value("Control").toBool());
}

TEST_F(StationWebTest, HostileRequestsAreRefused)
{
    StartStation("HTTP_LISTEN=127.0.0.1:0\n");
    const QByteArray host = "Host: 127.0.0.1\r\n";
    const struct {
        const char* what;
        QByteArray request;
        int status;
    } cases[] = {
        { "climbing path", "GET /../sat.ini HTTP/1.1\r\n" + host + "\r\n", 400 },
        { "encoded climb", "GET /%2e%2e/sat.ini HTTP/1.1\r\n" + host + "\r\n", 400 },
        { "a file beside the program", "GET /sat.ini HTTP/1.1\r\n" + host + "\r\n", 404 },
        { "oversized headers",
            "GET /api/state HTTP/1.1\r\n" + host + "X-Junk: " + QByteArray(20000, 'a') + "\r\n\r\n",
            413 },
        { "oversized body",
            "POST /api/select HTTP/1.1\r\n" + host + "Content-Length: 5000\r\n\r\n"
                + QByteArray(5000, 'x'),
            413 },
        { "bad query", "GET /api/log?lines=-1 HTTP/1.1\r\n" + host + "\r\n", 400 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Status(Raw(c.request)), c.status);
    }
    // The page itself and the log still answer.
    EXPECT_EQ(Status(Get("/")), 200);
    EXPECT_EQ(Body(Get("/api/log?lines=1")).value("Lines").toArray().size(), 1);
}

TEST_F(StationWebTest, TheClientPastThirtyTwoIsTurnedAway)
{
    StartStation("HTTP_LISTEN=127.0.0.1:0\n");
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < StationWebServer::MaxClients; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QHostAddress::LocalHost, m_port);
        ASSERT_TRUE(idle.back()->waitForConnected(10000));
    }
    ASSERT_TRUE(WaitUntil([&] { return m_server->ClientCount() == StationWebServer::MaxClients; }));
    EXPECT_EQ(Status(Get("/api/state")), 503);
    idle.pop_back();
    ASSERT_TRUE(WaitUntil([&] { return m_server->ClientCount() < StationWebServer::MaxClients; }));
    EXPECT_EQ(Status(Get("/api/state")), 200);
}

TEST_F(StationWebTest, ThePageFollowsTheStationLive)
{
    StartStation("HTTP_LISTEN=127.0.0.1:0\n");
    QWebSocket live;
    QStringList types;
    QStringList times;
    QObject::connect(&live, &QWebSocket::textMessageReceived, [&](const QString& text) {
        const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
        types << message.value("Type").toString();
        if (types.back() == "state")
            times << message.value("Time").toString();
    });
    live.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(m_port)));
    ASSERT_TRUE(WaitUntil([&] { return times.size() >= 2 && times.front() != times.back(); }));
    for (const char* type : { "station", "sky", "passes", "upcoming", "logLines" })
        EXPECT_TRUE(types.contains(type)) << type;
}

} // namespace
} // namespace aostrack
