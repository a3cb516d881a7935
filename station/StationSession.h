#pragma once
// The station both programs start: the event log, the tracking session and
// its texts, the receiver, the rotor and the clock synchronisation, wired
// once. It reads sat.ini, runs the whole start-up and owns the tick. The window and the terminal
// view are faces on top of it: they show what its parts announce and forward the operator's
// choices. One thread; everything runs on the Qt event loop.
//
// The session stands above the device layers (its own folder and target,
// station): core stays below radio, rotor and clock.
#include "core/EventLog.h"
#include "core/TrackingSession.h"
#include "core/TrackingTexts.h"

#include <QElapsedTimer>
#include <QObject>
#include <chrono>
#include <memory>
#include <optional>

namespace aostrack {

class ReceiverController;
class ReceiverLibrary;
class RotorController;
class StationTransceiver;
class SystemClockSetter;
class TimeSyncClient;

// The device links a face wants. Leaving one out is a choice at run time:
// the CLI drives the rotor only when asked and never sets the system clock.
struct StationOptions {
    // The rotor controller takes the ROTOR_* settings and steps every tick.
    bool RotorLink = true;
    // TIMESERVER, when set, sets the system clock at the end of start-up.
    bool ClockSync = true;
    // Start-up stops without DOPPLERFILE; a face that only tracks runs on
    // without frequencies.
    bool FrequencyListRequired = true;
    // RIG_HOST, when set, is opened at the end of start-up and kept on the
    // tracked satellite's transmitter every computed tick.
    bool TransceiverLink = true;
};

class StationSession : public QObject {
    Q_OBJECT
public:
    // clock: what "now" is (the machine's clock or a rehearsal clock); it
    // outlives the session.
    explicit StationSession(
        const Clock& clock, StationOptions options = {}, QObject* parent = nullptr);
    ~StationSession() override;

    // The whole start-up from appDir/sat.ini (the program's own folder), or
    // from the settings file at iniPath whatever its name. Throws
    // StartupError, whose Messages() are the texts to show in order (the
    // matching log lines are written already). On success the tick runs.
    void Startup(const QString& appDir);
    void StartupFromIni(const QString& iniPath);

    // Runs the station on a simulated clock from start (the clock's now when
    // not given), speed simulated seconds per real second (0.1 to 10000).
    // Four ticks per simulated second are kept: the tick timer runs speed
    // times faster and every tick moves the clock a quarter second. Call
    // before start-up.
    void SetTickSpeed(double speed, std::optional<std::chrono::sys_seconds> start = {});
    bool Simulated() const;
    double TickSpeed() const { return m_speed; }
    // Station time since start-up ended: simulated seconds on a simulated
    // clock, else real seconds.
    double ElapsedSeconds() const;

    // Stops the tick and closes an open rotor port (nothing more is sent).
    void Stop();

    const Clock& StationClock() const;
    EventLog& Log() { return m_log; }
    TrackingSession& Tracking() { return m_tracker; }
    const TrackingSession& Tracking() const { return m_tracker; }
    // What the faces show of the tracking: panel, countdown, pass texts.
    const TrackingTexts& Texts() const { return m_texts; }
    ReceiverController& Receiver() { return *m_receiver; }
    const ReceiverController& Receiver() const { return *m_receiver; }
    // Null when the options leave the rotor out.
    RotorController* Rotor() { return m_rotor.get(); }
    const RotorController* Rotor() const { return m_rotor.get(); }
    // Null without RIG_HOST or when the options leave the transceiver out.
    StationTransceiver* Transceiver() { return m_transceiver.get(); }

signals:
    // After every tick of the timer, with the instant the tick computed.
    void ticked(std::chrono::sys_seconds now);
    // The tracked satellite rose above or set below the horizon between two
    // ticks (the countdown's rule: up at 0 degrees and above).
    void passStarted(std::chrono::sys_seconds now);
    void passEnded(std::chrono::sys_seconds now);
    // Every line the event log takes, as it is shown.
    void logLine(const QString& line);

private:
    class SessionClock;
    void AfterTick();
    void SatelliteComputed(std::chrono::sys_seconds now);
    void StartTransceiver();
    void TuneTransceiver();

    std::unique_ptr<SessionClock> m_clock;
    double m_speed = 1;
    QElapsedTimer m_realElapsed;

    EventLog m_log;
    TrackingSession m_tracker;
    TrackingTexts m_texts;
    std::unique_ptr<ReceiverLibrary> m_library;
    std::unique_ptr<ReceiverController> m_receiver;
    std::unique_ptr<RotorController> m_rotor;
    std::unique_ptr<SystemClockSetter> m_clockSetter;
    std::unique_ptr<TimeSyncClient> m_timeSync;
    std::unique_ptr<StationTransceiver> m_transceiver;
    bool m_transceiverWanted = true;
    // Above the horizon at the last computed tick; unknown after a choice.
    std::optional<bool> m_up;
};

} // namespace aostrack
