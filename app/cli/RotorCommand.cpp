// aostrack-cli rotor: the rotor link alone, for setting up a station: send
// the rotor somewhere, park it, or ask rotctld where it stands.
#include "app/cli/CliArgs.h"
#include "app/cli/CliConfig.h"
#include "app/cli/Commands.h"
#include "core/EventLog.h"
#include "core/SystemClock.h"
#include "rotor/RotorController.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <functional>
#include <optional>

namespace aostrack {

namespace {

// How long the command waits for rotctld to connect and answer; a daemon on
// the station's network answers within milliseconds.
constexpr int kRotorCommandWaitMs = 5000;

QString RotorHelp()
{
    return QStringLiteral(
        "Usage: aostrack-cli rotor [--config FILE] park|point AZ EL|position\n"
        "\n"
        "Drives the rotor of sat.ini once, without tracking: for setting up and\n"
        "checking a station. The rotor is the EasyComm serial line of\n"
        "ROTOR_PORT_SETTINGS (and ROTOR_PORT or ROTOR_DEVICE), or hamlib's rotctld\n"
        "at ROTOR_HOST, which then takes its place.\n"
        "\n"
        "  park            send the park command (ROTOR_PARK; with rotctld \"K\"\n"
        "                  when ROTOR_PARK is empty, else \"P az el\")\n"
        "  point AZ EL     send the rotor to azimuth AZ (0 to ROTOR_AZ_MAX) and\n"
        "                  elevation EL (0 to ROTOR_EL_MAX), degrees, full stop\n"
        "  position        print the position rotctld reads back: \"AZ EL\"\n"
        "                  (EasyComm is never read back)\n"
        "  --config FILE   settings file (default: sat.ini beside aostrack-cli)\n"
        "\n"
        "The event-log lines of the link go to stderr.\n"
        "Exit codes: 0 done, 1 the rotor could not be reached or refused the\n"
        "command, 2 bad arguments or settings.\n");
}

// Runs the event loop until done() or the time is up.
bool WaitUntil(const std::function<bool()>& done, int limitMs)
{
    QDeadlineTimer deadline(limitMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

// What was asked: the action, its angles, the settings file.
struct RotorRequest {
    QString ConfigFile;
    QString Action; // park, point or position
    QStringList Words; // after the action
    double Azimuth = 0;
    double Elevation = 0;
};

// The words and --config; nullopt when --help was asked (and answered).
std::optional<RotorRequest> ReadRotorWords(const QStringList& args)
{
    RotorRequest request;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            WriteOut(RotorHelp());
            return std::nullopt;
        }
        if (arg == QLatin1String("--config")) {
            if (i + 1 >= args.size())
                throw UsageError(QStringLiteral("--config needs a value"));
            request.ConfigFile = args[++i];
        } else if (arg.startsWith(QLatin1String("--config="))) {
            request.ConfigFile = arg.mid(9);
        } else if (arg.startsWith(QLatin1String("--"))) {
            throw UsageError(QStringLiteral("unknown option %1").arg(arg));
        } else {
            request.Words << arg;
        }
    }
    if (request.Words.isEmpty())
        throw UsageError(QStringLiteral("rotor needs park, point AZ EL or position"));
    request.Action = request.Words.takeFirst();
    const bool point = request.Action == QLatin1String("point");
    if (request.Action != QLatin1String("park") && !point
        && request.Action != QLatin1String("position"))
        throw UsageError(
            QStringLiteral("unknown rotor action \"%1\"; try park, point AZ EL or position")
                .arg(request.Action));
    if (request.Words.size() != (point ? 2 : 0))
        throw UsageError(point ? QStringLiteral("point needs AZ and EL")
                               : QStringLiteral("%1 takes no further words").arg(request.Action));
    return request;
}

// The request checked against the rotor of sat.ini: configured, the angles
// within its reach, a read-back only where there is one.
void CheckAgainstStation(RotorRequest& request, const Configuration& config)
{
    const QString path = CliConfigPath(request.ConfigFile);
    if (!RotorConfigured(config))
        throw UsageError(QStringLiteral("%1 has no ROTOR_PORT_SETTINGS or ROTOR_HOST").arg(path));
    if (request.Action == QLatin1String("point")) {
        request.Azimuth
            = ParseNumberInRange(request.Words[0], QStringLiteral("AZ"), 0, config.RotorAzMaxDeg);
        request.Elevation
            = ParseNumberInRange(request.Words[1], QStringLiteral("EL"), 0, config.RotorElMaxDeg);
    }
    if (request.Action == QLatin1String("position") && config.RotorHost.isEmpty())
        throw UsageError(
            QStringLiteral("position needs ROTOR_HOST: the EasyComm line is never read back"));
}

int PrintPosition(RotorController& rotor)
{
    rotor.RequestPosition();
    if (!WaitUntil(
            [&rotor] { return rotor.ReportedPosition().has_value(); }, kRotorCommandWaitMs)) {
        WriteErr(
            QStringLiteral("aostrack-cli: %1 did not report its position\n").arg(rotor.PortName()));
        return ExitFailed;
    }
    const RotorAim at = *rotor.ReportedPosition();
    WriteOut(QStringLiteral("%1 %2\n").arg(at.Azimuth, 0, 'f', 1).arg(at.Elevation, 0, 'f', 1));
    return ExitOk;
}

int MoveRotor(RotorController& rotor, const RotorRequest& request)
{
    bool refused = false;
    QObject::connect(
        &rotor, &RotorController::commandRefused, &rotor, [&refused] { refused = true; });
    if (request.Action == QLatin1String("point"))
        rotor.PointRotor(request.Azimuth, request.Elevation);
    else
        rotor.ParkRotor();
    // rotctld answers each command; the serial line has taken it already.
    const bool answered
        = WaitUntil([&rotor] { return !rotor.CommandPending(); }, kRotorCommandWaitMs);
    if (!rotor.PortOpen() || !answered || refused)
        return ExitFailed;
    WriteOut(rotor.StatusText() + QLatin1Char('\n'));
    return ExitOk;
}

} // namespace

int RunRotorCommand(const QStringList& args)
{
    std::optional<RotorRequest> request = ReadRotorWords(args);
    if (!request)
        return ExitOk;
    const Configuration config = LoadCliConfiguration(request->ConfigFile);
    CheckAgainstStation(*request, config);

    const SystemClock clock;
    EventLog log(clock);
    QObject::connect(&log, &EventLog::lineAdded, &log,
        [](const QString& line) { WriteErr(line + QLatin1Char('\n')); });
    RotorController rotor(log);
    try {
        rotor.ApplyConfiguration(config);
    } catch (const StartupError& error) {
        throw UsageError(QString::fromUtf8(error.what()));
    }
    rotor.ToggleRotorLink();
    if (!rotor.LinkChecked()
        || !WaitUntil([&rotor] { return rotor.PortOpen(); }, kRotorCommandWaitMs)) {
        rotor.ClosePort();
        return ExitFailed; // the reason is in the event-log lines on stderr
    }
    const int result = request->Action == QLatin1String("position") ? PrintPosition(rotor)
                                                                    : MoveRotor(rotor, *request);
    rotor.ClosePort();
    return result;
}

} // namespace aostrack
