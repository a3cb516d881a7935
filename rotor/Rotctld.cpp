#include "rotor/Rotctld.h"

#include "core/NumberText.h"
#include "orbit/InputExcerpt.h"

#include <QStringList>
#include <QTcpSocket>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace aostrack {

namespace {

// Whole degrees with one decimal and a full stop: "372.0", "-5.0".
QByteArray WholeDegrees(double degrees)
{
    return QByteArray::number(RoundHalfEven(degrees), 'f', 1);
}

// A number of the protocol: a full stop, nothing else on the line.
std::optional<double> ReadNumber(const QByteArray& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

QByteArray RotctldPointCommand(double azimuth, double elevation)
{
    return QByteArrayLiteral("P ") + WholeDegrees(azimuth) + ' '
        + WholeDegrees(elevation < 0 ? 0.0 : elevation) + '\n';
}

std::optional<int> ReadHamlibCode(const QByteArray& text)
{
    const QByteArray digits = text.trimmed();
    const char* first = digits.constData();
    const char* last = first + digits.size();
    if (first != last && *first == '+')
        ++first;
    int code = 0;
    const auto [end, error] = std::from_chars(first, last, code);
    if (error != std::errc() || end != last || first == last)
        return std::nullopt;
    return code;
}

QString HamlibErrorText(int code)
{
    // hamlib's own texts for its error codes (enum rig_errcode_e), so that a
    // refusal reads as hamlib's tools would report it.
    static const std::array<const char*, 23> kTexts = {
        "Command completed successfully",
        "Invalid parameter",
        "Invalid configuration",
        "Memory shortage",
        "Feature not implemented",
        "Communication timed out",
        "IO error",
        "Internal Hamlib error",
        "Protocol error",
        "Command rejected by the rig",
        "Command performed, but arg truncated, result not guaranteed",
        "Feature not available",
        "Target VFO unaccessible",
        "Communication bus error",
        "Communication bus collision",
        "NULL RIG handle or invalid pointer parameter",
        "Invalid VFO",
        "Argument out of domain of func",
        "Function deprecated",
        "Security error",
        "Rig is not powered on",
        "Limit exceeded",
        "Access denied",
    };
    // Widened first: -INT_MIN does not fit an int.
    const long long index = code < 0 ? -static_cast<long long>(code) : code;
    if (index >= static_cast<long long>(kTexts.size()))
        return QStringLiteral("unknown hamlib error %1").arg(code);
    return QString::fromLatin1(kTexts[static_cast<std::size_t>(index)]);
}

QString HamlibErrorText(const QString& codeText)
{
    if (const std::optional<int> code = ReadHamlibCode(codeText.toLatin1()))
        return HamlibErrorText(*code);
    if (codeText.trimmed().isEmpty())
        return QStringLiteral("no code");
    return QStringLiteral("unknown hamlib error %1").arg(codeText);
}

std::optional<RotctldParkPosition> ReadRotctldPark(const QString& text)
{
    const QStringList parts = text.simplified().split(QLatin1Char(' '));
    if (parts.size() != 2)
        return std::nullopt;
    const auto az = ReadNumber(parts[0].toLatin1());
    const auto el = ReadNumber(parts[1].toLatin1());
    if (!az || !el)
        return std::nullopt;
    return RotctldParkPosition { *az, *el };
}

RotctldConnection::RotctldConnection(QObject* parent)
    : QObject(parent)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRotctldRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &RotctldConnection::Connect);
    m_positionTimer.setInterval(kRotctldPositionIntervalMs);
    connect(&m_positionTimer, &QTimer::timeout, this, &RotctldConnection::AskPosition);
    // Checked often enough to notice a stall within a second of its limit.
    m_stallTimer.setInterval(kRotctldAnswerTimeoutMs / 5);
    connect(&m_stallTimer, &QTimer::timeout, this, &RotctldConnection::CheckStall);
}

RotctldConnection::~RotctldConnection()
{
    Close();
}

void RotctldConnection::Open(const QString& host, quint16 port)
{
    Close();
    m_host = host;
    m_port = port;
    m_wanted = true;
    m_lossesInARow = 0;
    Connect();
}

void RotctldConnection::Close()
{
    m_wanted = false;
    m_retry.stop();
    Reset();
}

bool RotctldConnection::IsConnected() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void RotctldConnection::Reset()
{
    m_positionTimer.stop();
    m_stallTimer.stop();
    if (m_socket) {
        // Signals of a socket on its way out must not reach us any more.
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    m_in.clear();
    m_strayLines = 0;
    m_await = Await::Nothing;
    m_inFlight.clear();
    m_next.clear();
    m_positionWanted = false;
    m_readAz.reset();
}

void RotctldConnection::Connect()
{
    if (!m_wanted)
        return;
    Reset();
    m_socket = new QTcpSocket(this);
    // Nothing is ever queued beyond one short command, and the reader below
    // takes what arrives at once; Qt needs no bigger buffer than that.
    m_socket->setReadBufferSize(kRotctldMaxLineBytes);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(m_socket, &QTcpSocket::connected, this, &RotctldConnection::OnConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &RotctldConnection::OnReadyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &RotctldConnection::OnSocketError);
    m_socket->connectToHost(m_host, m_port);
}

void RotctldConnection::OnConnected()
{
    m_connectedAt.start();
    m_stallTimer.start();
    m_positionTimer.start();
    emit connected();
}

void RotctldConnection::OnSocketError()
{
    if (!m_socket)
        return;
    const QString reason = m_socket->errorString();
    if (m_socket->state() == QAbstractSocket::ConnectedState || m_positionTimer.isActive()) {
        Drop(reason);
        return;
    }
    // Not yet connected: this attempt failed; try again in a second.
    Reset();
    if (m_wanted)
        m_retry.start(kRotctldRetryMs);
    emit connectFailed(reason);
}

void RotctldConnection::Drop(const QString& reason)
{
    if (m_dropping)
        return;
    m_dropping = true;
    Reset();
    if (m_connectedAt.isValid() && m_connectedAt.elapsed() >= kRotctldSteadyMs)
        m_lossesInARow = 0;
    m_connectedAt.invalidate();
    ++m_lossesInARow;
    // A restarted daemon is usually back at once: the first loss is retried
    // straight away. One that takes the connection and fails again is given
    // 1 s, then twice as long each time, up to 30 s, so that a daemon which
    // floods after every connect cannot keep us connecting all the time.
    const int shift = std::min(m_lossesInARow - 2, 5);
    const int delayMs
        = m_lossesInARow <= 1 ? 0 : std::min(kRotctldRetryMs << shift, kRotctldBackoffMaxMs);
    if (m_wanted)
        m_retry.start(delayMs);
    m_dropping = false;
    emit lost(reason);
}

void RotctldConnection::OnReadyRead()
{
    if (!m_socket)
        return;
    // Take what has come, a bounded piece at a time; a daemon that sends
    // without end is dropped rather than followed.
    while (m_socket && m_socket->bytesAvailable() > 0) {
        m_in += m_socket->read(kRotctldMaxLineBytes);
        qsizetype end;
        while (m_socket && (end = m_in.indexOf('\n')) >= 0) {
            const QByteArray line = m_in.left(end);
            m_in.remove(0, end + 1);
            TakeLine(line);
        }
        if (m_socket && m_in.size() > kRotctldMaxLineBytes) {
            Drop(QStringLiteral("more than %1 bytes without a line end").arg(kRotctldMaxLineBytes));
            return;
        }
    }
}

void RotctldConnection::TakeLine(const QByteArray& rawLine)
{
    const QByteArray line = rawLine.trimmed();
    const QString command = QString::fromLatin1(m_inFlight.trimmed());
    if (m_await == Await::Nothing || line.isEmpty()) {
        if (++m_strayLines > kRotctldMaxStrayLines)
            Drop(QStringLiteral("more than %1 lines nobody asked for").arg(kRotctldMaxStrayLines));
        return;
    }
    if (line.startsWith("RPRT")) {
        // Only a plain 0 is success; any other text, a number out of every
        // range included, is a refusal shown as the daemon wrote it.
        const QByteArray codeText = line.mid(4).trimmed();
        const std::optional<int> code = ReadHamlibCode(codeText);
        const Await was = m_await;
        m_await = Await::Nothing;
        m_inFlight.clear();
        m_readAz.reset();
        m_strayLines = 0;
        if (code != 0)
            emit refused(command, QString::fromUtf8(InputExcerpt(codeText.toStdString())));
        else if (was == Await::Report)
            emit accepted(command);
        SendNext();
        return;
    }
    if (m_await != Await::Position) {
        if (++m_strayLines > kRotctldMaxStrayLines)
            Drop(QStringLiteral("more than %1 lines nobody asked for").arg(kRotctldMaxStrayLines));
        return;
    }
    const auto value = ReadNumber(line);
    if (!value) {
        Drop(QStringLiteral("unreadable position \"%1\"")
                 .arg(QString::fromUtf8(InputExcerpt(line.toStdString()))));
        return;
    }
    if (!m_readAz) {
        m_readAz = *value;
        return;
    }
    const double az = *m_readAz;
    m_await = Await::Nothing;
    m_inFlight.clear();
    m_readAz.reset();
    m_strayLines = 0;
    emit positionRead(az, *value);
    SendNext();
}

void RotctldConnection::Point(double azimuth, double elevation)
{
    if (!IsConnected())
        return;
    m_next = RotctldPointCommand(azimuth, elevation);
    SendNext();
}

void RotctldConnection::Park(std::optional<RotctldParkPosition> position)
{
    if (!IsConnected())
        return;
    m_next = position ? RotctldPointCommand(position->Azimuth, position->Elevation)
                      : kRotctldParkCommand;
    SendNext();
}

void RotctldConnection::AskPosition()
{
    m_positionWanted = true;
    SendNext();
}

void RotctldConnection::SendNext()
{
    if (!IsConnected() || m_await != Await::Nothing)
        return;
    // A move waits for nobody; the position read-back takes the quiet turns.
    if (!m_next.isEmpty()) {
        m_inFlight = m_next;
        m_next.clear();
        m_await = Await::Report;
    } else if (m_positionWanted) {
        m_positionWanted = false;
        m_inFlight = kRotctldPositionCommand;
        m_await = Await::Position;
    } else {
        return;
    }
    m_sentAt.start();
    const bool move = m_await == Await::Report;
    const QByteArray bytes = m_inFlight;
    if (m_socket->write(bytes) == bytes.size() && move)
        emit commandWritten(bytes);
}

void RotctldConnection::CheckStall()
{
    if (m_await != Await::Nothing && m_sentAt.isValid()
        && m_sentAt.elapsed() > kRotctldAnswerTimeoutMs)
        Drop(QStringLiteral("no answer to \"%1\" within %2 s")
                 .arg(QString::fromLatin1(m_inFlight.trimmed()))
                 .arg(kRotctldAnswerTimeoutMs / 1000));
}

} // namespace aostrack
