#include "web/StationWebServer.h"

#include "core/EventLog.h"
#include "core/TrackingSession.h"
#include "orbit/Clock.h"
#include "radio/ReceiverController.h"
#include "rotor/RotorController.h"
#include "station/StationSession.h"
#include "web/StationJson.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QWebSocket>
#include <algorithm>

namespace aostrack {

using namespace std::chrono;
using Status = QHttpServerResponder::StatusCode;

namespace {

constexpr int kSweepIntervalMs = 1000;
// Browsers answer a ping with a pong by themselves; a page that stops
// answering three pings in a row is gone.
constexpr int kPingEverySweeps = 3;
constexpr int kDefaultLogLines = 20;
constexpr int kMaxLogLines = 1000;
constexpr int kMaxUpcomingHours = 24;

steady_clock::time_point Now()
{
    return steady_clock::now();
}

// A refusal written before the HTTP layer has read the request (a full
// server, a request too large to read): a fixed response, then the end.
void RefuseRaw(QTcpSocket& socket, QByteArrayView status, QByteArrayView text)
{
    socket.readAll(); // nothing more of it reaches the HTTP layer
    socket.write("HTTP/1.1 ");
    socket.write(status.data(), status.size());
    socket.write("\r\nContent-Type: text/plain; charset=utf-8\r\nConnection: close\r\n"
                 "Content-Length: ");
    socket.write(QByteArray::number(text.size()));
    socket.write("\r\n\r\n");
    socket.write(text.data(), text.size());
    socket.disconnectFromHost();
}

bool ConstantTimeEqual(const QByteArray& a, const QByteArray& b)
{
    // The time a comparison takes must not tell how much of a guess was right.
    unsigned char difference = a.size() == b.size() ? 0 : 1;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i % std::max<qsizetype>(1, b.size())]);
    return difference == 0;
}

QJsonObject ErrorJson(const QString& text)
{
    return { { QStringLiteral("Error"), text } };
}

void WriteJson(
    QHttpServerResponder& responder, const QJsonObject& object, Status status = Status::Ok)
{
    responder.write(QJsonDocument(object).toJson(QJsonDocument::Compact),
        { { "Content-Type", "application/json" }, { "Cache-Control", "no-store" },
            { "X-Content-Type-Options", "nosniff" } },
        status);
}

// The number of a query item within low..high, else fallback (absent) or nullopt.
std::optional<int> QueryNumber(
    const QUrlQuery& query, const QString& key, int fallback, int low, int high)
{
    if (!query.hasQueryItem(key))
        return fallback;
    bool ok = false;
    const int value = query.queryItemValue(key).toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

// Counts the connections and refuses the one past the limit before the HTTP
// layer sees it; every accepted socket is watched from its first byte.
class StationWebServer::GuardedTcpServer : public QTcpServer {
public:
    explicit GuardedTcpServer(StationWebServer& owner)
        : QTcpServer(&owner)
        , m_owner(owner)
    {
    }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        if (m_owner.ClientCount() >= MaxClients) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            RefuseRaw(*socket, "503 Service Unavailable",
                "the station serves 32 clients at most; try again later\n");
            return;
        }
        m_owner.Accept(socket);
        addPendingConnection(socket);
    }

private:
    StationWebServer& m_owner;
};

struct StationWebServer::Connection {
    QPointer<QTcpSocket> Socket;
    qint64 Unanswered = 0; // bytes received since the last response went out
    steady_clock::time_point LastHeard;
    bool Live = false; // taken over by a WebSocket
};

struct StationWebServer::LiveClient {
    std::unique_ptr<QWebSocket> Socket;
    steady_clock::time_point LastHeard;
    // The connection it came on, which the WebSocket does not delete.
    QPointer<QTcpSocket> Tcp;
};

StationWebServer::StationWebServer(StationSession& station, QObject* parent)
    : QAbstractHttpServer(parent)
    , m_station(station)
    , m_overview(station.StationClock())
{
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this,
        &StationWebServer::TakeWebSockets);
    connect(&station, &StationSession::ticked, this, &StationWebServer::Ticked);
    connect(&station, &StationSession::logLine, this, [this](const QString& line) {
        SendToAll(QStringLiteral("log"), { { QStringLiteral("Line"), line } });
    });
    TrackingSession& tracker = station.Tracking();
    connect(&tracker, &TrackingSession::satelliteListChanged, this, [this] {
        m_overview.SetCatalogue(m_station.Tracking().Table());
        QJsonObject info = StationInfoJson(m_station.Tracking());
        info.insert(QStringLiteral("Control"), !m_token.isEmpty());
        SendToAll(QStringLiteral("station"), info);
    });
    connect(&tracker, &TrackingSession::passChanged, this, [this] {
        if (m_live.empty())
            return;
        const TrackingSession& t = m_station.Tracking();
        SendToAll(QStringLiteral("sky"), SkyPassJson(t));
        SendToAll(QStringLiteral("passes"), PassListJson(t, m_station.StationClock().UtcNow()));
    });
    connect(&m_overview, &PassOverview::rowsChanged, this, [this] {
        SendToAll(QStringLiteral("upcoming"), UpcomingJson(m_overview, kMaxUpcomingHours));
    });
    m_sweep.setInterval(kSweepIntervalMs);
    connect(&m_sweep, &QTimer::timeout, this, &StationWebServer::Sweep);
}

StationWebServer::~StationWebServer()
{
    m_sweep.stop();
    // The live clients first, without their signals reaching this object,
    // then the listening server with the sockets it still holds.
    for (auto& live : m_live) {
        live->Socket->disconnect(this);
        live->Socket->abort();
    }
    m_live.clear();
    delete m_tcp;
    m_overview.WaitForIdle();
}

Result<quint16> StationWebServer::Start(const HttpListen& listen, const QString& token)
{
    const QHostAddress address(listen.Address);
    if (address.isNull())
        return Failure {
            QStringLiteral("web page: \"%1\" is not an IP address").arg(listen.Address)
        };
    m_tcp = new GuardedTcpServer(*this);
    if (!m_tcp->listen(address, static_cast<quint16>(listen.Port))) {
        const QString reason = m_tcp->errorString();
        delete m_tcp;
        m_tcp = nullptr;
        return Failure { QStringLiteral("web page: cannot listen at %1:%2: %3")
                             .arg(listen.Address)
                             .arg(listen.Port)
                             .arg(reason) };
    }
    bind(m_tcp);
    m_token = token;
    m_overview.SetCatalogue(m_station.Tracking().Table());
    m_sweep.start();

    const quint16 port = m_tcp->serverPort();
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
        ? QStringLiteral("[%1]").arg(listen.Address)
        : listen.Address;
    QString line = QStringLiteral(": web page at http://%1:%2/").arg(host).arg(port);
    if (token.isEmpty() && !address.isLoopback())
        line += QStringLiteral(" (read-only: no HTTP_TOKEN, and the address is reachable from "
                               "other computers)");
    else if (token.isEmpty())
        line += QStringLiteral(" (read-only: no HTTP_TOKEN)");
    m_station.Log().LogEvent(line, true);
    return port;
}

int StationWebServer::ClientCount() const
{
    return static_cast<int>(std::count_if(m_connections.begin(), m_connections.end(),
        [](const Connection& c) { return !c.Socket.isNull(); }));
}

void StationWebServer::Accept(QTcpSocket* socket)
{
    std::erase_if(m_connections, [](const Connection& c) { return c.Socket.isNull(); });
    m_connections.push_back({ socket, 0, Now(), false });
    // Connected before the HTTP layer's own handler: this one sees the bytes first.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { NoteReceived(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
        for (Connection& c : m_connections)
            if (c.Socket == socket)
                c.Unanswered = 0;
    });
}

void StationWebServer::NoteReceived(QTcpSocket* socket)
{
    for (Connection& c : m_connections) {
        if (c.Socket != socket)
            continue;
        c.LastHeard = Now();
        c.Unanswered += socket->bytesAvailable();
        if (c.Unanswered > MaxHeaderBytes + MaxBodyBytes)
            RefuseRaw(*socket, "413 Content Too Large",
                "requests are limited to 8 KB of headers and 4 KB of body\n");
        return;
    }
}

bool StationWebServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    // The live page's WebSocket: taken as handled without an answer, the
    // HTTP layer then hands the connection to the WebSocket side
    // (TakeWebSockets), which answers the upgrade.
    if (request.url().path() == QLatin1String("/ws")
        && request.value("Upgrade").compare("websocket", Qt::CaseInsensitive) == 0)
        return true;
    qsizetype headerBytes = request.url().toEncoded().size();
    for (const auto& [key, value] : request.headers())
        headerBytes += key.size() + value.size() + 4;
    const auto responder = [&] { return makeResponder(request, socket); };
    if (headerBytes > MaxHeaderBytes) {
        responder().write(Status::RequestHeaderFieldsTooLarge);
        return true;
    }
    if (request.body().size() > MaxBodyBytes) {
        responder().write(Status::PayloadTooLarge);
        return true;
    }
    // Only the embedded files are served, but a path that climbs is refused
    // as such rather than looked up.
    const QByteArray raw = request.url().toEncoded();
    if (raw.contains("..") || raw.toLower().contains("%2e%2e")) {
        auto refusal = responder();
        WriteJson(refusal, ErrorJson(QStringLiteral("no such path")), Status::BadRequest);
        return true;
    }
    switch (request.method()) {
    case QHttpServerRequest::Method::Get:
    case QHttpServerRequest::Method::Head:
        Get(request, socket);
        break;
    case QHttpServerRequest::Method::Post:
        Post(request, socket);
        break;
    default:
        responder().write(Status::MethodNotAllowed);
    }
    return true;
}

void StationWebServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    makeResponder(request, socket).write(Status::NotFound);
}

void StationWebServer::Get(const QHttpServerRequest& request, QTcpSocket* socket)
{
    const QString path = request.url().path();
    const QUrlQuery query = request.query();
    const TrackingSession& tracker = m_station.Tracking();
    const sys_seconds now = m_station.StationClock().UtcNow();
    QHttpServerResponder responder = makeResponder(request, socket);
    const auto json = [&](const QJsonObject& object) { WriteJson(responder, object); };
    if (path == QLatin1String("/") || path == QLatin1String("/index.html")) {
        QFile page(QStringLiteral(":/web/index.html"));
        page.open(QIODevice::ReadOnly);
        responder.write(page.readAll(),
            { { "Content-Type", "text/html; charset=utf-8" },
                { "Content-Security-Policy",
                    "default-src 'self'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
                    "connect-src 'self' ws: wss:; img-src 'self' data:" },
                { "X-Content-Type-Options", "nosniff" }, { "Cache-Control", "no-cache" } });
    } else if (path == QLatin1String("/api/state")) {
        json(LiveStateJson(m_station, now));
    } else if (path == QLatin1String("/api/passes")) {
        json(PassListJson(tracker, now));
    } else if (path == QLatin1String("/api/upcoming")) {
        const auto hours
            = QueryNumber(query, QStringLiteral("hours"), kMaxUpcomingHours, 1, kMaxUpcomingHours);
        if (!hours)
            WriteJson(
                responder, ErrorJson(QStringLiteral("hours must be 1 to 24")), Status::BadRequest);
        else
            json(UpcomingJson(m_overview, *hours));
    } else if (path == QLatin1String("/api/log")) {
        const auto lines
            = QueryNumber(query, QStringLiteral("lines"), kDefaultLogLines, 1, kMaxLogLines);
        if (!lines)
            WriteJson(responder, ErrorJson(QStringLiteral("lines must be 1 to 1000")),
                Status::BadRequest);
        else
            json(LogJson(m_station.Log().Lines(), *lines));
    } else if (path == QLatin1String("/api/station")) {
        QJsonObject info = StationInfoJson(tracker);
        info.insert(QStringLiteral("Control"), !m_token.isEmpty());
        json(info);
    } else {
        WriteJson(responder, ErrorJson(QStringLiteral("no such path")), Status::NotFound);
    }
}

// Why a control request is refused (empty: it may act), and the status.
QString StationWebServer::ControlRefusal(const QHttpServerRequest& request, int* status) const
{
    *status = static_cast<int>(Status::Forbidden);
    if (m_token.isEmpty())
        return QStringLiteral("control is off: the station has no HTTP_TOKEN");
    // A page of another site may make the operator's browser post here; the
    // browser then names that site as the origin.
    const QByteArray origin = request.value("Origin");
    if (!origin.isEmpty() && origin != "http://" + request.value("Host"))
        return QStringLiteral("requests from another site's page are refused");
    const QByteArray expected = "Bearer " + m_token.toUtf8();
    if (!ConstantTimeEqual(request.value("Authorization"), expected)) {
        *status = static_cast<int>(Status::Unauthorized);
        return QStringLiteral("control needs Authorization: Bearer <HTTP_TOKEN>");
    }
    return QString();
}

void StationWebServer::Post(const QHttpServerRequest& request, QTcpSocket* socket)
{
    QHttpServerResponder responder = makeResponder(request, socket);
    const auto refuse
        = [&](const QString& why, Status status) { WriteJson(responder, ErrorJson(why), status); };
    int status = 0;
    if (const QString why = ControlRefusal(request, &status); !why.isEmpty())
        return refuse(why, static_cast<Status>(status));

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(request.body(), &parseError);
    const QJsonObject body = document.object();
    if (!request.body().isEmpty() && !document.isObject())
        return refuse(QStringLiteral("the body is not a JSON object"), Status::BadRequest);

    const QString path = request.url().path();
    TrackingSession& tracker = m_station.Tracking();
    RotorController* rotor = m_station.Rotor();
    if (path == QLatin1String("/api/select")) {
        int index = -1;
        const SatTable& table = tracker.Table();
        if (body.contains(QStringLiteral("CatalogNumber"))) {
            const int number = body.value(QStringLiteral("CatalogNumber")).toInt(-1);
            for (int record = 1; record <= table.SatCount() && index < 0; ++record)
                if (table.Record(record).Elements.CatalogNumber == number)
                    index = record - 1;
        } else {
            const QString name = body.value(QStringLiteral("Name")).toString().trimmed();
            const QStringList names = tracker.SatelliteNames();
            for (qsizetype i = 0; i < names.size() && index < 0; ++i)
                if (names[i].compare(name, Qt::CaseInsensitive) == 0)
                    index = static_cast<int>(i);
        }
        if (index < 0)
            return refuse(QStringLiteral("no such satellite in the catalogue"), Status::NotFound);
        tracker.ChooseSatellite(index);
        m_station.Log().LogEvent(
            QStringLiteral(": web page: satellite %1 chosen").arg(tracker.SelectedName()), true);
    } else if (path == QLatin1String("/api/rotor/park")
        || path == QLatin1String("/api/rotor/follow")) {
        if (!rotor || !rotor->Configured())
            return refuse(QStringLiteral("the station has no rotor link"), Status::Conflict);
        if (path.endsWith(QLatin1String("park")))
            rotor->ParkRotor();
        else if (body.value(QStringLiteral("On")).toBool() != rotor->LinkChecked())
            rotor->ToggleRotorLink();
    } else if (path == QLatin1String("/api/receiver/track")) {
        m_station.Receiver().SetTracking(body.value(QStringLiteral("On")).toBool());
    } else {
        return refuse(QStringLiteral("no such control"), Status::NotFound);
    }
    WriteJson(responder, LiveStateJson(m_station, m_station.StationClock().UtcNow()));
}

void StationWebServer::TakeWebSockets()
{
    while (hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = nextPendingWebSocketConnection();
        if (!socket)
            continue;
        QPointer<QTcpSocket> tcp;
        for (Connection& c : m_connections) {
            if (c.Socket && c.Socket->peerPort() == socket->peerPort()
                && c.Socket->peerAddress() == socket->peerAddress()) {
                c.Live = true;
                tcp = c.Socket;
            }
        }
        if (socket->requestUrl().path() != QLatin1String("/ws")) {
            // Any other path was answered 404 already.
            socket->abort();
            if (tcp)
                tcp->deleteLater();
            continue;
        }
        auto client = std::make_unique<LiveClient>(LiveClient { std::move(socket), Now(), tcp });
        QWebSocket* ws = client->Socket.get();
        const auto heard = [this, ws] {
            for (auto& live : m_live)
                if (live->Socket.get() == ws)
                    live->LastHeard = Now();
        };
        connect(ws, &QWebSocket::pong, this, heard);
        connect(ws, &QWebSocket::textMessageReceived, this, heard);
        connect(ws, &QWebSocket::disconnected, this, [this, ws] {
            // Not from within the socket's own signal: it is deleted later.
            const auto it = std::find_if(m_live.begin(), m_live.end(),
                [ws](const auto& live) { return live->Socket.get() == ws; });
            if (it != m_live.end()) {
                (*it)->Socket.release()->deleteLater();
                if ((*it)->Tcp)
                    (*it)->Tcp->deleteLater();
                m_live.erase(it);
            }
        });
        const TrackingSession& tracker = m_station.Tracking();
        const sys_seconds now = m_station.StationClock().UtcNow();
        QJsonObject info = StationInfoJson(tracker);
        info.insert(QStringLiteral("Control"), !m_token.isEmpty());
        SendTo(*ws, QStringLiteral("station"), info);
        SendTo(*ws, QStringLiteral("state"), LiveStateJson(m_station, now));
        SendTo(*ws, QStringLiteral("sky"), SkyPassJson(tracker));
        SendTo(*ws, QStringLiteral("passes"), PassListJson(tracker, now));
        SendTo(*ws, QStringLiteral("upcoming"), UpcomingJson(m_overview, kMaxUpcomingHours));
        SendTo(*ws, QStringLiteral("logLines"), LogJson(m_station.Log().Lines(), kDefaultLogLines));
        m_live.push_back(std::move(client));
    }
}

void StationWebServer::Sweep()
{
    const auto limit = milliseconds(IdleLimitMs);
    const auto now = Now();
    for (Connection& c : m_connections)
        if (c.Socket && !c.Live && now - c.LastHeard > limit)
            c.Socket->abort();
    std::erase_if(m_connections, [](const Connection& c) { return c.Socket.isNull(); });
    const bool ping = ++m_sweeps % kPingEverySweeps == 0;
    std::vector<QWebSocket*> silent;
    for (auto& live : m_live) {
        if (now - live->LastHeard > limit)
            silent.push_back(live->Socket.get());
        else if (ping)
            live->Socket->ping();
    }
    Drop(silent);
}

void StationWebServer::Drop(const std::vector<QWebSocket*>& clients)
{
    // Aborting emits disconnected at once, which takes the client out of m_live.
    for (QWebSocket* client : clients)
        client->abort();
}

void StationWebServer::SendTo(QWebSocket& client, const QString& type, const QJsonObject& payload)
{
    QJsonObject message = payload;
    message.insert(QStringLiteral("Type"), type);
    client.sendTextMessage(
        QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

void StationWebServer::SendToAll(const QString& type, const QJsonObject& payload)
{
    if (m_live.empty())
        return;
    QJsonObject message = payload;
    message.insert(QStringLiteral("Type"), type);
    const QString text = QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
    std::vector<QWebSocket*> slow;
    for (auto& live : m_live) {
        // A page that does not read what it is sent falls ever further
        // behind; it is dropped before its backlog costs the station memory.
        if (live->Socket->bytesToWrite() > MaxUnsentBytes)
            slow.push_back(live->Socket.get());
        else
            live->Socket->sendTextMessage(text);
    }
    Drop(slow);
}

void StationWebServer::Ticked(sys_seconds now)
{
    m_overview.Check(m_station.Tracking().StationPosition(), m_station.Tracking().ModelKind());
    if (!m_live.empty())
        SendToAll(QStringLiteral("state"), LiveStateJson(m_station, now));
}

Result<std::unique_ptr<StationWebServer>> ServeStation(
    StationSession& station, const std::optional<HttpListen>& listen, const QString& token)
{
    if (!listen)
        return std::unique_ptr<StationWebServer>();
    auto server = std::make_unique<StationWebServer>(station);
    if (const Result<quint16> started = server->Start(*listen, token); !started)
        return Failure { started.Error() };
    return server;
}

} // namespace aostrack
