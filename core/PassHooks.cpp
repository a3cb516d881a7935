#include "core/PassHooks.h"

#include "core/EventLog.h"
#include "core/Tracker.h"
#include "passes/Passes.h"

#include <QProcess>
#include <algorithm>

namespace aostrack {

using namespace std::chrono;

namespace {

QString Utc(sys_seconds t)
{
    const sys_days day = floor<days>(t);
    const year_month_day date { day };
    const hh_mm_ss hms { t - day };
    return QString::asprintf("%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
        static_cast<int>(hms.seconds().count()));
}

} // namespace

PassHooks::PassHooks(
    const Tracker& tracker, EventLog& log, QString onAos, QString onLos, QObject* parent)
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

void PassHooks::Run(const QString& which, const QString& command, const PassEvent& event)
{
    const int index = m_tracker.SelectedIndex();
    const SatRecord& record = m_tracker.Table().Record(index + 1);
    // The highest second of the pass: the plot's track when it is this pass
    // (always so at AOS), else worked out (a LOS the next search overtook).
    double maxEl = 0;
    const PassPlotData& plot = m_tracker.Plot();
    if (plot.AosTime == event.AosTime && !plot.Elevations.empty()) {
        maxEl = *std::max_element(plot.Elevations.begin(), plot.Elevations.end());
    } else if (event.LosTime) {
        try {
            const std::vector<double> track = PassTrack(m_tracker.CurrentElements(),
                m_tracker.StationPosition(), event.AosTime, *event.LosTime, m_tracker.ModelKind());
            if (!track.empty())
                maxEl = *std::max_element(track.begin(), track.end());
        } catch (const std::exception&) {
            maxEl = 0;
        }
    }
    const int catalogNumber = record.Elements.CatalogNumber;
    const std::optional<int> norad
        = catalogNumber > 0 ? std::optional<int>(catalogNumber) : std::nullopt;

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("AOSTRACK_SAT"), m_tracker.SelectedName());
    env.insert(QStringLiteral("AOSTRACK_NORAD"), norad ? QString::number(*norad) : QString());
    env.insert(QStringLiteral("AOSTRACK_AOS"), Utc(event.AosTime));
    env.insert(QStringLiteral("AOSTRACK_LOS"), event.LosTime ? Utc(*event.LosTime) : QString());
    env.insert(QStringLiteral("AOSTRACK_MAX_EL"), QString::number(maxEl, 'f', 2));

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
