#pragma once
// The transceiver through hamlib's rigctld: receive on the current VFO,
// transmit in split on the TX VFO. The link never makes the tick wait: one
// command is on the wire at a time, the newest tuning replaces one not yet
// sent, frequencies go out at most four times a second and only when they
// moved by the step, and a daemon that stalls or floods is dropped and
// connected again. A command the radio answers with RPRT -11 (not
// available) is said once and not sent again.
//
// Dial follow: the receive dial is read back (f) once a second, except while
// the radio says it transmits (t answers 1), when many radios show the
// transmit frequency. When two reads agree within 20 Hz and lie more than
// 50 Hz from what was sent, the operator turned the dial: dialTurned, and
// the read value counts as sent. While a first read lies off, no receive
// frequency is sent, so that the correction does not undo the turn.
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <optional>

class QTcpSocket;

namespace aostrack {

// What the radio should be set to; a leg without frequency is left alone.
struct TransceiverTuning {
    std::optional<double> ReceiveDialHz;
    std::optional<double> TransmitDialHz;
    QString ReceiveMode; // hamlib's name ("USB", "FM"); empty: leave the radio's
    QString TransmitMode;
    std::optional<double> ToneHz; // CTCSS on the uplink
};

// hamlib's mode for a transmitter list's mode: "USB", "LSB", "CW", "AM", "FM"
// ("FMN" too); empty for data modes ("BPSK", "AFSK"...) that set no mode.
QString HamlibMode(const QString& listedMode);

inline constexpr double kRigDefaultStepHz = 10;
inline constexpr int kRigSendIntervalMs = 250; // at most four frequency updates a second
inline constexpr int kRigMaxLineBytes = 4096; // longer without a line end: flooding
inline constexpr int kRigMaxStrayLines = 64; // answers nobody asked for: flooding
inline constexpr int kRigAnswerTimeoutMs = 5000; // a command without answer: stalled
inline constexpr int kRigRetryMs = 1000;
inline constexpr int kHamlibNotAvailable = -11;
inline constexpr int kRigReadBackMs = 1000;
inline constexpr double kDialSettledHz = 20; // two reads this close: the dial stands
inline constexpr double kDialTurnedHz = 50; // a read this far from the sent: turned

class RigctldTransceiver : public QObject {
    Q_OBJECT
public:
    explicit RigctldTransceiver(QObject* parent = nullptr);
    ~RigctldTransceiver() override;

    // Connects to host:port and keeps doing so, once a second, until Close().
    void Open(const QString& host, quint16 port);
    void Close();
    bool IsConnected() const;
    // "VFOB" (the default), "Sub" for Main/Sub radios, or "SATMODE": the
    // radio's satellite mode (U SATMODE 1), receive on Main, transmit on Sub.
    void SetTxVfo(const QString& vfo) { m_txVfo = vfo; }
    void SetStepHz(double stepHz) { m_stepHz = stepHz; }
    // The newest wanted setting; sent at the next send slot.
    void Tune(const TransceiverTuning& tuning) { m_wanted = tuning; }
    // Read the receive dial back once a second (off by default).
    void SetDialFollow(bool on) { m_dialFollow = on; }

signals:
    void connected();
    void connectFailed(const QString& reason);
    void lost(const QString& reason);
    // The radio has no such function (RPRT -11); told once per command.
    void unavailable(const QString& command);
    // Any other refusal: the command and the daemon's code.
    void refused(const QString& command, const QString& code);
    // The operator turned the receive dial from sentHz to readHz.
    void dialTurned(double readHz, double sentHz);

private:
    void Connect();
    void OnConnected();
    void OnReadyRead();
    void QueueChanges();
    void SendNext();
    void CheckStall();
    void Drop(const QString& reason);
    void Queue(const QByteArray& command);
    void ForgetSent();
    bool TakeValue(const QByteArray& line);
    void CheckReadBack(double readHz);

    QTcpSocket* m_socket = nullptr;
    QTimer m_retry;
    QTimer m_sendSlot;
    QTimer m_stallTimer;
    QTimer m_readTimer;
    QString m_host;
    quint16 m_port = 0;
    bool m_openWanted = false;
    QString m_txVfo = QStringLiteral("VFOB");
    double m_stepHz = kRigDefaultStepHz;

    TransceiverTuning m_wanted;
    TransceiverTuning m_sent; // what the radio was last told on this connection
    bool m_splitSent = false;
    bool m_dialFollow = false;
    bool m_readDue = false;
    bool m_turnPending = false; // a read lay off what was sent: hold F until the next
    std::optional<double> m_lastReadHz;

    QByteArray m_in;
    int m_strayLines = 0;
    QList<QByteArray> m_queue;
    QByteArray m_inFlight; // without its line end
    QElapsedTimer m_sentAt;
    QSet<QByteArray> m_notAvailable; // command words the radio lacks ("C", "U TONE")
};

} // namespace aostrack
