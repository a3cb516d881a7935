// track: the tracking cycle in a terminal, the headless station controller.
// The same station object as the window runs it; this file only reads the
// options, starts the station and shows what it knows, as a full-screen panel
// on a terminal or one plain line per second otherwise.
#include "app/cli/CatalogArgs.h"
#include "app/cli/CliArgs.h"
#include "app/cli/CliConfig.h"
#include "app/cli/Commands.h"
#include "app/cli/SatelliteChoice.h"
#include "app/cli/TrackScreen.h"

#include "app/cli/TrackRadio.h"
#include "core/PassHooks.h"
#include "core/SystemClock.h"
#include "radio/ReceiverController.h"
#include "rotor/RotorController.h"
#include "station/StationSession.h"
#include "web/StationWebServer.h"

#include <QEventLoop>
#include <QTimer>
#include <memory>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <deque>

#ifdef _WIN32
#include <io.h>
#define AOSTRACK_ISATTY _isatty
#define AOSTRACK_STDOUT_FD 1
#define AOSTRACK_STDERR_FD 2
#else
#include <sys/ioctl.h>
#include <unistd.h>
#define AOSTRACK_ISATTY isatty
#define AOSTRACK_STDOUT_FD STDOUT_FILENO
#define AOSTRACK_STDERR_FD STDERR_FILENO
#endif

namespace aostrack {
namespace {

using namespace std::chrono;

volatile std::sig_atomic_t g_stopRequested = 0;
volatile std::sig_atomic_t g_ownScreen = 0; // the terminal shows our own screen

#ifndef _WIN32
// The backstop of a stop request: when the event loop has not wound up a
// second after Ctrl-C or SIGTERM (a peer keeping a call busy, a cleanup that
// hangs), the process ends here anyway. Only async-signal-safe calls.
extern "C" void ForceStop(int)
{
    static const char restore[] = "\x1b[?25h\x1b[?1049l";
    static const char told[] = "aostrack-cli: stopped after waiting 1 s for a clean end\n";
    if (g_ownScreen)
        (void)!::write(STDOUT_FILENO, restore, sizeof restore - 1);
    (void)!::write(STDERR_FILENO, told, sizeof told - 1);
    ::_exit(ExitFailed);
}
#endif

extern "C" void RequestStop(int)
{
#ifndef _WIN32
    if (g_stopRequested) {
        ForceStop(0); // asked twice: no more waiting
        return;
    }
    ::alarm(1);
#endif
    g_stopRequested = 1;
}

// The terminal changed its size (SIGWINCH): the next poll redraws at once.
volatile std::sig_atomic_t g_resized = 0;
extern "C" void NoteResize(int)
{
    g_resized = 1;
}

constexpr int kLogLinesShown = 6;

// Columns and rows of the terminal on stdout; 80 x 24 when it does not say.
std::pair<int, int> TerminalSize()
{
#ifndef _WIN32
    winsize size {};
    if (ioctl(AOSTRACK_STDOUT_FD, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0)
        return { size.ws_col, size.ws_row };
#endif
    return { 80, 24 };
}

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
    std::optional<OrbitModelKind> model; // --model; unset: ORBIT_MODEL of sat.ini
    QString onAos; // commands run at AOS and LOS, empty: none
    QString onLos;
    std::optional<HttpListen> http; // --http; unset: HTTP_LISTEN of sat.ini
    bool radio = false; // --radio: the transceiver of RIG_HOST
    RadioOptions radioOptions; // --transmitter, --downlink, --rx-offset, ...
};

// How long --rotor waits for rotctld to take the connection.
constexpr int kRotctldConnectWaitMs = 5000;

constexpr char kHelpText[]
    = "Usage: aostrack-cli track [--config FILE] [--sat N|NAME|--norad NUMBER]\n"
      "                          [--start YYYY-MM-DDTHH:MM:SSZ] [--speed N] [--for SECONDS]\n"
      "                          [--model M] [--rotor] [--receiver] [--plain]\n"
      "                          [--on-aos CMD] [--on-los CMD] [--http [ADDRESS:]PORT]\n"
      "                          [--radio [--transmitter UUID|DESCRIPTION] [--downlink HZ]\n"
      "                           [--rx-offset HZ] [--tx-offset HZ] [--all-transmitters]]\n"
      "\n"
      "The tracker without a window: the tracking cycle four times a second, the\n"
      "data panel, the countdown to AOS or LOS, the current pass and the passes of\n"
      "the next 24 hours, redrawn once a second and fitted to the terminal's size\n"
      "(the pass list and the log give way first). When stdout is not a terminal (or\n"
      "with --plain) one line per second instead. The event log goes to stderr.\n"
      "Ctrl-C ends it; the rotor port is closed and nothing more is sent.\n"
      "\n"
      "  --config FILE    the station's sat.ini (default: sat.ini beside aostrack-cli);\n"
      "                   relative file names in it are taken from its folder\n"
      "  --sat N|NAME     record number (1 = first) or a name: exact, any case, or a\n"
      "                   unique part of one\n"
      "                   (default: the first satellite of the file)\n"
      "  --norad NUMBER   the satellite with this catalogue number instead\n"
      "  --start TIME     run on a simulated clock from this UTC instant\n"
      "  --speed N        simulated seconds per real second (0.1 to 10000; default 1);\n"
      "                   every simulated second is still computed and shown\n"
      "  --for SECONDS    end after this much (simulated) time\n"
      "  --model M        orbit model: plan13 or sgp4 (default: ORBIT_MODEL of sat.ini)\n"
      "  --rotor          switch the rotor link on (as the menu item does): EasyComm\n"
      "                   on the serial port, or rotctld at ROTOR_HOST; the antenna\n"
      "                   follows every tick, takes passes through north as\n"
      "                   ROTOR_AZ_MAX/ROTOR_EL_MAX allow and parks after the pass\n"
      "  --receiver       tick \"track\": tune the receiver every tick\n"
      "  --plain          one line per second even on a terminal\n"
      "  --radio          keep the transceiver at RIG_HOST (rigctld) on both Doppler\n"
      "                   legs: receive on the current VFO, transmit in split on\n"
      "                   RIG_TX_VFO; the transmitter from TRANSMITTERS (else\n"
      "                   doppler.sql), the first of the satellite unless\n"
      "  --transmitter T  names its uuid or description;\n"
      "  --downlink HZ    the passband point of a linear transponder (default: centre)\n"
      "  --rx-offset HZ   calibration of the receive and transmit dials for this\n"
      "  --tx-offset HZ   satellite, kept in offsets.ini beside sat.ini (default: the\n"
      "                   kept ones, else 0)\n"
      "  --all-transmitters  also transmitters whose status is not \"active\"\n"
      "  --on-aos CMD     run CMD (through the shell) at each AOS of the satellite,\n"
      "  --on-los CMD     and CMD at each LOS; they run beside the tracker, never\n"
      "                   holding a tick, with AOSTRACK_SAT, AOSTRACK_NORAD,\n"
      "                   AOSTRACK_AOS, AOSTRACK_LOS (UTC, YYYY-MM-DDTHH:MM:SSZ) and\n"
      "                   AOSTRACK_MAX_EL (degrees) set; their exit status is logged\n"
      "  --http [ADDRESS:]PORT  serve the station's live page and JSON API here\n"
      "                   (address 127.0.0.1 when left out; default: HTTP_LISTEN of\n"
      "                   sat.ini); control needs HTTP_TOKEN, see the README\n"
      "Exit code 1 when --rotor cannot reach the rotor (rotctld is waited for up to\n"
      "5 s) or --receiver finds no receiver library; the event log says why. A\n"
      "receiver daemon that is down does not stop the run: the library logs it and\n"
      "connects again by itself while the tracking goes on. Exit code 2 for bad\n"
      "arguments or a sat.ini that stops start-up; without DOPPLERFILE the run\n"
      "starts with a warning and no frequency.\n"
      "The clock is never set from TIMESERVER here; see 'aostrack-cli timesync'.\n"
      "\n"
      "Examples:\n"
      "  aostrack-cli track --sat \"ISS (ZARYA)\"\n"
      "  aostrack-cli track --sat 12 --start 2024-02-12T13:17:00Z --speed 10 --for 900\n";

QString Help()
{
    return QString::fromUtf8(kHelpText);
}

TrackOptions ReadOptions(const ParsedArgs& args)
{
    TrackOptions o;
    o.configPath = CliConfigPath(args.Value(QStringLiteral("--config")));
    o.sat = SatOption(args);
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
    o.radio = args.Has(QStringLiteral("--radio"));
    o.radioOptions = ReadRadioOptions(args, o.radio);
    if (args.Has(QStringLiteral("--model")))
        o.model = ModelOption(args, nullptr);
    if (args.Has(QStringLiteral("--http"))) {
        o.http = ParseHttpListen(args.Value(QStringLiteral("--http")));
        if (!o.http)
            throw UsageError(QStringLiteral("--http: \"%1\" is not [ADDRESS:]PORT with an IP "
                                            "address and a port of 0..65535")
                                 .arg(args.Value(QStringLiteral("--http"))));
    }
    return o;
}

class TrackView {
public:
    TrackView(const StationSession& station, const TrackOptions& options, bool fullScreen)
        : m_tracker(station.Tracking())
        , m_texts(station.Texts())
        , m_receiver(station.Receiver())
        , m_rotor(station.Rotor())
        , m_options(options)
        , m_fullScreen(fullScreen)
        , m_logToStderr(!fullScreen || !AOSTRACK_ISATTY(AOSTRACK_STDERR_FD))
    {
    }

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
        g_ownScreen = m_fullScreen ? 1 : 0;
    }

    void End()
    {
        if (m_fullScreen)
            WriteOut(QStringLiteral("\x1b[?25h\x1b[?1049l"));
        g_ownScreen = 0;
    }

    void Show(sys_seconds now)
    {
        if (m_fullScreen)
            WriteOut(Screen(now));
        else
            WriteOut(PlainLine(now));
    }

    // A new terminal size: the old rows may stand where the new ones do not.
    void Redraw(sys_seconds now)
    {
        if (m_fullScreen)
            WriteOut(QStringLiteral("\x1b[2J") + Screen(now));
    }

    bool FullScreen() const { return m_fullScreen; }
    void ShowRadio(const TrackRadio* radio) { m_radio = radio; }

private:
    QString FrequencyText() const
    {
        if (m_radio && !m_radio->Text().isEmpty())
            return m_radio->Text();
        const DataPanelTexts& panel = m_texts.Panel();
        if (panel.CentreFreq.isEmpty())
            return QString();
        QString text = panel.CentreFreq + QStringLiteral(" kHz");
        if (!m_receiver.Frame().RowNote.isEmpty())
            text += QLatin1Char(' ') + m_receiver.Frame().RowNote;
        return text;
    }

    QString PlainLine(sys_seconds now) const
    {
        const DataPanelTexts& panel = m_texts.Panel();
        QStringList parts;
        parts << FormatUtcInstant(now) << m_tracker.SelectedName()
              << QStringLiteral("Az ") + panel.Azimuth << QStringLiteral("El ") + panel.Elevation
              << panel.Distance;
        const QString freq = FrequencyText();
        if (!freq.isEmpty())
            parts << freq;
        parts << m_texts.CountdownText();
        if (m_rotor)
            parts << QStringLiteral("rotor: ") + RotorText();
        return parts.join(QStringLiteral("  ")) + QLatin1Char('\n');
    }

    // The rotor status text (Label7) and the park mode while --rotor runs;
    // with rotctld also the commanded and the reported position.
    QString RotorText() const
    {
        QString text = m_rotor->StatusText() + QStringLiteral("   ") + m_rotor->ParkModeText();
        // rotctld reads the rotor back: where it was sent and where it is.
        if (m_rotor->ReadsPosition() && !m_rotor->PositionText().isEmpty())
            text += QStringLiteral("   ") + m_rotor->PositionText();
        return text;
    }

    QString Screen(sys_seconds now) const
    {
        TrackScreenInput in;
        in.satName = m_tracker.SelectedName();
        if (m_options.simulated)
            in.clockNote = QStringLiteral("[simulated clock, x%1]").arg(m_options.speed);
        in.qth = m_texts.QthText();
        in.line1 = m_tracker.ElementLine1();
        in.line2 = m_tracker.ElementLine2();
        in.panel = m_texts.Panel();
        in.countdown = m_texts.CountdownText();
        in.frequency = FrequencyText();
        in.receiverTracking = m_receiver.Frame().Tracking;
        in.model = QString::fromLatin1(OrbitModelName(m_tracker.ModelKind()));
        if (m_rotor)
            in.rotor = RotorText();
        in.plot = m_texts.Plot();
        in.now = now;
        in.passes = m_texts.PassListLines();
        in.showLog = !m_logToStderr;
        if (in.showLog)
            in.log = QStringList(m_log.begin(), m_log.end());
        const auto [columns, rows] = TerminalSize();
        return TrackScreenText(TrackScreenRows(in, columns, rows));
    }

    const TrackingSession& m_tracker;
    const TrackingTexts& m_texts;
    const ReceiverController& m_receiver;
    const RotorController* m_rotor;
    const TrackRadio* m_radio = nullptr;
    const TrackOptions& m_options;
    const bool m_fullScreen;
    const bool m_logToStderr;
    std::deque<QString> m_log;
    bool m_holdLog = true;
    QStringList m_heldLines;
};

// Start-up, the chosen satellite and the links asked for; ExitOk when the
// tick may run, else the exit code.
// The satellite of --sat or --norad, among every record of the file (also
// those past the window's list).
// Every record of the file, also those past the window's list.
void ChooseTrackedSatellite(TrackingSession& tracker, const TrackOptions& options)
{
    QStringList names;
    for (const std::string& name : tracker.Table().Names())
        names << QString::fromStdString(name);
    const int chosen = options.norad.isEmpty()
        ? ChooseSatelliteIndex(options.sat, names, tracker.Config().TleFilePath,
            ReadFrequencyAliases(tracker.Config().DopplerFileName))
        : FindCatalogNumber(tracker.Table(), options.norad, tracker.Config().TleFilePath) - 1;
    if (chosen != tracker.SelectedIndex())
        tracker.ChooseSatellite(chosen);
}

// --rotor: the link opened before the first tick. The reason of a failure
// is in the event log.
int OpenRotorLink(RotorController& rotor, const TrackOptions& options)
{
    if (!rotor.Configured())
        throw UsageError(QStringLiteral("--rotor: %1 has no ROTOR_PORT_SETTINGS or ROTOR_HOST")
                             .arg(options.configPath));
    rotor.ToggleRotorLink();
    if (!rotor.LinkChecked())
        return ExitFailed;
    // A link that connects in the background (rotctld): a run that is to
    // steer the antenna waits a moment for it before the first tick, asleep
    // in the event loop until the link is up or the time is over.
    if (!rotor.PortOpen()) {
        QEventLoop wait;
        QTimer::singleShot(kRotctldConnectWaitMs, &wait, &QEventLoop::quit);
        QObject::connect(&rotor, &RotorController::lampChanged, &wait, [&wait](bool open) {
            if (open)
                wait.quit();
        });
        wait.exec();
    }
    if (!rotor.PortOpen()) {
        rotor.ClosePort();
        return ExitFailed; // "could not be opened (...)" is in the event log
    }
    return ExitOk;
}

int StartStation(StationSession& station, const TrackOptions& options, TrackView& view)
{
    try {
        station.StartupFromIni(options.configPath);
    } catch (const StartupError& error) {
        for (const QString& message : error.Messages())
            WriteErr(QStringLiteral("aostrack-cli: %1\n").arg(message));
        return ExitUsage;
    }
    TrackingSession& tracker = station.Tracking();
    ChooseTrackedSatellite(tracker, options);
    // A set the chosen theory refuses: the log says why.
    if (options.model && !tracker.SetOrbitModel(*options.model)) {
        view.ReleaseLog();
        return ExitUsage;
    }
    view.ReleaseLog();
    // On the full screen the age line turns red; in a pipe or a log file
    // one line on stderr says it.
    if (!view.FullScreen())
        WarnIfElementSetOld(tracker.SelectedName(), tracker.CurrentElements().Epoch,
            options.start.value_or(SystemClock().UtcNow()));
    if (RotorController* rotor = station.Rotor())
        if (const int failed = OpenRotorLink(*rotor, options); failed != ExitOk)
            return failed;
    if (options.receiver) {
        station.Receiver().SetTracking(true);
        if (!station.Receiver().Frame().Tracking)
            return ExitFailed; // the reason is in the event log
    }
    return ExitOk;
}

// Shows every new second until Ctrl-C or --for ends the run.
void RunUntilStopped(StationSession& station, const TrackOptions& options, TrackView& view)
{
    g_stopRequested = 0;
#ifndef _WIN32
    std::signal(SIGALRM, ForceStop);
#endif
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);

    QEventLoop loop;
    std::optional<sys_seconds> shown;
    QObject::connect(&station, &StationSession::ticked, &loop, [&](sys_seconds now) {
        if (!shown || *shown != now) {
            view.Show(now);
            shown = now;
        }
        if (options.forSeconds && station.ElapsedSeconds() >= *options.forSeconds)
            loop.quit();
    });
    QTimer stopPoll;
    stopPoll.setInterval(100);
    QObject::connect(&stopPoll, &QTimer::timeout, &loop, [&] {
        if (g_stopRequested)
            loop.quit();
        if (g_resized) {
            g_resized = 0;
            if (shown)
                view.Redraw(*shown);
        }
    });
#ifdef SIGWINCH
    g_resized = 0;
    std::signal(SIGWINCH, NoteResize);
#endif

    view.Begin();
    stopPoll.start();
    loop.exec();
    station.Stop();
    stopPoll.stop();
    view.End();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
#ifdef SIGWINCH
    std::signal(SIGWINCH, SIG_DFL);
#endif
}

} // namespace

int RunTrackCommand(const QStringList& argList)
{
    const ParsedArgs args = ParseOptions(argList,
        { QStringLiteral("--config"), QStringLiteral("--sat"), QStringLiteral("--norad"),
            QStringLiteral("--start"), QStringLiteral("--speed"), QStringLiteral("--for"),
            QStringLiteral("--model"), QStringLiteral("--on-aos"), QStringLiteral("--on-los"),
            QStringLiteral("--http"), QStringLiteral("--transmitter"), QStringLiteral("--downlink"),
            QStringLiteral("--rx-offset"), QStringLiteral("--tx-offset") },
        { QStringLiteral("--rotor"), QStringLiteral("--receiver"), QStringLiteral("--plain"),
            QStringLiteral("--radio"), QStringLiteral("--all-transmitters"),
            QStringLiteral("--help") });
    if (args.Has(QStringLiteral("--help"))) {
        WriteOut(Help());
        return ExitOk;
    }
    const TrackOptions options = ReadOptions(args);

    // The clock is never set from TIMESERVER here; the rotor only with --rotor;
    // tracking without a frequency list only leaves the frequency empty.
    const SystemClock systemClock;
    StationSession station(systemClock,
        { .RotorLink = options.rotor,
            .ClockSync = false,
            .FrequencyListRequired = false,
            .TransceiverLink = options.radio });
    if (options.simulated)
        station.SetTickSpeed(options.speed, options.start);
    TrackView view(station, options, !options.plain && AOSTRACK_ISATTY(AOSTRACK_STDOUT_FD));
    QObject::connect(&station, &StationSession::logLine, &station,
        [&view](const QString& line) { view.LogLine(line); });

    PassHooks hooks(station.Tracking(), station.Log(), args.Value(QStringLiteral("--on-aos")),
        args.Value(QStringLiteral("--on-los")));
    QObject::connect(&station, &StationSession::ticked, &hooks, &PassHooks::Tick);

    if (const int failed = StartStation(station, options, view); failed != ExitOk)
        return failed;
    std::unique_ptr<TrackRadio> radio;
    if (options.radio) {
        radio = std::make_unique<TrackRadio>(station, options.radioOptions);
        view.ShowRadio(radio.get());
    }
    const Configuration& config = station.Tracking().Config();
    auto web = ServeStation(
        station, options.http ? options.http : config.HttpListenAt, config.HttpToken);
    if (!web) {
        WriteErr(QStringLiteral("aostrack-cli: %1\n").arg(web.Error()));
        return ExitFailed;
    }
    RunUntilStopped(station, options, view);
    return ExitOk;
}

} // namespace aostrack
