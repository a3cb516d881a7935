#pragma once
// The tracking core: start-up from sat.ini, the satellite catalogue and the
// selected satellite, the 250 ms tracking tick (data panel, plot mark,
// countdown, end-of-pass search, rotor step, receiver step), the 24-hour pass
// list and the pass plot data. The window and the terminal view both sit on
// top of it: they show what its signals carry and forward the operator's
// choices. One thread; everything runs on the Qt event loop.
#include "core/Configuration.h"
#include "core/DataPanel.h"
#include "core/FrequencyState.h"
#include "orbit/ElementSet.h"
#include "orbit/Engine.h"
#include "orbit/SatelliteState.h"
#include "orbit/Station.h"

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

// The pass the plot shows: the elevation (degrees) at AosTime + s for each
// second s = 0..D of the pass; empty when no pass is known (or the stored LOS
// lies before the AOS).
struct PassPlotData {
    std::optional<std::chrono::sys_seconds> AosTime;
    std::optional<std::chrono::sys_seconds> LosTime;
    std::vector<double> Elevations;
    // Label19: D / 60 in "0.0" and " min" ("12,0 min" in German); empty without a pass.
    QString DurationText;

    // D, whole seconds from AOS to LOS; 0 without a pass.
    long long DurationSeconds() const;
    bool operator==(const PassPlotData&) const = default;
};

class Tracker : public QObject {
    Q_OBJECT
public:
    Tracker(const Clock& clock, EventLog& log, QObject* parent = nullptr);

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
    const DataPanelTexts& Panel() const { return m_panel; }
    const PassPlotData& Plot() const { return m_plot; }
    const QStringList& PassListLines() const { return m_passLines; }
    QString CountdownText() const { return m_countdown; }
    QString QthText() const;
    // The tick timer ("Timer1"): TrackingTick at every timeout.
    QTimer& TickTimer() { return m_timer; }
    bool IsBusy() const { return m_busy; }

    // "Time to AOS: " / "Time to LOS: " and the count; "--:--:--" without a pass.
    static QString CountdownText(double satElevation, std::chrono::sys_seconds now,
        std::optional<std::chrono::sys_seconds> aosTime,
        std::optional<std::chrono::sys_seconds> losTime);

signals:
    void satelliteListChanged(const QStringList& names, int selected);
    void elementLinesChanged(const QString& line1, const QString& line2);
    void qthTextChanged(const QString& text); // Label5
    // The end of start-up shows the tuned frequency (Text3, "0.000") and the
    // offset (Text4, "0.00").
    void frequencyTextsChanged(const QString& tunedText, const QString& offsetText);
    void panelChanged(const aostrack::DataPanelTexts& texts);
    void countdownChanged(const QString& text); // Label8
    void passChanged(const aostrack::PassPlotData& plot); // Picture1, Label19
    // A mark at secondsToLos before the LOS (x = ScaleWidth - PlotXScale *
    // secondsToLos) and elevation degrees, while the satellite is up.
    void plotMark(long long secondsToLos, double elevation);
    void passListChanged(const QStringList& lines); // List1
    void busyChanged(bool busy); // hourglass
    // The theory now predicting, by OrbitModelName ("Plan13", "SGP4").
    void orbitModelChanged(const QString& name);
    // A tick computed the selected satellite at now: State() holds it.
    void satelliteComputed(std::chrono::sys_seconds now);

private:
    class BusyHold;
    [[noreturn]] void FailMissingFileNames();
    QString IniFileText() const; // the settings file's whole path, for messages
    void ReportIgnoredLines(const TleLoad& load, const QString& path);
    void ShowNoPrediction();
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
    DataPanelTexts m_panel;
    DataPanelMemory m_panelMemory;
    PassPlotData m_plot;
    QStringList m_passLines;
    QString m_countdown;
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

Q_DECLARE_METATYPE(aostrack::PassPlotData)
