#include "core/TrackingSession.h"

#include "core/DataPanel.h"
#include "core/ElementFile.h"
#include "core/EventLog.h"
#include "core/StationLinks.h"
#include "core/TextExcerpt.h"
#include "orbit/Clock.h"
#include "orbit/Engine.h"
#include "orbit/Omm.h"
#include "orbit/Tle.h"
#include "passes/Passes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

namespace aostrack {

using std::chrono::sys_seconds;

long long TrackedPass::DurationSeconds() const
{
    if (!AosTime || !LosTime || *LosTime < *AosTime)
        return 0;
    return (*LosTime - *AosTime).count();
}

namespace {

const char* const kNoTleLog = "*** ERROR *** no TLE file found !";
const char* const kNoDopplerLog = "*** ERROR *** no doppler.sql file found !";

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

// A record predicts only from a whole set: a name alone would propagate
// zeros, and line 2 alone an epoch of zero, decades away.
bool HasElementLines(const SatRecord& record)
{
    return record.HasElementSet();
}

bool HoldsElementSet(const SatTable& table)
{
    for (int index = 1; index <= table.SatCount(); ++index) {
        if (HasElementLines(table.Record(index)))
            return true;
    }
    return false;
}

// Position of the satellite `kept` in table: same catalogue number first,
// else the same name; 0 when it is no longer there.
int PositionOf(const SatTable& table, const SatRecord& kept)
{
    // The catalogue number stays when a satellite is renamed in a newer file
    // ("RS-44 & BREEZE-KM R/B" has been "DOSAAF-85" before); 0 is unknown.
    const int number = kept.Elements.CatalogNumber;
    if (number > 0) {
        for (int index = 1; index <= table.SatCount(); ++index) {
            if (table.Record(index).Elements.CatalogNumber == number)
                return index - 1;
        }
    }
    for (int index = 1; index <= table.SatCount(); ++index) {
        if (table.Record(index).SatName == kept.SatName)
            return index - 1;
    }
    return 0;
}

QString WhyNotAFile(const QString& path)
{
    return QFileInfo::exists(path) ? QStringLiteral("%1 is not a file").arg(path)
                                   : QStringLiteral("%1 does not exist").arg(path);
}

} // namespace

// Long computations (pass list, search, plot track) hold Timer1 and show the
// hourglass; nested ones share the outermost hold.
class TrackingSession::BusyHold {
public:
    explicit BusyHold(TrackingSession& tracker)
        : m_tracker(tracker)
    {
        if (m_tracker.m_busyDepth++ == 0) {
            m_restartTimer = m_tracker.m_timer.isActive();
            m_tracker.m_timer.stop();
            m_tracker.m_busy = true;
            emit m_tracker.busyChanged(true);
        }
    }
    ~BusyHold()
    {
        if (--m_tracker.m_busyDepth == 0) {
            m_tracker.m_busy = false;
            emit m_tracker.busyChanged(false);
            if (m_restartTimer)
                m_tracker.m_timer.start();
        }
    }
    BusyHold(const BusyHold&) = delete;
    BusyHold& operator=(const BusyHold&) = delete;

private:
    TrackingSession& m_tracker;
    bool m_restartTimer = false;
};

TrackingSession::TrackingSession(const Clock& clock, EventLog& log, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_log(log)
    , m_timer(this)
{
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(TrackingIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &TrackingSession::TrackingTick);
}

void TrackingSession::SetLinks(ReceiverLink* receiver, RotorLink* rotor, TimeSyncLink* timeSync)
{
    m_receiver = receiver;
    m_rotor = rotor;
    m_timeSync = timeSync;
}

void TrackingSession::FailMissingFileNames()
{
    // Each box says which line to add, and to which file.
    const QString ini = IniFileText();
    QStringList boxes;
    if (m_config.TleFilePath.isEmpty()) {
        m_log.LogEvent(QString::fromLatin1(kNoTleLog), false);
        boxes << QStringLiteral("No TLE file found: add a line TLEFILE=amateur.txt (your element "
                                "file) to %1")
                     .arg(ini);
    }
    if (m_config.DopplerFileName.isEmpty() && m_frequencyListRequired) {
        m_log.LogEvent(QString::fromLatin1(kNoDopplerLog), false);
        boxes << QStringLiteral(
            "No doppler.sql file found: add a line DOPPLERFILE=doppler.sql to %1")
                     .arg(ini);
    }
    throw StartupError(boxes);
}

QString TrackingSession::IniFileText() const
{
    return QDir::toNativeSeparators(QFileInfo(m_config.IniPath).absoluteFilePath());
}

void TrackingSession::Startup(const QString& appDir)
{
    // The program's own folder, never the working directory.
    StartupFromIni(QDir(appDir).filePath(QStringLiteral("sat.ini")));
}

void TrackingSession::StartupFromIni(const QString& iniPath)
{
    m_starting = true;
    try {
        m_config = ReadConfigurationAt(iniPath, m_log);
        StartupSteps();
    } catch (const StartupError&) {
        m_starting = false;
        throw;
    } catch (const std::exception& error) {
        m_starting = false;
        throw StartupError(QString::fromUtf8(error.what()));
    }
    m_starting = false;
    m_timer.start();
}

void TrackingSession::StartupSteps()
{
    // The serial settings are applied as they are read, before the log line.
    if (m_rotor)
        m_rotor->ApplyConfiguration(m_config);
    if (RotorConfigured(m_config))
        m_log.LogEvent(RotorLogLine(m_config), false);
    emit stationChanged();
    m_station = Station { m_config.StationLat, m_config.StationLon, m_config.StationHeight };
    m_model.reset();
    m_modelKind = m_config.OrbitModelChoice;
    emit orbitModelChanged(QString::fromLatin1(OrbitModelName(m_modelKind)));

    LoadCatalogueAtStartup();
    CheckFrequencyFile();

    emit satelliteListChanged(SatelliteNames(), 0);
    ChooseSatellite(0);

    m_elements = SelectSatellite(m_table, 1);
    m_model.reset();
    if (m_receiver)
        m_receiver->LoadFrequencyList(SelectedName());
    emit frequencyLoaded();

    if (!m_config.TimeServerHost.isEmpty() && m_timeSync)
        m_timeSync->StartTimeSync(m_config.TimeServerHost);
}

void TrackingSession::LoadCatalogueAtStartup()
{
    if (m_config.TleFilePath.isEmpty())
        FailMissingFileNames();
    if (!QFileInfo(m_config.TleFilePath).isFile()) {
        m_log.LogEvent(QString::fromLatin1(kNoTleLog), false);
        throw StartupError(QStringLiteral("No TLE file found: %1: correct TLEFILE in %2")
                               .arg(WhyNotAFile(m_config.TleFilePath), IniFileText()));
    }
    TleLoad load = LoadTleFile(m_config.TleFilePath);
    // Refused records first: they may be why nothing is left.
    ReportIgnoredLines(load, m_config.TleFilePath);
    if (!HoldsElementSet(load.Table))
        throw StartupError(
            QStringLiteral("TLE file %1 holds no element set").arg(m_config.TleFilePath));
    m_table = std::move(load.Table);
}

void TrackingSession::CheckFrequencyFile()
{
    if (m_config.DopplerFileName.isEmpty() && m_frequencyListRequired)
        FailMissingFileNames();
    if (!m_config.DopplerFileName.isEmpty() && !QFileInfo(m_config.DopplerFileName).isFile()) {
        m_log.LogEvent(QString::fromLatin1(kNoDopplerLog), false);
        throw StartupError(
            QStringLiteral("No doppler.sql file found: %1: correct DOPPLERFILE in %2")
                .arg(WhyNotAFile(m_config.DopplerFileName), IniFileText()));
    }
}

void TrackingSession::ReportIgnoredLines(const TleLoad& load, const QString& path)
{
    if (load.Table.SatCount() > SatTable::ListCapacity)
        m_log.LogEvent(
            QStringLiteral(": %1: %2 satellites beyond the first %3 left out of the satellite list "
                           "(the upcoming passes take them all)")
                .arg(path)
                .arg(load.Table.SatCount() - SatTable::ListCapacity)
                .arg(SatTable::ListCapacity),
            true);
    if (load.IgnoredElementLines > 0)
        m_log.LogEvent(QStringLiteral(": %1 line %2: %3 element lines without a name line ignored")
                           .arg(path)
                           .arg(load.FirstIgnoredLine)
                           .arg(load.IgnoredElementLines),
            true);
    // One line per damaged record, but a wholly damaged file must not bury
    // the log: the first few name their line and field, a count follows.
    constexpr std::size_t shown = 10;
    const std::string file = path.toStdString();
    auto report = [&](const std::vector<TleRecordIssue>& issues, const QString& verdict) {
        for (std::size_t i = 0; i < issues.size() && i < shown; ++i)
            m_log.LogEvent(
                QStringLiteral(": %1 (%2)")
                    .arg(QString::fromStdString(DescribeTleIssue(file, issues[i])), verdict),
                true);
        if (issues.size() > shown)
            m_log.LogEvent(QStringLiteral(": %1: %2 more (%3)")
                               .arg(path)
                               .arg(issues.size() - shown)
                               .arg(verdict),
                true);
    };
    report(load.Refused, QStringLiteral("record refused"));
    report(load.Warnings, QStringLiteral("warning, record kept"));
}

void TrackingSession::ChooseSatellite(int index)
{
    if (index < 0 || index >= m_table.SatCount())
        return;
    // SGP4 refuses some sets outright (decayed, eccentricity past 1 after
    // drag): the satellite being tracked stays, the reason goes to the log.
    if (m_selected >= 0 && m_modelKind == OrbitModelKind::Sgp4
        && HasElementLines(m_table.Record(index + 1))) {
        try {
            const OrbitModel check(m_table.Record(index + 1).Elements, m_station, m_modelKind);
        } catch (const OrbitError& error) {
            m_log.LogEvent(
                QStringLiteral(": %1: %2; %3 kept")
                    .arg(InputExcerpt(QString::fromStdString(m_table.Record(index + 1).SatName)),
                        QString::fromUtf8(error.what()), SelectedName()),
                true);
            emit satelliteListChanged(SatelliteNames(), m_selected);
            return;
        }
    }
    m_selected = index;
    m_elements = SelectSatellite(m_table, index + 1);
    m_model.reset();
    m_refusalLogged = false;
    emit elementLinesChanged(ElementLine1(), ElementLine2());
    m_predicting = HasElementLines(m_table.Record(index + 1));

    if (m_receiver) {
        if (m_starting) {
            m_receiver->LoadFrequencyList(SelectedName());
        } else {
            try {
                m_receiver->LoadFrequencyList(SelectedName());
            } catch (const std::exception& error) {
                m_log.LogEvent(QStringLiteral(": ") + QString::fromUtf8(error.what()), true);
            }
        }
    }

    // The pass times belong to the satellite: a new one whose search fails
    // must not show the previous satellite's pass.
    ClearPass();
    if (!m_predicting) {
        ShowNoPrediction();
        m_log.LogEvent(QStringLiteral(": %1 has no complete element set in %2")
                           .arg(SelectedName(), m_config.TleFilePath),
            true);
        return;
    }

    PredictPasses();
}

void TrackingSession::ClearPass()
{
    m_aosTime.reset();
    m_losTime.reset();
    m_lastFruitlessSearch.reset();
    m_passList = PassList {};
    m_pass = TrackedPass {};
}

void TrackingSession::PredictPasses()
{
    ClearPass();
    BusyHold hold(*this);
    const sys_seconds now = m_clock.UtcNow();
    try {
        m_passList = BuildPassList(Model(), now);
        emit passListChanged();
        SearchNextPass(now);
    } catch (const OrbitError& error) {
        // A set this theory cannot carry to now stops neither start-up nor
        // the ticks: they show the refusal.
        emit passListChanged();
        emit passChanged();
        ReportRefusal(error);
    } catch (const std::exception& error) {
        if (m_starting)
            throw;
        emit passListChanged();
        emit passChanged();
        m_log.LogEvent(
            QStringLiteral(": %1: %2").arg(SelectedName(), QString::fromUtf8(error.what())), true);
    }
}

void TrackingSession::ShowNoPrediction()
{
    // Nothing of the previous satellite may stay on show under the new name.
    m_countdown.reset();
    m_refusal.clear();
    emit predictionCleared();
    emit countdownChanged();
    emit passListChanged();
    emit passChanged();
}

void TrackingSession::SearchNextPass(sys_seconds now)
{
    BusyHold hold(*this);
    // Counts as fruitless until it returns a LOS, also when it fails: the
    // ticks must not start a long search four times a second.
    m_lastFruitlessSearch = now;
    // What the search did not find is unknown, not the passed time of the
    // last pass: a countdown to a LOS that is over would mislead the operator.
    const NextPass next = FindNextPass(Model(), now);
    m_aosTime = next.AosTime;
    m_losTime = next.LosTime;
    if (next.LosTime)
        m_lastFruitlessSearch.reset();

    m_pass = TrackedPass {};
    m_pass.AosTime = m_aosTime;
    m_pass.LosTime = m_losTime;
    std::vector<PassLook> look;
    if (m_aosTime && m_losTime && *m_losTime >= *m_aosTime) {
        // One track serves both the plot (elevations) and the rotor's plan.
        look = PassLookTrack(Model(), *m_aosTime, *m_losTime);
        m_pass.Elevations.reserve(look.size());
        for (const PassLook& at : look)
            m_pass.Elevations.push_back(at.SatElevation);
    }
    if (m_rotor)
        m_rotor->PassAhead(look);
    emit passChanged();
}

bool TrackingSession::PassSearchDue(sys_seconds now) const
{
    // Once the stored LOS has passed (or no pass is known), search; a search
    // that found no end of pass is repeated at most once a minute.
    if (m_losTime && now <= *m_losTime)
        return false;
    // A clock set back by the time synchronisation must not hold the retry.
    return !m_lastFruitlessSearch || now < *m_lastFruitlessSearch
        || now - *m_lastFruitlessSearch >= PassRetryInterval;
}

void TrackingSession::TrackingTick()
{
    if (m_selected < 0 || m_busyDepth > 0 || !m_predicting)
        return;
    try {
        RunTick();
        m_lastTickError.clear();
    } catch (const std::exception& error) {
        // Four ticks a second: report a failure when it starts, not every time.
        const QString text = QString::fromUtf8(error.what());
        if (text != m_lastTickError)
            m_log.LogEvent(QStringLiteral(": tracking: ") + text, true);
        m_lastTickError = text;
    }
}

void TrackingSession::RunTick()
{
    const sys_seconds now = m_clock.UtcNow();
    // The constants of the element set and station are worked out once per
    // choice, not four times a second; a set the engine refuses is refused
    // again at every tick (reported once).
    try {
        m_state = Model().Compute(now, m_frequency.TunedFreq);
    } catch (const OrbitError& error) {
        ShowRefusal(now, error);
        return;
    }
    m_refusal.clear();
    m_correctedFreqKHz = DopplerCorrectedKHz(m_frequency.TunedFreq, m_state.RangeRate);
    emit stateComputed(now);

    if (m_state.SatElevation > 0 && m_losTime)
        emit plotMark((*m_losTime - now).count(), m_state.SatElevation);

    m_countdown = CountdownState { now, m_state.SatElevation };
    emit countdownChanged();

    if (PassSearchDue(now))
        SearchNextPassInTick(now);

    // The steps below act on this tick's own look angles, not on the search's.
    if (m_rotor)
        m_rotor->UpdateRotor(m_state.SatAzimuth, m_state.SatElevation);
    if (m_receiver)
        m_receiver->TuneReceiver(m_correctedFreqKHz);
    emit satelliteComputed(now);
}

void TrackingSession::SearchNextPassInTick(sys_seconds now)
{
    // A set that decays within the search span: the pass stays unknown (the
    // search is retried once a minute) and the rotor and receiver still follow.
    try {
        SearchNextPass(now);
    } catch (const OrbitError& error) {
        emit passChanged();
        ReportRefusal(error);
    }
}

void TrackingSession::ShowRefusal(sys_seconds now, const OrbitError& error)
{
    ReportRefusal(error);
    // Nothing of the satellite is known: no stale numbers, no sky mark, no
    // antenna command (the rotor takes non-finite angles as "send nothing").
    m_state = SatelliteState {};
    m_state.SatAzimuth = std::numeric_limits<double>::quiet_NaN();
    m_state.SatElevation = std::numeric_limits<double>::quiet_NaN();
    const auto* sgp4 = dynamic_cast<const Sgp4Error*>(&error);
    m_refusal
        = QString::fromStdString(sgp4 ? Sgp4ErrorText(sgp4->Code()) : std::string(error.what()));
    m_correctedFreqKHz = 0;
    emit stateRefused(now);
    m_countdown = CountdownState { now, -1 };
    emit countdownChanged();
    if (m_rotor)
        m_rotor->UpdateRotor(m_state.SatAzimuth, m_state.SatElevation);
}

void TrackingSession::ReportRefusal(const OrbitError& error)
{
    // Its text carries the minutes from the epoch, new every few seconds:
    // one line per refusal, not one per tick or search.
    if (m_refusalLogged)
        return;
    m_refusalLogged = true;
    m_log.LogEvent(QStringLiteral(": %1: %2; %3 predicts nothing for this set")
                       .arg(SelectedName(), QString::fromUtf8(error.what()),
                           QString::fromLatin1(OrbitModelName(m_modelKind))),
        true);
}

bool TrackingSession::OpenElementFile(const QString& path)
{
    TleLoad load;
    try {
        if (!QFileInfo(path).isFile())
            throw std::runtime_error(WhyNotAFile(path).toStdString());
        load = LoadTleFile(path);
    } catch (const std::exception& error) {
        m_log.LogEvent(QStringLiteral(": cannot load TLE file: %1; satellite list kept")
                           .arg(QString::fromUtf8(error.what())),
            true);
        return false;
    }
    ReportIgnoredLines(load, path);
    if (!HoldsElementSet(load.Table)) {
        m_log.LogEvent(
            QStringLiteral(": TLE file %1 holds no element set; satellite list kept").arg(path),
            true);
        return false;
    }
    // The same file read again (after an element update, or opened anew)
    // keeps the operator's satellite; another file starts at its first one.
    std::optional<SatRecord> kept;
    if (m_selected >= 0 && m_selected < m_table.SatCount()
        && QFileInfo(path) == QFileInfo(m_config.TleFilePath))
        kept = m_table.Record(m_selected + 1);
    m_table = std::move(load.Table);
    m_config.TleFilePath = path;
    m_selected = -1;
    const int position = kept ? PositionOf(m_table, *kept) : 0;
    emit satelliteListChanged(SatelliteNames(), position);
    ChooseSatellite(position);
    return true;
}

const OrbitModel& TrackingSession::Model()
{
    if (!m_model)
        m_model.emplace(m_elements, m_station, m_modelKind);
    return *m_model;
}

bool TrackingSession::SetOrbitModel(OrbitModelKind kind)
{
    if (kind == m_modelKind)
        return true;
    const QString name = QString::fromLatin1(OrbitModelName(kind));
    if (m_selected >= 0 && m_predicting) {
        try {
            const OrbitModel check(m_elements, m_station, kind);
        } catch (const OrbitError& error) {
            m_log.LogEvent(QStringLiteral(": %1: %2; %3 kept")
                               .arg(SelectedName(), QString::fromUtf8(error.what()),
                                   QString::fromLatin1(OrbitModelName(m_modelKind))),
                true);
            emit orbitModelChanged(QString::fromLatin1(OrbitModelName(m_modelKind)));
            return false;
        }
    }
    m_modelKind = kind;
    m_model.reset();
    m_lastTickError.clear();
    m_refusalLogged = false;
    emit orbitModelChanged(name);
    if (m_selected >= 0 && m_predicting)
        PredictPasses();
    return true;
}

bool TrackingSession::ReloadElementFile()
{
    return OpenElementFile(m_config.TleFilePath);
}

void TrackingSession::Stop()
{
    m_timer.stop();
}

QStringList TrackingSession::SatelliteNames() const
{
    QStringList names;
    const std::vector<std::string> all = m_table.Names();
    const std::size_t shown = std::min<std::size_t>(all.size(), SatTable::ListCapacity);
    for (std::size_t k = 0; k < shown; ++k)
        names << FromUtf8(all[k]);
    return names;
}

QString TrackingSession::SelectedName() const
{
    if (m_selected < 0 || m_selected >= m_table.SatCount())
        return QString();
    return FromUtf8(m_table.Record(m_selected + 1).SatName);
}

QString TrackingSession::ElementLine1() const
{
    if (m_selected < 0)
        return QString();
    return FromUtf8(ShownLines(m_table.Record(m_selected + 1)).first);
}

QString TrackingSession::ElementLine2() const
{
    if (m_selected < 0)
        return QString();
    return FromUtf8(ShownLines(m_table.Record(m_selected + 1)).second);
}

} // namespace aostrack
