#pragma once
// The time-server client: once per run it fetches the time from an RFC 868
// server over TCP and hands it to the system-clock setter. Every step goes to
// the event log as a timed line, so the operator can see whether the clock
// the predictions rest on was set, and by how much it was off.
#include "clock/TimeProtocol.h"
#include "core/StationLinks.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <chrono>

class QTcpSocket;

namespace aostrack {

class Clock;
class EventLog;
class SystemClockSetter;

class TimeSyncClient : public QObject, public TimeSyncLink {
    Q_OBJECT
public:
    enum class Outcome {
        ClockSet, // valid time received and the setter succeeded
        SetFailed, // valid time received, the setter refused it
        TimeRead, // valid time received, no setter (read-only use)
        NotValid, // reply of other than 4 bytes or an impossible time
        Failed, // socket error, bad TIMESERVER text or no reply in time
    };
    Q_ENUM(Outcome)

    // setter may be null: the time is then read and compared, never set.
    TimeSyncClient(
        EventLog& log, const Clock& clock, SystemClockSetter* setter, QObject* parent = nullptr);
    ~TimeSyncClient() override;

    // Starts one exchange with TIMESERVER ("host", "host:port",
    // "[v6]:port"); returns at once, the result arrives as socket events and
    // ends with finished(). An empty text does nothing and logs nothing.
    void StartTimeSync(const QString& timeServer) override;

    // Decodes the collected reply, checks it and sets the clock; logs every
    // step and selects the last log line. Runs at the server's close.
    void SyncClockFromReply(const QByteArray& reply);

    // Every byte received in this exchange, in arrival order.
    const QByteArray& TimeReplyBuffer() const { return m_timeReplyBuffer; }
    bool IsPending() const { return m_state == State::Connecting || m_state == State::Receiving; }

    // How long a server may take from the start to its close (default
    // 10000 ms); when it runs out the exchange ends as an error.
    void SetReplyTimeoutMs(int timeoutMs) { m_replyTimeoutMs = timeoutMs; }
    // Times outside this range are refused (default: DefaultValidTimeRange()).
    void SetValidTimeRange(const ValidTimeRange& range) { m_validRange = range; }

signals:
    void finished(aostrack::TimeSyncClient::Outcome outcome);

private:
    enum class State { Idle, Connecting, Receiving, Done };

    void Winsock1_Connect();
    void Winsock1_DataArrival();
    void Winsock1_Close();
    void Winsock1_Error(QAbstractSocket::SocketError error);
    void ReplyTimedOut();
    void EndWithError(const QString& description, int number);
    void Finish(Outcome outcome);
    void Log(const QString& text);

    EventLog& m_log;
    const Clock& m_clock;
    SystemClockSetter* m_setter;
    QTcpSocket* m_socket;
    QTimer m_replyTimer;
    QByteArray m_timeReplyBuffer;
    State m_state = State::Idle;
    int m_replyTimeoutMs = 10000;
    ValidTimeRange m_validRange;
};

// The number the error line carries: the Winsock code of the same failure
// (10061 refused, 11001 host not found, 10060 timed out ...), as station logs
// have always shown it. Always greater than 0.
int SocketErrorNumber(QAbstractSocket::SocketError error);

} // namespace aostrack
