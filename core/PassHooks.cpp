#include "core/PassHooks.h"

#include "core/UtcText.h"

#include "core/EventLog.h"
#include "core/TrackingSession.h"
#include "passes/Passes.h"

#include <QProcess>
#include <algorithm>

namespace aostrack {

using namespace std::chrono;

PassHooks::PassHooks(
    const TrackingSession& tracker, EventLog& log, QString onAos, QString onLos, QObject* parent)
    : QObject(parent)
    , m_tracker(tracker)
    , m_log(log)
    , m_onAos(std::move(onAos))
    , m_onLos(std::move(onLos))
{
}

PassHooks::~PassHooks()
{
    for (QProcess* process : findChildren<QProcess*>()) {
        if (process->state() != QProcess::NotRunning)
            process->waitForFinished(3000);
    }
}

void PassHooks::Tick(sys_seconds now)
{
    for (const PassEvent& event : m_alarm.Step(now, m_tracker.AosTime(), m_tracker.LosTime())) {
        if (event.Kind == PassEventKind::Aos && !m_onAos.isEmpty())
            Run(QStringLiteral("on-aos"), m_onAos, event);
        else if (event.Kind == PassEventKind::Los && !m_onLos.isEmpty())
            Run(QStringLiteral("on-los"), m_onLos, event);
    }
}

double PassHooks::MaxElevation(const PassEvent& event) const
{
    // The highest second of the pass: the plot's track when it is this pass
    // (always so at AOS), else worked out (a LOS the next search overtook).
    const TrackedPass& plot = m_tracker.Pass();
    if (plot.AosTime == event.AosTime && !plot.Elevations.empty())
        return *std::max_element(plot.Elevations.begin(), plot.Elevations.end());
    if (!event.LosTime)
        return 0;
    try {
        const OrbitModel model(
            m_tracker.CurrentElements(), m_tracker.StationPosition(), m_tracker.ModelKind());
        const std::vector<double> track = PassTrack(model, event.AosTime, *event.LosTime);
        return track.empty() ? 0 : *std::max_element(track.begin(), track.end());
    } catch (const std::exception&) {
        return 0;
    }
}

QProcessEnvironment PassHooks::EventEnvironment(const PassEvent& event) const
{
    const int index = m_tracker.SelectedIndex();
    const SatRecord& record = m_tracker.Table().Record(index + 1);
    const int catalogNumber = record.Elements.CatalogNumber;
    const std::optional<int> norad
        = catalogNumber > 0 ? std::optional<int>(catalogNumber) : std::nullopt;

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("AOSTRACK_SAT"), m_tracker.SelectedName());
    env.insert(QStringLiteral("AOSTRACK_NORAD"), norad ? QString::number(*norad) : QString());
    env.insert(QStringLiteral("AOSTRACK_AOS"), UtcInstantText(event.AosTime));
    env.insert(
        QStringLiteral("AOSTRACK_LOS"), event.LosTime ? UtcInstantText(*event.LosTime) : QString());
    env.insert(QStringLiteral("AOSTRACK_MAX_EL"), QString::number(MaxElevation(event), 'f', 2));
    return env;
}

void PassHooks::Run(const QString& which, const QString& command, const PassEvent& event)
{
    const QProcessEnvironment env = EventEnvironment(event);
    auto* process = new QProcess(this);
    process->setProcessEnvironment(env);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ++m_running;
    connect(process, &QProcess::finished, this,
        [this, process, which](int exitCode, QProcess::ExitStatus status) {
            --m_running;
            m_log.LogEvent(status == QProcess::NormalExit
                    ? QStringLiteral(": %1 command exited with status %2").arg(which).arg(exitCode)
                    : QStringLiteral(": %1 command crashed").arg(which),
                true);
            process->deleteLater();
        });
    connect(process, &QProcess::errorOccurred, this,
        [this, process, which](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            --m_running;
            m_log.LogEvent(
                QStringLiteral(": %1 command did not start: %2").arg(which, process->errorString()),
                true);
            process->deleteLater();
        });
    m_log.LogEvent(
        QStringLiteral(": %1 command for %2").arg(which, m_tracker.SelectedName()), true);
#ifdef _WIN32
    process->start(QStringLiteral("cmd.exe"), { QStringLiteral("/c"), command });
#else
    process->start(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), command });
#endif
}

} // namespace aostrack
