#pragma once
// The way to the rotor under the link: EasyComm on a serial line
// (EasyCommDriver.h) or hamlib's rotctld over TCP (RotctldDriver.h). The link
// decides when and where the rotor moves; a driver says it the rotor's way
// and reports what became of it. A new kind of rotor interface is a new
// driver here, not a branch in the link.
#include "core/Result.h"
#include "rotor/RotorPlan.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

namespace aostrack {

class RotorDriver : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~RotorDriver() override = default;

    // Opens the link. A link that cannot open fails at once with the reason
    // (a serial port); one that connects in the background succeeds here and
    // says connected() or connectFailed() later.
    virtual Result<void> Open() = 0;
    // Closes without sending anything; harmless on a closed link.
    virtual void Close() = 0;
    // Commands can go out now.
    virtual bool IsOpen() const = 0;

    // The move to aim as the status line shows it.
    virtual QString PointText(const RotorAim& aim) const = 0;
    // Sends the rotor to aim; false when the write failed (lost() said why).
    virtual bool Point(const RotorAim& aim) = 0;
    // Sends the rotor to its park; false when the write failed.
    virtual bool Park() = 0;
    // The park as the status line names it.
    virtual QString ParkText() const = 0;
    // Where the park takes the rotor, when that is known.
    virtual std::optional<RotorAim> ParkAim() const = 0;

    // The rotor's position is read back (positionRead).
    virtual bool ReadsPosition() const { return false; }
    // Reads the position now, where it is read back.
    virtual void AskPosition() { }
    // Nothing is on its way or waiting to go.
    virtual bool Idle() const { return true; }

signals:
    // A command went onto the wire whole (line end included).
    void commandWritten(const QByteArray& bytes);
    // The open link failed under us and is closed; it stays closed.
    void lost(const QString& reason);
    // A link opening in the background: it is up, or this attempt failed
    // (it tries again by itself).
    void connected();
    void connectFailed(const QString& reason);
    // The link went away and is being made again; newOutage is false while
    // it keeps failing the same way.
    void reconnecting(const QString& reason, bool newOutage);
    // The rotor interface answered a command: refused (its code as written)
    // or done.
    void refused(const QString& command, const QString& code);
    void accepted();
    // The rotor's own position (degrees).
    void positionRead(double azimuth, double elevation);
};

} // namespace aostrack
