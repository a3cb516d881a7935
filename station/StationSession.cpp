#include "station/StationSession.h"

#include "clock/SystemClockSetter.h"
#include "clock/TimeSyncClient.h"
#include "radio/ReceiverController.h"
#include "radio/ReceiverLibrary.h"
#include "rotor/RotorController.h"
#include "station/SimulatedClock.h"
#include "station/StationTransceiver.h"

#include <cmath>

namespace aostrack {

using namespace std::chrono;

// The clock every part of the station reads: the given one or the simulated
// one of a rehearsal. It remembers its last reading, which after a tick is
// the instant the tick computed (a tick reads the clock once, at its start).
class StationSession::SessionClock : public Clock {
public:
    explicit SessionClock(const Clock& base)
        : m_base(base)
    {
    }
    sys_seconds UtcNow() const override
    {
        return m_last = m_simulated ? m_simulated->UtcNow() : m_base.UtcNow();
    }
    int UtcOffsetMinutes() const override { return m_base.UtcOffsetMinutes(); }

    void Simulate(std::optional<sys_seconds> start)
    {
        m_simulated.emplace(start.value_or(m_base.UtcNow()), m_base.UtcOffsetMinutes());
    }
    SimulatedClock* Simulated() { return m_simulated ? &*m_simulated : nullptr; }
    const SimulatedClock* Simulated() const { return m_simulated ? &*m_simulated : nullptr; }
    sys_seconds Last() const { return m_last; }

private:
    const Clock& m_base;
    std::optional<SimulatedClock> m_simulated;
    mutable sys_seconds m_last {};
};

StationSession::StationSession(const Clock& clock, StationOptions options, QObject* parent)
    : QObject(parent)
    , m_clock(std::make_unique<SessionClock>(clock))
    , m_log(*m_clock)
    , m_tracker(*m_clock, m_log)
    , m_texts(m_tracker)
    , m_library(std::make_unique<SharedReceiverLibrary>())
    , m_receiver(std::make_unique<ReceiverController>(m_tracker.Frequency(), m_log, *m_library))
    , m_transceiverWanted(options.TransceiverLink)
{
    // The frequency rows come from DOPPLERFILE of the sat.ini start-up read.
    m_receiver->SetDopplerFileSource([this] { return m_tracker.Config().DopplerFileName; });
    // A converter between receiver and antenna: the receiver is tuned to the dial.
    m_receiver->SetReceiveLoSource([this] { return m_tracker.Config().RigRxLoHz; });
    if (options.RotorLink)
        m_rotor = std::make_unique<RotorController>(m_log);
    if (options.ClockSync) {
        m_clockSetter = std::make_unique<RealSystemClockSetter>();
        m_timeSync = std::make_unique<TimeSyncClient>(m_log, *m_clock, m_clockSetter.get());
    }
    m_tracker.SetLinks(m_receiver.get(), m_rotor.get(), m_timeSync.get());
    m_tracker.SetFrequencyListRequired(options.FrequencyListRequired);

    connect(&m_log, &EventLog::lineAdded, this, &StationSession::logLine);
    // Connected after the tracker's own tick, so this runs once the tick is done.
    connect(&m_tracker.TickTimer(), &QTimer::timeout, this, &StationSession::AfterTick);
    connect(
        &m_tracker, &TrackingSession::satelliteComputed, this, &StationSession::SatelliteComputed);
    connect(&m_tracker, &TrackingSession::elementLinesChanged, this, [this] { m_up.reset(); });
}

StationSession::~StationSession() = default;

void StationSession::Startup(const QString& appDir)
{
    m_receiver->BeginStartup();
    m_tracker.Startup(appDir);
    m_receiver->FinishStartup();
    StartTransceiver();
    m_realElapsed.start();
}

void StationSession::StartupFromIni(const QString& iniPath)
{
    m_receiver->BeginStartup();
    m_tracker.StartupFromIni(iniPath);
    m_receiver->FinishStartup();
    StartTransceiver();
    m_realElapsed.start();
}

void StationSession::SetTickSpeed(double speed, std::optional<sys_seconds> start)
{
    m_speed = speed;
    m_clock->Simulate(start);
    m_tracker.TickTimer().setInterval(static_cast<int>(std::floor(TrackingIntervalMs / speed)));
}

bool StationSession::Simulated() const
{
    return m_clock->Simulated() != nullptr;
}

double StationSession::ElapsedSeconds() const
{
    if (const SimulatedClock* simulated = m_clock->Simulated())
        return duration<double>(simulated->Elapsed()).count();
    return m_realElapsed.isValid() ? static_cast<double>(m_realElapsed.elapsed()) / 1000.0 : 0.0;
}

void StationSession::Stop()
{
    m_tracker.Stop();
    if (m_rotor)
        m_rotor->ClosePort();
}

const Clock& StationSession::StationClock() const
{
    return *m_clock;
}

void StationSession::AfterTick()
{
    const sys_seconds now = m_clock->Last();
    // The simulated clock moves first, so that ElapsedSeconds counts this tick.
    if (SimulatedClock* simulated = m_clock->Simulated())
        simulated->Advance(milliseconds(TrackingIntervalMs));
    emit ticked(now);
}

void StationSession::StartTransceiver()
{
    if (!m_transceiverWanted || m_tracker.Config().RigHost.isEmpty())
        return;
    m_transceiver = std::make_unique<StationTransceiver>(m_tracker.Config());
    connect(m_transceiver.get(), &StationTransceiver::logLine, this,
        [this](const QString& line) { m_log.LogEvent(QStringLiteral(": ") + line, true); });
    m_transceiver->LoadSatellite(
        m_tracker.CurrentElements().CatalogNumber, m_tracker.SelectedName());
    m_transceiver->Open();
}

// Every computed tick: another satellite brings its own transmitters, and
// both dials follow the range rate.
void StationSession::TuneTransceiver()
{
    if (!m_transceiver)
        return;
    if (m_tracker.CurrentElements().CatalogNumber != m_transceiver->CatalogNumber())
        m_transceiver->LoadSatellite(
            m_tracker.CurrentElements().CatalogNumber, m_tracker.SelectedName());
    m_transceiver->Control().Tick(m_tracker.State().RangeRate);
}

void StationSession::SatelliteComputed(sys_seconds now)
{
    TuneTransceiver();
    const bool up = m_tracker.State().SatElevation >= 0;
    const std::optional<bool> before = m_up;
    m_up = up;
    if (!before || *before == up)
        return;
    if (up)
        emit passStarted(now);
    else
        emit passEnded(now);
}

} // namespace aostrack
