#include "clock/TimeSyncClient.h"

#include "clock/SystemClockSetter.h"
#include "core/EventLog.h"
#include "orbit/Clock.h"

#include <QTcpSocket>
#include <exception>

namespace aostrack {

namespace {

// Winsock codes the error lines carry.
constexpr int WsaInvalidArgument = 10022;
constexpr int WsaTimedOut = 10060;

// Runs one step of the close handling; a failing step must not keep the
// following ones (closing the socket, setting the clock) from running.
template <typename Step> void RunStep(Step&& step)
{
    try {
        step();
    } catch (const std::exception&) {
    } catch (...) {
    }
}

QString SignedSeconds(qint64 seconds)
{
    return (seconds > 0 ? QStringLiteral("+") : QString()) + QString::number(seconds)
        + QStringLiteral(" s");
}

// How far the clock was off, in the operator's words: positive means the
// clock was behind the server. `verb` is "was" after setting, "is" when only
// comparing.
QString CorrectionText(qint64 seconds, const QString& verb)
{
    if (seconds == 0)
        return QStringLiteral("(it %1 right to the second)").arg(verb);
    const QString amount = QString::number(seconds > 0 ? seconds : -seconds);
    return seconds > 0 ? QStringLiteral("(it %1 %2 s slow)").arg(verb, amount)
                       : QStringLiteral("(it %1 %2 s fast)").arg(verb, amount);
}

QString TimeoutText(int timeoutMs)
{
    if (timeoutMs % 1000 == 0)
        return QStringLiteral("%1 s").arg(timeoutMs / 1000);
    return QStringLiteral("%1 ms").arg(timeoutMs);
}

} // namespace

int SocketErrorNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return 10061;
    case QAbstractSocket::RemoteHostClosedError:
        return 10054;
    case QAbstractSocket::HostNotFoundError:
        return 11001;
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::SocketResourceError:
        return 10055;
    case QAbstractSocket::SocketTimeoutError:
        return WsaTimedOut;
    case QAbstractSocket::DatagramTooLargeError:
        return 10040;
    case QAbstractSocket::NetworkError:
        return 10051;
    case QAbstractSocket::AddressInUseError:
        return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return 10049;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return 10045;
    case QAbstractSocket::OperationError:
        return WsaInvalidArgument;
    default:
        return 10053; // connection aborted by the local side
    }
}

TimeSyncClient::TimeSyncClient(
    EventLog& log, const Clock& clock, SystemClockSetter* setter, QObject* parent)
    : QObject(parent)
    , m_log(log)
    , m_clock(clock)
    , m_setter(setter)
    , m_socket(new QTcpSocket(this))
    , m_validRange(DefaultValidTimeRange())
{
    m_socket->setObjectName(QStringLiteral("Winsock1"));
    // Qt would otherwise take in whatever the server sends, however much.
    m_socket->setReadBufferSize(64);
    m_replyTimer.setSingleShot(true);
    connect(m_socket, &QTcpSocket::connected, this, &TimeSyncClient::Winsock1_Connect);
    connect(m_socket, &QTcpSocket::readyRead, this, &TimeSyncClient::Winsock1_DataArrival);
    connect(m_socket, &QTcpSocket::disconnected, this, &TimeSyncClient::Winsock1_Close);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TimeSyncClient::Winsock1_Error);
    connect(&m_replyTimer, &QTimer::timeout, this, &TimeSyncClient::ReplyTimedOut);
}

TimeSyncClient::~TimeSyncClient()
{
    // The socket's last signals must not reach a half-destroyed client.
    m_state = State::Done;
    m_socket->disconnect(this);
}

void TimeSyncClient::Log(const QString& text)
{
    m_log.LogEvent(text, true);
}

void TimeSyncClient::StartTimeSync(const QString& timeServer)
{
    if (timeServer.trimmed().isEmpty())
        return;

    Log(QStringLiteral(": opening connection to TIMESERVER [") + timeServer + QStringLiteral("]"));
    m_timeReplyBuffer.clear();
    m_state = State::Idle;
    m_replyTimer.stop();
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();

    const auto address = ParseTimeServer(timeServer);
    if (!address) {
        m_state = State::Connecting;
        EndWithError(
            QStringLiteral("TIMESERVER is not a host, host:port or [address]:port: ") + timeServer,
            WsaInvalidArgument);
        return;
    }
    m_state = State::Connecting;
    m_replyTimer.start(m_replyTimeoutMs);
    m_socket->connectToHost(address->Host, address->Port);
}

void TimeSyncClient::Winsock1_Connect()
{
    if (m_state != State::Connecting)
        return;
    m_state = State::Receiving;
    // Nothing is sent: the server answers the bare connection.
    Log(QStringLiteral(": winsock connection made"));
}

void TimeSyncClient::Winsock1_DataArrival()
{
    if (!IsPending())
        return;
    // A time reply is 4 bytes: read no further than the 5th, which already
    // shows that the server sends something else. A server that sends
    // megabytes or never stops must cost neither memory nor the time limit.
    const QByteArray arrived = m_socket->read(TimeReplyBytes + 1 - m_timeReplyBuffer.size());
    if (arrived.isEmpty())
        return;
    m_timeReplyBuffer.append(arrived);
    Log(QStringLiteral(": data received: ") + HexDump(arrived) + QStringLiteral(" (")
        + QString::number(arrived.size()) + QStringLiteral(" bytes)"));
    if (m_timeReplyBuffer.size() > TimeReplyBytes) {
        m_state = State::Done;
        m_replyTimer.stop();
        RunStep([this] {
            Log(QStringLiteral(": reply longer than %1 bytes, not a time reply: closing connection")
                    .arg(TimeReplyBytes));
        });
        RunStep([this] { m_socket->abort(); });
        RunStep([this] { Log(QStringLiteral(": sockets closed")); });
        SyncClockFromReply(m_timeReplyBuffer);
    }
}

void TimeSyncClient::Winsock1_Close()
{
    if (m_state != State::Receiving)
        return;
    // Bytes that came with the close are part of the reply.
    RunStep([this] {
        if (m_socket->bytesAvailable() > 0)
            Winsock1_DataArrival();
    });
    if (m_state != State::Receiving)
        return; // the reply was too long and is already dealt with
    m_state = State::Done;
    m_replyTimer.stop();
    RunStep([this] { Log(QStringLiteral(": closing connection")); });
    RunStep([this] { m_socket->close(); });
    RunStep([this] { Log(QStringLiteral(": sockets closed")); });
    SyncClockFromReply(m_timeReplyBuffer);
}

void TimeSyncClient::Winsock1_Error(QAbstractSocket::SocketError error)
{
    // The peer's orderly close is the end of a normal exchange; Qt reports it
    // here as well as through disconnected().
    if (error == QAbstractSocket::RemoteHostClosedError && m_state == State::Receiving)
        return;
    if (!IsPending())
        return;
    EndWithError(m_socket->errorString(), SocketErrorNumber(error));
}

void TimeSyncClient::ReplyTimedOut()
{
    if (!IsPending())
        return;
    EndWithError(QStringLiteral("no complete reply from the time server within ")
            + TimeoutText(m_replyTimeoutMs),
        WsaTimedOut);
}

void TimeSyncClient::EndWithError(const QString& description, int number)
{
    m_state = State::Done;
    m_replyTimer.stop();
    Log(QStringLiteral(": error received: ") + description);
    Log(QStringLiteral(": error received: ") + QString::number(number));
    if (number > 0) {
        if (m_socket->state() != QAbstractSocket::UnconnectedState)
            m_socket->abort();
        Log(QStringLiteral(": sockets closed"));
    }
    Finish(Outcome::Failed);
}

void TimeSyncClient::SyncClockFromReply(const QByteArray& reply)
{
    Outcome outcome = Outcome::NotValid;
    const auto decoded = DecodeTimeReply(reply);
    if (!decoded) {
        Log(QStringLiteral(": Time passed not valid. Clock not synchronised !"));
    } else if (decoded->DataValue == 0) {
        // Four zero bytes are how a server without a clock of its own answers
        // (NTP reserves 0 for "time unknown" too). Read in the second era
        // they would pass for 2036-02-07 and set the clock years ahead.
        Log(QStringLiteral(": time received is 0, the server does not know the time"));
        Log(QStringLiteral(": Time passed not valid. Clock not synchronised !"));
    } else if (!m_validRange.Contains(decoded->SyncedDate)) {
        // A server with a dead clock battery or a garbled reply: applying it
        // would put every prediction of the run years off.
        Log(QStringLiteral(": time received is impossible: ")
            + GeneralDateTimeText(decoded->SyncedDate) + QStringLiteral(" (GMT)"));
        Log(QStringLiteral(": Time passed not valid. Clock not synchronised !"));
    } else {
        Log(QStringLiteral(": beginning system clock synchronization"));
        Log(QStringLiteral(": data value (GMT): \t") + QString::number(decoded->DataValue));
        Log(QStringLiteral(": sec since 1990 (GMT):\t")
            + QString::number(decoded->SecondsSince1990));
        const std::chrono::sys_seconds before = m_clock.UtcNow();
        const std::chrono::sys_seconds localBefore
            = before + std::chrono::minutes { m_clock.UtcOffsetMinutes() };
        Log(QStringLiteral(": system date (local) : \t") + GeneralDateTimeText(localBefore));
        Log(QStringLiteral(": synced date (GMT) : \t") + GeneralDateTimeText(decoded->SyncedDate));
        const qint64 correction = (decoded->SyncedDate - before).count();

        if (!m_setter) {
            outcome = Outcome::TimeRead;
            Log(QStringLiteral(": clock left unchanged (read only), it differs by ")
                + SignedSeconds(correction) + u' '
                + CorrectionText(correction, QStringLiteral("is")));
        } else {
            SetClockResult result;
            try {
                result = m_setter->SetSystemClock(decoded->SyncedDate);
            } catch (const std::exception& e) {
                result = { false, QString::fromLocal8Bit(e.what()) };
            } catch (...) {
                result = { false, QStringLiteral("unknown failure") };
            }
            if (result.Succeeded) {
                outcome = Outcome::ClockSet;
                Log(QStringLiteral(": system clock synchronised succesfully"));
                Log(QStringLiteral(": clock corrected by ") + SignedSeconds(correction) + u' '
                    + CorrectionText(correction, QStringLiteral("was")));
            } else {
                outcome = Outcome::SetFailed;
                QString line = QStringLiteral(": SetSystemTime failed. Clock not synchronised");
                if (!result.Reason.isEmpty())
                    line += QStringLiteral(" (") + result.Reason + u')';
                Log(line);
            }
        }
    }
    m_log.SelectLastLogLine();
    Finish(outcome);
}

void TimeSyncClient::Finish(Outcome outcome)
{
    m_state = State::Done;
    emit finished(outcome);
}

} // namespace aostrack
