#pragma once
// The station in a browser: one page (embedded in the program) that follows
// the station live over a WebSocket, a JSON API for the operator's own
// programs, and a few control requests guarded by a bearer token.
//
// Secure by default: loopback unless told otherwise, read-only without
// HTTP_TOKEN, only the embedded page is served (no path reaches the disk),
// and no client can slow the tick: at most MaxClients connections, small
// requests, silent or slow clients dropped.
#include "core/Configuration.h"
#include "core/PassOverview.h"
#include "core/Result.h"

#include <QAbstractHttpServer>
#include <QTimer>
#include <chrono>
#include <memory>
#include <vector>

class QWebSocket;

namespace aostrack {

class StationSession;

class StationWebServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    static constexpr int MaxClients = 32;
    static constexpr qint64 MaxHeaderBytes = 8 * 1024; // request line and headers
    static constexpr qint64 MaxBodyBytes = 4 * 1024;
    static constexpr int IdleLimitMs = 10'000;
    // A client that lets this much pile up unread is too slow to follow.
    static constexpr qint64 MaxUnsentBytes = 1 << 20;

    explicit StationWebServer(StationSession& station, QObject* parent = nullptr);
    ~StationWebServer() override;

    // Listens at listen; the port it got (listen.Port 0: any free one). The
    // log says where the page is and whether control is on. token: what
    // control requests must carry as "Authorization: Bearer <token>"; empty:
    // read-only.
    Result<quint16> Start(const HttpListen& listen, const QString& token);
    // Open connections: page and API requests and live WebSocket clients.
    int ClientCount() const;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    class GuardedTcpServer;
    struct Connection;
    struct LiveClient;

    void Get(const QHttpServerRequest& request, QTcpSocket* socket);
    void Post(const QHttpServerRequest& request, QTcpSocket* socket);
    QString ControlRefusal(const QHttpServerRequest& request, int* status) const;
    void Accept(QTcpSocket* socket);
    void NoteReceived(QTcpSocket* socket);
    void TakeWebSockets();
    void Sweep();
    void Drop(const std::vector<QWebSocket*>& clients);
    void SendToAll(const QString& type, const QJsonObject& payload);
    void SendTo(QWebSocket& client, const QString& type, const QJsonObject& payload);
    void Ticked(std::chrono::sys_seconds now);

    StationSession& m_station;
    QString m_token;
    GuardedTcpServer* m_tcp = nullptr;
    std::vector<Connection> m_connections;
    std::vector<std::unique_ptr<LiveClient>> m_live;
    PassOverview m_overview;
    QTimer m_sweep;
    int m_sweeps = 0;
};

// The station's web server when listen is given (--http or HTTP_LISTEN),
// else null; a failure to listen is the Result's error.
Result<std::unique_ptr<StationWebServer>> ServeStation(
    StationSession& station, const std::optional<HttpListen>& listen, const QString& token);

} // namespace aostrack
