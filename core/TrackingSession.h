#pragma once
// The tracking session, numbers only: start-up from sat.ini, the satellite
// catalogue and the selected satellite, the orbit model, the 250 ms tracking
// tick (satellite state, countdown, end-of-pass search, rotor step, receiver
// step), the 24-hour pass list and the track of the next pass. The devices
// attach to its numbers; core/TrackingTexts turns them into what the window
// and the terminal view show. One thread; everything runs on the Qt event loop.
#include "core/Configuration.h"
#include "core/FrequencyState.h"
#include "orbit/ElementSet.h"
#include "orbit/Engine.h"
#include "orbit/SatelliteState.h"
#include "orbit/Station.h"
#include "passes/Passes.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <optional>
#include <vector>

namespace aostrack {

class Clock;
class EventLog;
class ReceiverLink;
class RotorLink;
class TimeSyncLink;
struct TleLoad;

inline constexpr int TrackingIntervalMs = 250;
// After a search that found no pass, the next one waits this long.
inline constexpr std::chrono::seconds PassRetryInterval { 60 };

// The next pass: the elevation (degrees) at AosTime + s for each second
// s = 0..D of the pass; empty when no pass is known (or the stored LOS lies
// before the AOS).
struct TrackedPass {
    std::optional<std::chrono::sys_seconds> AosTime;
    std::optional<std::chrono::sys_seconds> LosTime;
    std::vector<double> Elevations;

    // D, whole seconds from AOS to LOS; 0 without a pass.
    long long DurationSeconds() const;
    bool operator==(const TrackedPass&) const = default;
};

// What the countdown counts from: the instant of the last tick and the
// satellite's elevation then (up at 0 degrees and above: the count runs to
// LOS). Unset while the selected record predicts nothing.
struct CountdownState {
    std::chrono::sys_seconds Now;
    double SatElevation = -1;
};

class TrackingSession : public QObject {
    Q_OBJECT
public:
    TrackingSession(const Clock& clock, EventLog& log, QObject* parent = nullptr);

    // Links to the station's devices; any may be null (then skipped).
    void SetLinks(ReceiverLink* receiver, RotorLink* rotor, TimeSyncLink* timeSync);
    // Whether start-up stops without DOPPLERFILE (the window's rule). A
    // station that only tracks starts anyway: the receiver link logs that
    // it has no frequencies and the frequency display stays empty.
    void SetFrequencyListRequired(bool required) { m_frequencyListRequired = required; }

    // The whole start-up: reads appDir/sat.ini, applies the rotor settings,
    // logs the rotor line, loads the TLE file, chooses satellite 1 (frequency
    // rows, pass list, next pass, plot), loads the frequency rows again, starts
    // the clock synchronisation when TIMESERVER is set and last starts Timer1.
    // Throws StartupError; its Messages() are the boxes to show, in order (the
    // matching plain log lines are already written).
    void Startup(const QString& appDir);
    // The same start-up from the settings file at iniPath, whatever its name
    // (a second station's file); relative file names in it are taken from
    // its folder.
    void StartupFromIni(const QString& iniPath);

    // The satellite-choice flow for list position index (0 = record 1): select
    // the element set, load its frequency rows, build the pass list, search the
    // next AOS/LOS and make the plot data. Out-of-range positions are ignored.
    // A record that lacks one of its element lines predicts nothing: it is
    // reported in the event log, the panel, countdown, pass list and plot are
    // emptied and the ticks skip it until another satellite is chosen.
    void ChooseSatellite(int index);

    // One tick of Timer1. Never throws: a failing tick is logged once (timed)
    // and the next tick runs. A set the orbit theory cannot carry to now (SGP4
    // on a set that has decayed) still ticks: clock and countdown go on, the
    // panel's satellite fields stay empty with the reason under Info, and the
    // log says it once until the satellite or the theory changes.
    void TrackingTick();

    // "Open Kep File": loads path as the new catalogue and chooses its first
    // satellite; the file already loaded, read again, keeps the chosen
    // satellite when it is still there (same catalogue number, else same name). A file that cannot
    // be read or holds no complete element set (only name lines, say a text file chosen by mistake)
    // is reported in the event log and the previous list stays; returns false then.
    bool OpenElementFile(const QString& path);
    // Loads TleFilePath again (after the element update replaced it),
    // keeping the chosen satellite as OpenElementFile does.
    bool ReloadElementFile();

    // Stops the tracking (window closing).
    void Stop();

    // The theory that predicts: ORBIT_MODEL at start-up, then the operator's
    // choice. Switching rebuilds the pass list, next pass and plot of the
    // selected satellite. A set the new theory refuses keeps the old one: the
    // model's reason is logged once and false returned.
    OrbitModelKind ModelKind() const { return m_modelKind; }
    bool SetOrbitModel(OrbitModelKind kind);

    const Configuration& Config() const { return m_config; }
    const Station& StationPosition() const { return m_station; }
    // Names of the window's satellite list: the first SatTable::ListCapacity
    // records (the load's log line says how many more the table holds).
    QStringList SatelliteNames() const;
    int SelectedIndex() const { return m_selected; }
    QString SelectedName() const;
    const SatTable& Table() const { return m_table; }
    const ElementSet& CurrentElements() const { return m_elements; }
    // Element lines of the selected set (Label1_0, Label1_1).
    QString ElementLine1() const;
    QString ElementLine2() const;
    // Written by the receiver layer (frequency rows, offset, frequency window).
    FrequencyState& Frequency() { return m_frequency; }
    const FrequencyState& Frequency() const { return m_frequency; }
    // The pass of the last search: unset when it found no AOS (or no LOS).
    std::optional<std::chrono::sys_seconds> AosTime() const { return m_aosTime; }
    std::optional<std::chrono::sys_seconds> LosTime() const { return m_losTime; }
    // The state of the last tick (or of the satellite choice before the first).
    const SatelliteState& State() const { return m_state; }
    // The receiver's frequency at the last tick: the tuned frequency moved by
    // the Doppler shift of the satellite's range rate (kHz).
    double CorrectedFreqKHz() const { return m_correctedFreqKHz; }
    // Why the orbit theory (ModelKind()) refused the selected set at the last
    // tick; empty while it predicts.
    const QString& Refusal() const { return m_refusal; }
    const std::optional<CountdownState>& Countdown() const { return m_countdown; }
    const TrackedPass& Pass() const { return m_pass; }
    // The 24-hour pass list of the selected satellite.
    const PassList& Passes() const { return m_passList; }
    // The tick timer ("Timer1"): TrackingTick at every timeout.
    QTimer& TickTimer() { return m_timer; }
    bool IsBusy() const { return m_busy; }

signals:
    void satelliteListChanged(const QStringList& names, int selected);
    void elementLinesChanged(const QString& line1, const QString& line2);
    // Start-up has read the station (Config() holds it).
    void stationChanged();
    // The end of start-up has loaded the frequency rows of the first satellite.
    void frequencyLoaded();
    // A tick computed State() at now (before the devices step).
    void stateComputed(std::chrono::sys_seconds now);
    // A tick at now found the set refused by the theory (Refusal() says why).
    void stateRefused(std::chrono::sys_seconds now);
    // The selected record predicts nothing: nothing of it is known.
    void predictionCleared();
    void countdownChanged();
    void passChanged();
    // A mark at secondsToLos before the LOS (x = ScaleWidth - PlotXScale *
    // secondsToLos) and elevation degrees, while the satellite is up.
    void plotMark(long long secondsToLos, double elevation);
    void passListChanged();
    void busyChanged(bool busy); // hourglass
    // The theory now predicting, by OrbitModelName ("Plan13", "SGP4").
    void orbitModelChanged(const QString& name);
    // A tick computed the selected satellite at now: State() holds it.
    void satelliteComputed(std::chrono::sys_seconds now);

private:
    class BusyHold;
    [[noreturn]] void FailMissingFileNames();
    void StartupSteps();
    void LoadCatalogueAtStartup();
    void CheckFrequencyFile();
    QString IniFileText() const; // the settings file's whole path, for messages
    void ReportIgnoredLines(const TleLoad& load, const QString& path);
    void ShowNoPrediction();
    void ClearPass();
    void ShowRefusal(std::chrono::sys_seconds now, const OrbitError& error);
    void ReportRefusal(const OrbitError& error);
    void SearchNextPassInTick(std::chrono::sys_seconds now);
    const OrbitModel& Model();
    void PredictPasses();
    void SearchNextPass(std::chrono::sys_seconds now);
    bool PassSearchDue(std::chrono::sys_seconds now) const;
    void RunTick();

    const Clock& m_clock;
    EventLog& m_log;
    ReceiverLink* m_receiver = nullptr;
    RotorLink* m_rotor = nullptr;
    TimeSyncLink* m_timeSync = nullptr;

    Configuration m_config;
    Station m_station;
    SatTable m_table;
    int m_selected = -1;
    ElementSet m_elements;
    // The selected satellite seen from the station, prepared for the ticks;
    // emptied whenever the element set or the station changes.
    std::optional<OrbitModel> m_model;
    OrbitModelKind m_modelKind = OrbitModelKind::Plan13;
    FrequencyState m_frequency;

    std::optional<std::chrono::sys_seconds> m_aosTime;
    std::optional<std::chrono::sys_seconds> m_losTime;
    std::optional<std::chrono::sys_seconds> m_lastFruitlessSearch;
    SatelliteState m_state;
    double m_correctedFreqKHz = 0;
    QString m_refusal;
    std::optional<CountdownState> m_countdown;
    TrackedPass m_pass;
    PassList m_passList;
    QString m_lastTickError;
    bool m_refusalLogged = false; // the theory's refusal of this set is in the log
    bool m_predicting = false; // the selected record has both element lines
    bool m_busy = false;
    int m_busyDepth = 0;
    bool m_starting = false;
    bool m_frequencyListRequired = true;
    QTimer m_timer;
};

} // namespace aostrack
