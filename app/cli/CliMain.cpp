// aostrack-cli: the tracker's engine and station controller for scripts and
// for stations without a display.
#include "app/cli/CliArgs.h"
#include "app/cli/Commands.h"
#include "core/NearestName.h"

#include <QCoreApplication>
#include <iterator>

namespace aostrack {
namespace {

struct Subcommand {
    const char* name;
    const char* synopsis; // one line for the overview of --help
    int (*run)(const QStringList& args);
};

// The dispatch table: one line per subcommand.
constexpr Subcommand kSubcommands[] = {
    { "state", "the satellite's position and sunlight at one instant", RunStateCommand },
    { "next-pass", "AOS and LOS of the current or next pass", RunNextPassCommand },
    { "passes", "the passes of the next 24 hours, one line each", RunPassesCommand },
    { "upcoming", "every satellite's passes in the next 24 hours, sorted by AOS",
        RunUpcomingCommand },
    { "track", "the live tracker in a terminal (data panel, countdown, passes)", RunTrackCommand },
    { "timesync", "ask an RFC 868 time server for the time (--set: set the clock)",
        RunTimesyncCommand },
    { "update", "download fresh element sets into the TLE file of sat.ini", RunUpdateCommand },
    { "convert", "write an element file as two-line, OMM CSV, JSON or XML", RunConvertCommand },
    { "rotor", "park, point AZ EL or read the position of the rotor of sat.ini", RunRotorCommand },
    { "groundtrack", "sub-satellite track and footprint as text, JSON or GeoJSON",
        RunGroundtrackCommand },
    { "init", "write the station (--locator or --lat/--lon) into sat.ini", RunInitCommand },
    { "doppler", "uplink and downlink dial frequencies of a satellite's transmitters",
        RunDopplerCommand },
};

QString OverviewHelp()
{
    QString text = QStringLiteral(
        "Usage: aostrack-cli COMMAND [OPTIONS]\n"
        "\n"
        "Satellite tracking for an amateur-radio ground station, without a window.\n"
        "\n"
        "Commands:\n");
    for (const Subcommand& command : kSubcommands)
        text += QStringLiteral("  %1%2\n")
                    .arg(QString::fromLatin1(command.name), -13)
                    .arg(QString::fromLatin1(command.synopsis));
    text += QStringLiteral(
        "\n"
        "Common options of state, next-pass and passes:\n"
        "  --tle FILE        element-set file: two-line, or OMM as CSV, JSON or XML\n"
        "  --sat N|NAME      record number in that file (1 = first) or a name: exact,\n"
        "                    any case, or a unique part of one\n"
        "  --norad NUMBER    the satellite with this catalogue number (instead of --sat)\n"
        "  --lat DEG         station latitude, degrees north (south negative)\n"
        "  --lon DEG         station longitude, degrees east (west negative)\n"
        "  --locator LOC     station as a Maidenhead locator (instead of --lat, --lon)\n"
        "  --height KM       station height above the ellipsoid, kilometres\n"
        "  --config FILE     sat.ini to take missing values from\n"
        "                    (default: sat.ini beside aostrack-cli, else\n"
        "                    ~/.config/aostrack/sat.ini)\n"
        "  --json            machine-readable output\n"
        "Times are written YYYY-MM-DDTHH:MM:SSZ (UTC), or \"now\"; a blank may stand\n"
        "for the T, an offset such as +01:00 for the Z (no Z: UTC), and fractions of\n"
        "a second are cut. Numbers use a full stop.\n"
        "\n"
        "Run 'aostrack-cli COMMAND --help' for the options of one command.\n"
        "Exit codes: 0 done, 1 nothing found or a station link failed,\n"
        "2 bad arguments or an unreadable file (one line on stderr).\n");
    return text;
}

} // namespace
} // namespace aostrack

int main(int argc, char** argv)
{
    using namespace aostrack;
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    if (args.isEmpty())
        return ReportUsageError(QStringLiteral("no command given; try 'aostrack-cli --help'"));
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h")
        || name == QLatin1String("help")) {
        WriteOut(OverviewHelp());
        return ExitOk;
    }
    for (const Subcommand& command : kSubcommands) {
        if (name == QLatin1String(command.name)) {
            try {
                return command.run(args);
            } catch (const UsageError& error) {
                return ReportUsageError(QString::fromStdString(error.what()));
            }
        }
    }
    QStringList names;
    for (const Subcommand& command : kSubcommands)
        names << QString::fromLatin1(command.name);
    const QString hint = DidYouMean(NearestNames(name, names));
    return ReportUsageError(
        QStringLiteral("unknown command \"%1\"%2")
            .arg(name, hint.isEmpty() ? QStringLiteral("; try 'aostrack-cli --help'") : hint));
}
