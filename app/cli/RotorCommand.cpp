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

} // namespace

int RunRotorCommand(const QStringList& args)
{
    QString configFile;
    QStringList words;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            WriteOut(RotorHelp());
            return ExitOk;
        }
        if (arg == QLatin1String("--config")) {
            if (i + 1 >= args.size())
                throw UsageError(QStringLiteral("--config needs a value"));
            configFile = args[++i];
        } else if (arg.startsWith(QLatin1String("--config="))) {
            configFile = arg.mid(9);
        } else if (arg.startsWith(QLatin1String("--"))) {
            throw UsageError(QStringLiteral("unknown option %1").arg(arg));
        } else {
            words << arg;
        }
    }
    if (words.isEmpty())
        throw UsageError(QStringLiteral("rotor needs park, point AZ EL or position"));
    const QString action = words.takeFirst();
    const bool point = action == QLatin1String("point");
    if (action != QLatin1String("park") && !point && action != QLatin1String("position"))
        throw UsageError(
            QStringLiteral("unknown rotor action \"%1\"; try park, point AZ EL or position")
                .arg(action));
    if (words.size() != (point ? 2 : 0))
        throw UsageError(point ? QStringLiteral("point needs AZ and EL")
                               : QStringLiteral("%1 takes no further words").arg(action));

    const Configuration config = LoadCliConfiguration(configFile);
    const QString path = CliConfigPath(configFile);
    if (!RotorConfigured(config))
        throw UsageError(QStringLiteral("%1 has no ROTOR_PORT_SETTINGS or ROTOR_HOST").arg(path));
    double az = 0, el = 0;
    if (point) {
        az = ParseNumberInRange(words[0], QStringLiteral("AZ"), 0, config.RotorAzMaxDeg);
        el = ParseNumberInRange(words[1], QStringLiteral("EL"), 0, config.RotorElMaxDeg);
    }
    if (action == QLatin1String("position") && config.RotorHost.isEmpty())
        throw UsageError(
            QStringLiteral("position needs ROTOR_HOST: the EasyComm line is never read back"));

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

    bool refused = false;
    QObject::connect(
        &rotor, &RotorController::commandRefused, &rotor, [&refused] { refused = true; });
    int result = ExitOk;
    if (action == QLatin1String("position")) {
        rotor.RequestPosition();
        if (WaitUntil(
                [&rotor] { return rotor.ReportedPosition().has_value(); }, kRotorCommandWaitMs)) {
            const RotorAim at = *rotor.ReportedPosition();
            WriteOut(
                QStringLiteral("%1 %2\n").arg(at.Azimuth, 0, 'f', 1).arg(at.Elevation, 0, 'f', 1));
        } else {
            WriteErr(QStringLiteral("aostrack-cli: %1 did not report its position\n")
                         .arg(rotor.PortName()));
            result = ExitFailed;
        }
    } else {
        if (point)
            rotor.PointRotor(az, el);
        else
            rotor.ParkRotor();
        // rotctld answers each command; the serial line has taken it already.
        const bool answered
            = WaitUntil([&rotor] { return !rotor.CommandPending(); }, kRotorCommandWaitMs);
        if (!rotor.PortOpen() || !answered || refused)
            result = ExitFailed;
        else
            WriteOut(rotor.StatusText() + QLatin1Char('\n'));
    }
    rotor.ClosePort();
    return result;
}

} // namespace aostrack
