#pragma once
// The operator's commands at AOS and LOS of the tracked satellite
// (aostrack-cli track --on-aos CMD --on-los CMD): each runs through the
// shell, started and left to run on its own so that the tick never waits,
// with the pass in its environment:
//   AOSTRACK_SAT     the satellite's name
//   AOSTRACK_NORAD   its catalogue number (empty when line 1 holds none)
//   AOSTRACK_AOS     AOS, YYYY-MM-DDTHH:MM:SSZ
//   AOSTRACK_LOS     LOS, the same form (empty when not known)
//   AOSTRACK_MAX_EL  the highest elevation of the pass, degrees
// Its end is logged: ": on-aos command exited with status 0".
#include "passes/PassAlarm.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <chrono>

namespace aostrack {

class EventLog;
class TrackingSession;

class PassHooks : public QObject {
    Q_OBJECT
public:
    // An empty command is not run.
    PassHooks(const TrackingSession& tracker, EventLog& log, QString onAos, QString onLos,
        QObject* parent = nullptr);
    // Gives commands still running a moment to finish (the program is ending).
    ~PassHooks() override;

    // After every tick, with the instant it computed.
    void Tick(std::chrono::sys_seconds now);

    // Commands started and not yet finished.
    int Running() const { return m_running; }

private:
    void Run(const QString& which, const QString& command, const PassEvent& event);
    double MaxElevation(const PassEvent& event) const;
    QProcessEnvironment EventEnvironment(const PassEvent& event) const;

    const TrackingSession& m_tracker;
    EventLog& m_log;
    QString m_onAos;
    QString m_onLos;
    PassAlarm m_alarm;
    int m_running = 0;
};

} // namespace aostrack
