#include "radio/RigctldTransceiver.h"

#include <QTcpSocket>
#include <cmath>

namespace aostrack {
namespace {

QByteArray FrequencyCommand(char letter, double hz)
{
    return QByteArray(1, letter) + ' ' + QByteArray::number(std::llround(hz));
}

// "F", "I", "M", "X", "C", "S" or "U TONE": what RPRT -11 says is missing.
QByteArray CommandWord(const QByteArray& command)
{
    const QList<QByteArray> words = command.split(' ');
    if (words.size() >= 2 && (words[0] == "U" || words[0] == "u"))
        return words[0] + ' ' + words[1];
    return words.value(0);
}

bool MovedBy(const std::optional<double>& wanted, const std::optional<double>& sent, double step)
{
    return wanted && (!sent || std::abs(*wanted - *sent) >= step);
}

} // namespace

QString HamlibMode(const QString& listedMode)
{
    const QString mode = listedMode.trimmed().toUpper();
    if (mode == QLatin1String("FMN"))
        return QStringLiteral("FM");
    for (const char* known : { "USB", "LSB", "CW", "AM", "FM" })
        if (mode == QLatin1String(known))
            return mode;
    return {};
}

RigctldTransceiver::RigctldTransceiver(QObject* parent)
    : QObject(parent)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRigRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &RigctldTransceiver::Connect);
    m_sendSlot.setInterval(kRigSendIntervalMs);
    connect(&m_sendSlot, &QTimer::timeout, this, &RigctldTransceiver::QueueChanges);
    m_stallTimer.setInterval(kRigAnswerTimeoutMs / 5);
    connect(&m_stallTimer, &QTimer::timeout, this, &RigctldTransceiver::CheckStall);
    m_readTimer.setInterval(kRigReadBackMs);
    connect(&m_readTimer, &QTimer::timeout, this, [this] { m_readDue = true; });
}

RigctldTransceiver::~RigctldTransceiver() = default;

void RigctldTransceiver::Open(const QString& host, quint16 port)
{
    Close();
    m_host = host;
    m_port = port;
    m_openWanted = true;
    Connect();
}

void RigctldTransceiver::Close()
{
    m_openWanted = false;
    m_retry.stop();
    m_sendSlot.stop();
    m_stallTimer.stop();
    m_readTimer.stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
}

bool RigctldTransceiver::IsConnected() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void RigctldTransceiver::Connect()
{
    if (!m_openWanted)
        return;
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &RigctldTransceiver::OnConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &RigctldTransceiver::OnReadyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        const bool wasConnected = m_sendSlot.isActive();
        const QString reason = m_socket->errorString();
        if (wasConnected)
            Drop(reason);
        else {
            Close();
            m_openWanted = true;
            emit connectFailed(reason);
            m_retry.start();
        }
    });
    m_socket->connectToHost(m_host, m_port);
}

void RigctldTransceiver::ForgetSent()
{
    m_sent = {};
    m_splitSent = false;
    m_readDue = false;
    m_turnPending = false;
    m_lastReadHz.reset();
    m_in.clear();
    m_strayLines = 0;
    m_queue.clear();
    m_inFlight.clear();
}

void RigctldTransceiver::OnConnected()
{
    ForgetSent();
    m_sendSlot.start();
    m_stallTimer.start();
    if (m_dialFollow)
        m_readTimer.start();
    emit connected();
    QueueChanges();
}

void RigctldTransceiver::Queue(const QByteArray& command)
{
    if (!m_notAvailable.contains(CommandWord(command)))
        m_queue.append(command);
}

// Once the previous round is answered: split and modes when they changed,
// then the frequencies that moved by the step.
void RigctldTransceiver::QueueChanges()
{
    if (!IsConnected() || !m_inFlight.isEmpty() || !m_queue.isEmpty())
        return;
    const TransceiverTuning& want = m_wanted;
    const bool satMode = m_txVfo.compare(QLatin1String("SATMODE"), Qt::CaseInsensitive) == 0;
    if (want.TransmitDialHz && !m_splitSent) {
        if (satMode)
            Queue("U SATMODE 1");
        Queue("S 1 " + (satMode ? QByteArray("Sub") : m_txVfo.toLatin1()));
        m_splitSent = true;
    }
    if (!want.ReceiveMode.isEmpty() && want.ReceiveMode != m_sent.ReceiveMode)
        Queue("M " + want.ReceiveMode.toLatin1() + " 0");
    if (want.TransmitDialHz && !want.TransmitMode.isEmpty()
        && want.TransmitMode != m_sent.TransmitMode)
        Queue("X " + want.TransmitMode.toLatin1() + " 0");
    if (want.ToneHz && want.ToneHz != m_sent.ToneHz) {
        Queue("C " + QByteArray::number(std::llround(*want.ToneHz * 10)));
        Queue("U TONE 1");
    }
    const bool receiveMoved
        = !m_turnPending && MovedBy(want.ReceiveDialHz, m_sent.ReceiveDialHz, m_stepHz);
    if (receiveMoved)
        Queue(FrequencyCommand('F', *want.ReceiveDialHz));
    if (MovedBy(want.TransmitDialHz, m_sent.TransmitDialHz, m_stepHz))
        Queue(FrequencyCommand('I', *want.TransmitDialHz));
    if (m_readDue) {
        m_readDue = false;
        Queue("t");
        Queue("f");
    }
    // Taken as sent now: a refusal is reported, and sending the same again
    // four times a second would not help.
    m_sent.ReceiveMode = want.ReceiveMode;
    m_sent.TransmitMode = want.TransmitMode;
    m_sent.ToneHz = want.ToneHz;
    if (receiveMoved)
        m_sent.ReceiveDialHz = want.ReceiveDialHz;
    if (MovedBy(want.TransmitDialHz, m_sent.TransmitDialHz, m_stepHz))
        m_sent.TransmitDialHz = want.TransmitDialHz;
    SendNext();
}

void RigctldTransceiver::SendNext()
{
    if (!m_inFlight.isEmpty() || m_queue.isEmpty() || !IsConnected())
        return;
    m_inFlight = m_queue.takeFirst();
    m_sentAt.start();
    m_socket->write(m_inFlight + '\n');
}

void RigctldTransceiver::OnReadyRead()
{
    m_in += m_socket->readAll();
    qsizetype end;
    while ((end = m_in.indexOf('\n')) >= 0) {
        const QByteArray line = m_in.left(end).trimmed();
        m_in.remove(0, end + 1);
        if (TakeValue(line)) {
            SendNext();
            continue;
        }
        if (m_inFlight.isEmpty() || !line.startsWith("RPRT ")) {
            if (++m_strayLines > kRigMaxStrayLines)
                return Drop(QStringLiteral("the daemon sends lines nobody asked for"));
            continue;
        }
        const QByteArray command = m_inFlight;
        m_inFlight.clear();
        bool ok = false;
        const int code = line.mid(5).trimmed().toInt(&ok);
        if (ok && code == kHamlibNotAvailable) {
            const QByteArray word = CommandWord(command);
            if (!m_notAvailable.contains(word)) {
                m_notAvailable.insert(word);
                emit unavailable(QString::fromLatin1(command));
            }
            m_queue.removeIf([&](const QByteArray& c) { return CommandWord(c) == word; });
        } else if (!ok || code != 0) {
            emit refused(QString::fromLatin1(command), QString::fromLatin1(line.mid(5, 32)));
        }
        SendNext();
        if (!m_socket)
            return;
    }
    if (m_in.size() > kRigMaxLineBytes)
        Drop(QStringLiteral("the daemon sends a line without end"));
}

// The answer of a read (t, f) is its value alone; a failure comes as RPRT.
bool RigctldTransceiver::TakeValue(const QByteArray& line)
{
    if ((m_inFlight != "t" && m_inFlight != "f") || line.startsWith("RPRT "))
        return false;
    const QByteArray command = m_inFlight;
    m_inFlight.clear();
    bool ok = false;
    const double value = line.toDouble(&ok);
    if (!ok)
        return true;
    if (command == "t" && value != 0)
        m_queue.removeAll("f");
    else if (command == "f")
        CheckReadBack(value);
    return true;
}

void RigctldTransceiver::CheckReadBack(double readHz)
{
    const std::optional<double> sent = m_sent.ReceiveDialHz;
    const bool off = sent && std::abs(readHz - *sent) > kDialTurnedHz;
    const bool settled = m_lastReadHz && std::abs(readHz - *m_lastReadHz) <= kDialSettledHz;
    m_lastReadHz = readHz;
    if (!off) {
        m_turnPending = false;
        return;
    }
    if (m_turnPending && settled) {
        m_turnPending = false;
        m_sent.ReceiveDialHz = readHz;
        emit dialTurned(readHz, *sent);
        return;
    }
    m_turnPending = true;
}

void RigctldTransceiver::CheckStall()
{
    if (!m_inFlight.isEmpty() && m_sentAt.elapsed() > kRigAnswerTimeoutMs)
        Drop(QStringLiteral("no answer to \"%1\" for %2 s")
                 .arg(QString::fromLatin1(m_inFlight))
                 .arg(kRigAnswerTimeoutMs / 1000));
}

void RigctldTransceiver::Drop(const QString& reason)
{
    Close();
    m_openWanted = true;
    ForgetSent();
    emit lost(reason);
    m_retry.start();
}

} // namespace aostrack
