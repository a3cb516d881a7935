// track: the tracking cycle in a terminal, the headless station controller.
// The same Tracker as the window runs it; this file only chooses the clock,
// wires the receiver and rotor controllers and shows what the tracker knows,
// as a full-screen panel on a terminal or one plain line per second otherwise.
#include "app/cli/CatalogArgs.h"
#include "app/cli/CliArgs.h"
#include "app/cli/CliConfig.h"
#include "app/cli/Commands.h"
#include "app/cli/SimulatedClock.h"

#include "core/EventLog.h"
#include "core/SystemClock.h"
#include "core/Tracker.h"
#include "radio/ReceiverController.h"
#include "radio/ReceiverLibrary.h"
#if AOSTRACK_CLI_HAS_ROTOR
#include "rotor/RotorController.h"
#endif

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <deque>
#include <functional>
#include <memory>

#ifdef _WIN32
#include <io.h>
#define AOSTRACK_ISATTY _isatty
#define AOSTRACK_STDOUT_FD 1
#define AOSTRACK_STDERR_FD 2
#else
#include <unistd.h>
#define AOSTRACK_ISATTY isatty
#define AOSTRACK_STDOUT_FD STDOUT_FILENO
#define AOSTRACK_STDERR_FD STDERR_FILENO
#endif

namespace aostrack {
namespace {

using namespace std::chrono;

volatile std::sig_atomic_t g_stopRequested = 0;
extern "C" void RequestStop(int)
{
    g_stopRequested = 1;
}

constexpr int kLogLinesShown = 6;
constexpr int kPassLinesShown = 12;
constexpr int kProfileWidth = 48;

// Remembers the instant of the last reading, which is the instant the tick
// that just ran computed (the tick reads the clock once, at its start).
class RecordingClock : public Clock {
public:
    explicit RecordingClock(const Clock& inner)
        : m_inner(inner)
    {
    }
    sys_seconds UtcNow() const override { return m_last = m_inner.UtcNow(); }
    int UtcOffsetMinutes() const override { return m_inner.UtcOffsetMinutes(); }
    sys_seconds Last() const { return m_last; }

private:
    const Clock& m_inner;
    mutable sys_seconds m_last {};
};

struct TrackOptions {
    QString configPath; // the sat.ini read
    QString sat;
    QString norad; // --norad: the catalogue number instead of --sat
    std::optional<sys_seconds> start;
    double speed = 1;
    bool simulated = false;
    std::optional<double> forSeconds;
    bool rotor = false;
    bool receiver = false;
    bool plain = false;
};

QString Help()
{
    return QStringLiteral(
        "Usage: aostrack-cli track [--config FILE] [--sat N|NAME|--norad NUMBER] [--start YYYY-MM-DDTHH:MM:SSZ]\n"
        "                          [--speed N] [--for SECONDS] [--rotor] [--receiver] [--plain]\n"
        "\n"
        "The tracker without a window: the tracking cycle four times a second, the\n"
        "data panel, the countdown to AOS or LOS, the current pass and the passes of\n"
        "the next 24 hours, redrawn once a second. When stdout is not a terminal (or\n"
        "with --plain) one line per second instead. The event log goes to stderr.\n"
        "Ctrl-C ends it; the rotor port is closed and nothing more is sent.\n"
        "\n"
        "  --config FILE    the station's sat.ini (default: sat.ini beside aostrack-cli);\n"
        "                   relative file names in it are taken from its folder\n"
        "  --sat N|NAME     record number (1 = first) or the exact satellite name\n"
        "                   (default: the first satellite of the file)\n"
        "  --norad NUMBER   the satellite with this catalogue number instead\n"
        "  --start TIME     run on a simulated clock from this UTC instant\n"
        "  --speed N        simulated seconds per real second (0.1 to 10000; default 1);\n"
        "                   every simulated second is still computed and shown\n"
        "  --for SECONDS    end after this much (simulated) time\n"
        "  --rotor          switch the EasyComm rotor link on (as the menu item does):\n"
        "                   the antenna follows every tick and parks after the pass\n"
        "  --receiver       tick \"track\": tune the receiver every tick\n"
        "  --plain          one line per second even on a terminal\n"
        "Exit code 1 when --rotor or --receiver cannot reach its device (the event\n"
        "log says why), 2 for bad arguments or a sat.ini that stops start-up.\n"
        "The clock is never set from TIMESERVER here; see 'aostrack-cli timesync'.\n"
        "\n"
        "Examples:\n"
        "  aostrack-cli track --sat \"ISS (ZARYA)\"\n"
        "  aostrack-cli track --sat 12 --start 2024-02-12T13:17:00Z --speed 10 --for 900\n");
}

TrackOptions ReadOptions(const ParsedArgs& args)
{
    TrackOptions o;
    o.configPath = CliConfigPath(args.Value(QStringLiteral("--config")));
    o.sat = args.Value(QStringLiteral("--sat")).trimmed();
    o.norad = args.Value(QStringLiteral("--norad"));
    if (args.Has(QStringLiteral("--sat")) && args.Has(QStringLiteral("--norad")))
        throw UsageError(QStringLiteral("--sat and --norad: give one of them"));
    if (args.Has(QStringLiteral("--start")))
        o.start = ParseUtcInstant(args.Value(QStringLiteral("--start")), QStringLiteral("--start"));
    if (args.Has(QStringLiteral("--speed")))
        o.speed = ParseNumberInRange(
            args.Value(QStringLiteral("--speed")), QStringLiteral("--speed"), 0.1, 10000);
    o.simulated = o.start.has_value() || args.Has(QStringLiteral("--speed"));
    if (args.Has(QStringLiteral("--for"))) {
        o.forSeconds = ParseNumberInRange(
            args.Value(QStringLiteral("--for")), QStringLiteral("--for"), 1, 1e9);
    }
    o.rotor = args.Has(QStringLiteral("--rotor"));
    o.receiver = args.Has(QStringLiteral("--receiver"));
    o.plain = args.Has(QStringLiteral("--plain"));
    return o;
}

// List position (0-based) of --sat among the loaded names.
int ChosenIndex(const QString& sat, const QStringList& names, const QString& tlePath)
{
    if (sat.isEmpty())
        return 0;
    bool allDigits = true;
    for (const QChar c : sat)
        allDigits = allDigits && c.isDigit();
    if (allDigits) {
        bool ok = false;
        const int record = sat.toInt(&ok);
        if (!ok || record < 1 || record > names.size())
            throw UsageError(
                QStringLiteral("--sat: record %1 is not in %2 (it holds records 1 to %3)")
                    .arg(sat, tlePath)
                    .arg(names.size()));
        return record - 1;
    }
    const qsizetype index = names.indexOf(sat);
    if (index < 0)
        throw UsageError(
            QStringLiteral("--sat: no satellite named \"%1\" in %2").arg(sat, tlePath));
    return static_cast<int>(index);
}

// Caption and value in a column of the given visible width; the value may be
// wrapped in ANSI colours (prefix, suffix), which take no room on the screen.
QString Column(const QString& caption, const QString& value, int width, const QString& prefix = {},
    const QString& suffix = {})
{
    const QString plain = QStringLiteral("%1 ").arg(caption, -13) + value;
    const QString padding(std::max<qsizetype>(0, width - plain.size()), QLatin1Char(' '));
    return QStringLiteral("%1 ").arg(caption, -13) + prefix + value + suffix + padding;
}

// The pass profile as one row of block characters, the satellite's place
// below it.
QStringList ProfileRows(const PassPlotData& plot, sys_seconds now)
{
    if (plot.Elevations.empty() || !plot.AosTime)
        return {};
    static const QString blocks = QStringLiteral(" ▁▂▃▄▅▆▇█");
    const double maxEl = *std::max_element(plot.Elevations.begin(), plot.Elevations.end());
    const size_t n = plot.Elevations.size();
    QString profile;
    for (int c = 0; c < kProfileWidth; ++c) {
        const size_t from = n * static_cast<size_t>(c) / kProfileWidth;
        const size_t to = std::max(from + 1, n * static_cast<size_t>(c + 1) / kProfileWidth);
        double el = 0;
        for (size_t i = from; i < to && i < n; ++i)
            el = std::max(el, plot.Elevations[i]);
        const int level
            = maxEl > 0 ? static_cast<int>(std::lround(std::max(0.0, el) / maxEl * 8)) : 0;
        profile += blocks[std::clamp(level, 0, 8)];
    }
    QString marker = QString(kProfileWidth, QLatin1Char(' '));
    const double along = static_cast<double>((now - *plot.AosTime).count())
        / std::max<double>(1, static_cast<double>(n - 1));
    if (along >= 0 && along <= 1)
        marker[std::min(kProfileWidth - 1, static_cast<int>(along * kProfileWidth))]
            = QLatin1Char('^');
    return { QStringLiteral("  |") + profile + QStringLiteral("|  max %1°").arg(maxEl, 0, 'f', 1),
        QStringLiteral("   ") + marker };
}

class TrackView {
public:
    TrackView(const Tracker& tracker, const TrackOptions& options, bool fullScreen)
        : m_tracker(tracker)
        , m_options(options)
        , m_fullScreen(fullScreen)
        , m_logToStderr(!fullScreen || !AOSTRACK_ISATTY(AOSTRACK_STDERR_FD))
    {
    }

    void SetReceiver(const ReceiverController* receiver) { m_receiver = receiver; }
    // The rotor status text (Label7 and the park mode) while --rotor runs.
    void SetRotorStatus(std::function<QString()> status) { m_rotorStatus = std::move(status); }

    // Lines of a start-up that fails say what its message says: they are
    // held until ReleaseLog, so that a failure stays one line on stderr.
    void LogLine(const QString& line)
    {
        if (m_holdLog)
            m_heldLines << line;
        else if (m_logToStderr)
            WriteErr(line + QLatin1Char('\n'));
        m_log.push_back(line);
        while (m_log.size() > kLogLinesShown)
            m_log.pop_front();
    }

    void ReleaseLog()
    {
        m_holdLog = false;
        if (m_logToStderr)
            for (const QString& line : m_heldLines)
                WriteErr(line + QLatin1Char('\n'));
        m_heldLines.clear();
    }

    void Begin()
    {
        if (m_fullScreen)
            WriteOut(QStringLiteral("\x1b[?1049h\x1b[?25l")); // own screen, no cursor
    }

    void End()
    {
        if (m_fullScreen)
            WriteOut(QStringLiteral("\x1b[?25h\x1b[?1049l"));
    }

    void Show(sys_seconds now)
    {
        if (m_fullScreen)
            WriteOut(Screen(now));
        else
            WriteOut(PlainLine(now));
    }

private:
    QString FrequencyText() const
    {
        const DataPanelTexts& panel = m_tracker.Panel();
        if (panel.CentreFreq.isEmpty())
            return QString();
        QString text = panel.CentreFreq + QStringLiteral(" kHz");
        if (m_receiver && !m_receiver->Frame().Label16.isEmpty())
            text += QLatin1Char(' ') + m_receiver->Frame().Label16;
        return text;
    }

    QString PlainLine(sys_seconds now) const
    {
        const DataPanelTexts& panel = m_tracker.Panel();
        QStringList parts;
        parts << FormatUtcInstant(now) << m_tracker.SelectedName()
              << QStringLiteral("Az ") + panel.Azimuth << QStringLiteral("El ") + panel.Elevation
              << panel.Distance;
        const QString freq = FrequencyText();
        if (!freq.isEmpty())
            parts << freq;
        parts << m_tracker.CountdownText();
        if (m_rotorStatus)
            parts << QStringLiteral("rotor: ") + m_rotorStatus();
        return parts.join(QStringLiteral("  ")) + QLatin1Char('\n');
    }

    QString Screen(sys_seconds now) const
    {
        const DataPanelTexts& p = m_tracker.Panel();
        const QString green = QStringLiteral("\x1b[30;42m");
        const QString bold = QStringLiteral("\x1b[1m");
        const QString reset = QStringLiteral("\x1b[0m");
        QStringList rows;
        QString title = bold + QStringLiteral("aostrack  ") + m_tracker.SelectedName() + reset;
        if (m_options.simulated)
            title += QStringLiteral("   [simulated clock, x%1]").arg(m_options.speed);
        rows << title;
        rows << QStringLiteral("%1   %2   QTH %3").arg(p.Date, p.Time, m_tracker.QthText());
        rows << m_tracker.ElementLine1() << m_tracker.ElementLine2() << QString();

        // Green while the satellite is above the horizon, as in the window.
        const QString upOn = p.AboveHorizon ? green : QString();
        const QString upOff = p.AboveHorizon ? reset : QString();
        rows << QStringLiteral("  ") + Column(QStringLiteral("Azimut"), p.Azimuth, 34, upOn, upOff)
                + Column(QStringLiteral("Sat Long"), p.SatLong, 40);
        rows << QStringLiteral("  ")
                + Column(QStringLiteral("Elevation"), p.Elevation, 34, upOn, upOff)
                + Column(QStringLiteral("Sat Lat"), p.SatLat, 40);
        rows << QStringLiteral("  ") + Column(QStringLiteral("Distance"), p.Distance, 34)
                + Column(QStringLiteral("Height"), p.Height, 40);
        rows << QStringLiteral("  ") + Column(QStringLiteral("Orbit #"), p.OrbitNumber, 34)
                + Column(QStringLiteral("MA-Value"), p.MaValue, 40);
        rows << QStringLiteral("  ") + Column(QStringLiteral("Sun Angle"), p.SunAngle, 34)
                + Column(QStringLiteral("Illumination"), p.Illumination, 40);
        rows << QStringLiteral("  ") + Column(QStringLiteral("Loss"), p.Loss, 34)
                + Column(QStringLiteral("Doppler shift"), p.DopplerShift, 40);
        rows << QStringLiteral("  ") + Column(QStringLiteral("Epoche"), p.Epoch, 34) + p.TleAge;
        rows << QStringLiteral("  ") + Column(QStringLiteral("Info"), p.Info, 74);
        rows << QString();

        QString freq = FrequencyText();
        if (freq.isEmpty())
            freq = QStringLiteral("no frequency for this satellite");
        if (m_receiver && m_receiver->Frame().Tracking)
            freq += QStringLiteral("   [receiver tracking]");
        rows << QStringLiteral("  ") + Column(QStringLiteral("Frequency"), freq, 74);
        if (m_rotorStatus)
            rows << QStringLiteral("  ") + Column(QStringLiteral("Rotor"), m_rotorStatus(), 74);
        rows << QString() << bold + QStringLiteral("  ") + m_tracker.CountdownText() + reset;

        const PassPlotData& plot = m_tracker.Plot();
        if (plot.AosTime && plot.LosTime) {
            rows << QStringLiteral("  pass %1 -> %2  %3")
                        .arg(FormatUtcInstant(*plot.AosTime), FormatUtcInstant(*plot.LosTime),
                            plot.DurationText);
            rows << ProfileRows(plot, now);
        }
        rows << QString() << QStringLiteral("  next 24 hours");
        const QStringList& passes = m_tracker.PassListLines();
        for (qsizetype i = 0; i < passes.size() && i < kPassLinesShown; ++i)
            rows << QStringLiteral("  ") + passes[i];
        if (passes.isEmpty())
            rows << QStringLiteral("  (no pass)");
        if (!m_logToStderr) {
            rows << QString() << QStringLiteral("  event log");
            for (const QString& line : m_log)
                rows << QStringLiteral("  ") + line;
        }
        rows << QString() << QStringLiteral("  Ctrl-C ends");

        QString screen = QStringLiteral("\x1b[H");
        for (const QString& row : rows)
            screen += row + QStringLiteral("\x1b[K\n");
        screen += QStringLiteral("\x1b[J");
        return screen;
    }

    const Tracker& m_tracker;
    const TrackOptions& m_options;
    const bool m_fullScreen;
    const bool m_logToStderr;
    const ReceiverController* m_receiver = nullptr;
    std::function<QString()> m_rotorStatus;
    std::deque<QString> m_log;
    bool m_holdLog = true;
    QStringList m_heldLines;
};

} // namespace

int RunTrackCommand(const QStringList& argList)
{
    const ParsedArgs args = ParseOptions(argList,
        { QStringLiteral("--config"), QStringLiteral("--sat"), QStringLiteral("--norad"),
            QStringLiteral("--start"),
            QStringLiteral("--speed"), QStringLiteral("--for") },
        { QStringLiteral("--rotor"), QStringLiteral("--receiver"), QStringLiteral("--plain"),
            QStringLiteral("--help") });
    if (args.Has(QStringLiteral("--help"))) {
        WriteOut(Help());
        return ExitOk;
    }
    const TrackOptions options = ReadOptions(args);

    const SystemClock systemClock;
    std::unique_ptr<SimulatedClock> simulatedClock;
    if (options.simulated)
        simulatedClock = std::make_unique<SimulatedClock>(
            options.start.value_or(systemClock.UtcNow()), systemClock.UtcOffsetMinutes());
    const RecordingClock clock(
        simulatedClock ? static_cast<const Clock&>(*simulatedClock) : systemClock);

    const bool fullScreen = !options.plain && AOSTRACK_ISATTY(AOSTRACK_STDOUT_FD);
    EventLog log(clock);
    Tracker tracker(clock, log);
    TrackView view(tracker, options, fullScreen);
    QObject::connect(
        &log, &EventLog::lineAdded, &log, [&view](const QString& line) { view.LogLine(line); });

    // The frequency rows give the data panel its corrected centre frequency,
    // so the receiver controller is always there; --receiver ticks "track".
    // It needs DOPPLERFILE before start-up asks it for the first satellite.
    SharedReceiverLibrary library;
    ReceiverController receiver(tracker.Frequency(), log, library);
    try {
        receiver.SetDopplerFile(LoadCliConfiguration(options.configPath).DopplerFileName);
    } catch (const UsageError&) {
        // Start-up below reports the missing or malformed sat.ini in its words.
    }
    view.SetReceiver(&receiver);
#if AOSTRACK_CLI_HAS_ROTOR
    std::unique_ptr<RotorController> rotor;
    if (options.rotor) {
        rotor = std::make_unique<RotorController>(log);
        view.SetRotorStatus([r = rotor.get()] {
            return r->StatusText() + QStringLiteral("   ") + r->ParkModeText();
        });
    }
    tracker.SetLinks(&receiver, rotor.get(), nullptr);
#else
    if (options.rotor)
        throw UsageError(QStringLiteral("--rotor: this build has no rotor layer"));
    tracker.SetLinks(&receiver, nullptr, nullptr);
#endif

    try {
        receiver.BeginStartup();
        tracker.StartupFromIni(options.configPath);
        receiver.FinishStartup();
    } catch (const StartupError& error) {
        for (const QString& message : error.Messages())
            WriteErr(QStringLiteral("aostrack-cli: %1\n").arg(message));
        return ExitUsage;
    }
    tracker.Timer1().stop();

    const int chosen = options.norad.isEmpty()
        ? ChosenIndex(options.sat, tracker.SatelliteNames(), tracker.Config().TleFilePath)
        : FindCatalogNumber(tracker.Table(), options.norad, tracker.Config().TleFilePath) - 1;
    if (chosen != tracker.SelectedIndex())
        tracker.ChooseSatellite(chosen);
    view.ReleaseLog();
#if AOSTRACK_CLI_HAS_ROTOR
    if (rotor) {
        if (!rotor->Configured())
            throw UsageError(
                QStringLiteral("--rotor: %1 has no ROTOR_PORT_SETTINGS").arg(options.configPath));
        rotor->ToggleRotorLink();
        if (!rotor->LinkChecked())
            return ExitFailed; // the reason is in the event log
    }
#endif
    if (options.receiver) {
        receiver.SetTracking(true);
        if (!receiver.Frame().Tracking)
            return ExitFailed; // the reason is in the event log
    }

    // A rehearsal keeps four ticks per simulated second: the timer runs speed
    // times faster and every tick moves the simulated clock a quarter second.
    QTimer& timer = tracker.Timer1();
    timer.setInterval(options.simulated
            ? static_cast<int>(std::floor(TrackingIntervalMs / options.speed))
            : TrackingIntervalMs);

    g_stopRequested = 0;
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);

    QEventLoop loop;
    QElapsedTimer realElapsed;
    realElapsed.start();
    std::optional<sys_seconds> shown;
    // Runs after the tracker's own tick on every timeout of Timer1.
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        const sys_seconds now = clock.Last();
        if (!shown || *shown != now) {
            view.Show(now);
            shown = now;
        }
        if (simulatedClock)
            simulatedClock->Advance(milliseconds(TrackingIntervalMs));
        const double elapsedS = simulatedClock
            ? duration<double>(simulatedClock->Elapsed()).count()
            : static_cast<double>(realElapsed.elapsed()) / 1000.0;
        if (options.forSeconds && elapsedS >= *options.forSeconds)
            loop.quit();
    });
    QTimer stopPoll;
    stopPoll.setInterval(100);
    QObject::connect(&stopPoll, &QTimer::timeout, &loop, [&] {
        if (g_stopRequested)
            loop.quit();
    });

    view.Begin();
    stopPoll.start();
    timer.start();
    loop.exec();
    tracker.Stop();
    stopPoll.stop();
#if AOSTRACK_CLI_HAS_ROTOR
    if (rotor)
        rotor->ClosePort();
#endif
    view.End();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return ExitOk;
}

} // namespace aostrack
