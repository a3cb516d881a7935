#pragma once
// hamlib's rotctld network daemon as a second way to the rotor (rotctld.txt
// beside this file has the protocol). RotctldText is the pure codec;
// RotctldConnection the TCP line on the event loop. The connection never
// makes the tick wait: one command is on the wire at a time, a newer point
// replaces one not yet sent, answers are read as they arrive, and a daemon
// that goes away, stalls or floods is dropped and connected again.
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

class QTcpSocket;

namespace aostrack {

// "P 372.0 45.0\n": azimuth and elevation rounded to whole degrees, halves to
// even, as the EasyComm commands are, so both ways send the same angles. An
// elevation below 0 is sent as 0.0 (the antenna waits at the horizon).
QByteArray RotctldPointCommand(double azimuth, double elevation);
// "K\n": the rotor's own park position.
inline const QByteArray kRotctldParkCommand = QByteArrayLiteral("K\n");
// "p\n": asks for the position; the answer is two lines, azimuth and elevation.
inline const QByteArray kRotctldPositionCommand = QByteArrayLiteral("p\n");

// The code of an "RPRT n" answer: a whole number that fits an int; nothing
// for anything else ("1e308", "2147483648", "x", empty). The daemon is
// outside our program: its number is checked like any input.
std::optional<int> ReadHamlibCode(const QByteArray& text);
// hamlib's meaning of a code ("Invalid parameter" for -1 and 1), or
// "unknown hamlib error <code>" for one hamlib does not have.
QString HamlibErrorText(int code);
// The same for the code as the daemon wrote it: a text that is no code at
// all is "unknown hamlib error <text>" too, nothing at all "no code".
QString HamlibErrorText(const QString& codeText);

// ROTOR_PARK for rotctld: "az el" (two numbers with a full stop). Nothing
// when the text is not that.
struct RotctldParkPosition {
    double Azimuth = 0;
    double Elevation = 0;
};
std::optional<RotctldParkPosition> ReadRotctldPark(const QString& text);

// Bounds on what the daemon may do to us.
inline constexpr int kRotctldMaxLineBytes = 4096; // longer without a line end: flooding
inline constexpr int kRotctldMaxStrayLines = 64; // lines nobody asked for: flooding
inline constexpr int kRotctldAnswerTimeoutMs = 5000; // a command without answer: stalled
inline constexpr int kRotctldRetryMs = 1000; // between connection attempts
// A daemon that takes the connection and then floods, stalls or closes it
// again is reconnected after 1 s, 2 s, 4 s ... up to 30 s, not at once.
inline constexpr int kRotctldBackoffMaxMs = 30000;
// A connection that lasted this long was a good one: the next loss is news
// again and is retried at once.
inline constexpr int kRotctldSteadyMs = 30000;
inline constexpr int kRotctldPositionIntervalMs = 1000; // position read-back

class RotctldConnection : public QObject {
    Q_OBJECT
public:
    explicit RotctldConnection(QObject* parent = nullptr);
    ~RotctldConnection() override;

    // Starts connecting to host:port and keeps doing so, once a second,
    // until Close(); the outcome arrives as signals. A lost connection is
    // made again at once, then with the back-off above while the daemon
    // keeps dropping out before it has been steady for kRotctldSteadyMs.
    void Open(const QString& host, quint16 port);
    // Closes the connection and stops retrying; sends nothing.
    void Close();
    bool IsOpen() const { return m_wanted; } // Open() called, Close() not yet
    bool IsConnected() const;
    // Nothing on the wire and nothing waiting to go.
    bool Idle() const { return m_await == Await::Nothing && m_next.isEmpty(); }
    // Losses in a row, none after a steady connection (1 after the first):
    // more than one means the daemon keeps failing the same way.
    int LossesInARow() const { return m_lossesInARow; }

    // Queues "P az el"; replaces a point not yet sent. Dropped when not
    // connected (the caller sends again after connected()).
    void Point(double azimuth, double elevation);
    // Queues the park: "K" without a position, else "P az el".
    void Park(std::optional<RotctldParkPosition> position);
    // Reads the position now instead of at the next second.
    void AskPosition();

signals:
    void connected();
    // A connection attempt failed (reason from the system).
    void connectFailed(const QString& reason);
    // The connection went away or was dropped (closed by the daemon, no
    // answer, flooding); a new attempt follows.
    void lost(const QString& reason);
    // The daemon refused a command: the command's text (without line end)
    // and the code as the daemon wrote it (cut short: it is the daemon's text).
    void refused(const QString& command, const QString& code);
    // A move or park went onto the wire (line end included); one replaced
    // or dropped before that never shows here.
    void commandWritten(const QByteArray& bytes);
    // A command was done (RPRT 0).
    void accepted(const QString& command);
    // The rotor's position as the daemon reads it back (degrees).
    void positionRead(double azimuth, double elevation);

private:
    enum class Await { Nothing, Report, Position };

    void Connect();
    void OnConnected();
    void OnSocketError();
    void OnReadyRead();
    void TakeLine(const QByteArray& line);
    void SendNext();
    void CheckStall();
    void Drop(const QString& reason);
    void Reset();

    QTcpSocket* m_socket = nullptr;
    QTimer m_retry;
    QTimer m_positionTimer;
    QTimer m_stallTimer;
    QString m_host;
    quint16 m_port = 0;
    bool m_wanted = false;
    bool m_dropping = false;

    QByteArray m_in;
    int m_strayLines = 0;
    Await m_await = Await::Nothing;
    QByteArray m_inFlight; // the command on the wire, line end included
    QByteArray m_next; // the one to send when the daemon has answered
    bool m_positionWanted = false;
    std::optional<double> m_readAz; // first line of a position answer
    QElapsedTimer m_sentAt;
    QElapsedTimer m_connectedAt;
    int m_lossesInARow = 0;
};

} // namespace aostrack
