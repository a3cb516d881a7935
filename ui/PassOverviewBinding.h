#pragma once
// Puts the whole-catalogue overview, the sky plot and the pass alarms into the
// main window: the dock "Upcoming passes" (with its menu entry under "View",
// shown or hidden as the operator left it last time), the polar plot fed from
// the tracker's pass and ticks (and the rotor's commands while its link is
// on), and the "AOS alarm": a sound and a desktop notification (or, without a
// notification area, an event-log line) a set time before AOS, at AOS and at
// LOS of the tracked satellite.
#include "passes/PassAlarm.h"

#include <QObject>

class QComboBox;
class QSoundEffect;
class QSystemTrayIcon;

namespace aostrack {

class Clock;
class EventLog;
class MainWindow;
class PassOverview;
class RotorController;
class SkyPlot;
class TrackingSession;
class UpcomingPassesDock;

class PassOverviewBinding : public QObject {
    Q_OBJECT
public:
    // The sky plot is the window's own (Controls().Sky); rotor may be null
    // (no rotor mark). All must outlive the binding. Bind before the
    // station's start-up so that the first catalogue reaches the overview.
    PassOverviewBinding(TrackingSession& tracker, MainWindow& window, PassOverview& overview,
        const Clock& clock, EventLog& log, RotorController* rotor = nullptr);
    ~PassOverviewBinding() override;

    UpcomingPassesDock* Dock() const { return m_dock; }
    // What the alarm did last (for the log and tests): "AOS in 5 min: ISS (ZARYA)".
    QString LastAlarm() const { return m_lastAlarm; }

private:
    void AddViewMenu(MainWindow& window);
    void BindOverview();
    void BindSky();
    void BindAlarm();
    void Tick();
    void RaiseAlarm(const PassEvent& event);

    TrackingSession& m_tracker;
    PassOverview& m_overview;
    const Clock& m_clock;
    EventLog& m_log;
    SkyPlot* m_sky = nullptr;
    RotorController* m_rotor;
    UpcomingPassesDock* m_dock = nullptr;
    QComboBox* m_satellites = nullptr;
    PassAlarm m_alarm;
    QSoundEffect* m_sound = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QString m_lastAlarm;
};

} // namespace aostrack
