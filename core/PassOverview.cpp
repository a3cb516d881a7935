#include "core/PassOverview.h"

#include "orbit/Clock.h"
#include "orbit/Engine.h"

#include <QCoreApplication>
#include <QtConcurrent/QtConcurrentRun>

namespace aostrack {

using namespace std::chrono;

PassOverview::PassOverview(const Clock& clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
{
    connect(&m_watcher, &QFutureWatcherBase::finished, this, &PassOverview::Finished);
}

PassOverview::~PassOverview()
{
    // The worker reads only its own copy of the job, but its result would
    // come back to a gone object.
    m_watcher.waitForFinished();
}

void PassOverview::SetCatalogue(const SatTable& table)
{
    m_sets.clear();
    m_indexes.clear();
    m_names.clear();
    for (int i = 1; i <= table.SatCount(); ++i) {
        const SatRecord& r = table.Record(i);
        // Two-line records need both lines; OMM records (CSV, JSON, XML)
        // carry no lines and are whole sets.
        if (!r.HasElementSet())
            continue;
        m_sets.push_back(r.Elements);
        m_indexes.push_back(i - 1);
        m_names << QString::fromStdString(r.SatName);
    }
    m_catalogueChanged = true;
}

void PassOverview::Check(const Station& station, OrbitModelKind kind)
{
    if (m_sets.empty() && !m_catalogueChanged)
        return;
    const sys_seconds hour = floor<hours>(m_clock.UtcNow());
    if (!m_catalogueChanged && m_station == station && m_kind == kind && m_startedHour == hour)
        return;
    if (m_watcher.isRunning()) {
        m_queued = true;
        m_queuedStation = station;
        m_queuedKind = kind;
        return;
    }
    Start(station, kind);
}

void PassOverview::Start(const Station& station, OrbitModelKind kind)
{
    Job job { m_sets, m_indexes, m_names, station, kind, m_clock.UtcNow() };
    m_catalogueChanged = false;
    m_station = station;
    m_kind = kind;
    m_startedHour = floor<hours>(job.Start);
    m_watcher.setFuture(QtConcurrent::run([job = std::move(job)] { return Work(job); }));
}

PassOverview::Outcome PassOverview::Work(const Job& job)
{
    Outcome out;
    out.Start = job.Start;
    const std::vector<SatellitePasses> found
        = FindUpcomingPasses(job.Sets, job.Where, job.Start, UpcomingWindow, 0, job.Kind);
    for (std::size_t k = 0; k < found.size(); ++k) {
        if (found[k].Presence == SkyPresence::AlwaysInView)
            out.Always << job.Names[static_cast<qsizetype>(k)];
        else if (found[k].Presence == SkyPresence::NeverInView)
            out.Never << job.Names[static_cast<qsizetype>(k)];
    }
    for (const UpcomingPass& p : SortedByAos(found)) {
        const auto k = static_cast<std::size_t>(p.Satellite);
        out.Rows.push_back({ job.Indexes[k], job.Names[static_cast<qsizetype>(k)], p });
    }
    return out;
}

void PassOverview::Finished()
{
    Outcome out = m_watcher.result();
    m_rows = std::move(out.Rows);
    m_always = std::move(out.Always);
    m_never = std::move(out.Never);
    m_shownStart = out.Start;
    emit rowsChanged();
    if (m_queued) {
        m_queued = false;
        Check(*m_queuedStation, m_queuedKind);
    }
}

void PassOverview::WaitForIdle()
{
    while (m_watcher.isRunning() || m_queued) {
        m_watcher.waitForFinished();
        // Delivers the finished signal (and starts a queued run).
        QCoreApplication::sendPostedEvents(&m_watcher);
        QCoreApplication::processEvents();
    }
}

SkyPass SkyPassOf(const ElementSet& elements, const Station& station,
    std::optional<sys_seconds> aosTime, std::optional<sys_seconds> losTime, OrbitModelKind kind)
{
    SkyPass pass;
    if (!aosTime || !losTime || *losTime < *aosTime)
        return pass;
    try {
        pass.Track = SkyTrack(elements, station, *aosTime, *losTime, 10, kind);
    } catch (const OrbitError&) {
        return pass;
    }
    if (!pass.Track.empty()) {
        pass.Aos = pass.Track.front();
        pass.Los = pass.Track.back();
    }
    return pass;
}

} // namespace aostrack
