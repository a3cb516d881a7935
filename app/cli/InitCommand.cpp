// aostrack-cli init: the station's place written into the settings file the
// other commands read, for a new installation without a window.
#include "app/cli/CliArgs.h"
#include "app/cli/CliConfig.h"
#include "app/cli/Commands.h"
#include "core/SettingsLocation.h"
#include "core/StationSetup.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace aostrack {

namespace {

const char* const kHelp
    = "Usage: aostrack-cli init (--locator LOC | --lat DEG --lon DEG) [--height KM]\n"
      "                         [--name TEXT] [--config FILE]\n"
      "\n"
      "Writes the station into sat.ini and prints the file's path. A new file starts\n"
      "from the example station; an existing one keeps all its other lines and\n"
      "comments. Without --config the file is the one the other commands read:\n"
      "sat.ini beside aostrack-cli when there is one, else\n"
      "$XDG_CONFIG_HOME/aostrack/sat.ini (~/.config/aostrack/sat.ini).\n"
      "\n"
      "  --locator LOC    Maidenhead locator of 4, 6 or 8 characters (JN58sd); the\n"
      "                   station is put at the centre of its square\n"
      "  --lat DEG        station latitude, degrees north, south negative\n"
      "  --lon DEG        station longitude, degrees east, west negative\n"
      "  --height KM      height above the ellipsoid in kilometres, -0.5 to 9\n"
      "                   (default 0; 519 m is 0.519)\n"
      "  --name TEXT      the station's name (QTH; default: the locator)\n"
      "  --config FILE    the sat.ini to write\n"
      "\n"
      "Example:\n"
      "  aostrack-cli init --locator JN58SD --height 0.519 --name \"Munich\"\n";

} // namespace

int RunInitCommand(const QStringList& argList)
{
    const ParsedArgs args = ParseOptions(argList,
        { QStringLiteral("--locator"), QStringLiteral("--lat"), QStringLiteral("--lon"),
            QStringLiteral("--height"), QStringLiteral("--name"), QStringLiteral("--config") },
        { QStringLiteral("--help") });
    if (args.Has(QStringLiteral("--help"))) {
        WriteOut(QString::fromUtf8(kHelp));
        return ExitOk;
    }
    if (!HasStationPosition(args))
        throw UsageError(QStringLiteral("give the station as --locator LOC, or --lat and --lon"));

    StationEntry entry;
    if (const std::optional<LocatorPoint> centre = LocatorOption(args)) {
        entry.Lat = centre->Lat;
        entry.Lon = centre->Lon;
        entry.Name = args.Value(QStringLiteral("--locator")).toUpper();
    } else {
        entry.Lat = ParseNumber(args.Value(QStringLiteral("--lat")), QStringLiteral("--lat"));
        entry.Lon = ParseNumber(args.Value(QStringLiteral("--lon")), QStringLiteral("--lon"));
    }
    if (args.Has(QStringLiteral("--height")))
        entry.HeightKm
            = ParseNumber(args.Value(QStringLiteral("--height")), QStringLiteral("--height"));
    if (args.Has(QStringLiteral("--name")))
        entry.Name = args.Value(QStringLiteral("--name"));
    const QString problem = StationEntryProblem(entry);
    if (!problem.isEmpty())
        throw UsageError(problem);

    const QString programDir = QCoreApplication::applicationDirPath();
    const QString path = CliConfigPath(args.Value(QStringLiteral("--config")));
    const Result<void> written = WriteStation(path, entry, ExampleSettingsFile(programDir));
    if (!written) {
        WriteErr(QStringLiteral("aostrack-cli: %1\n").arg(written.Error()));
        return ExitFailed;
    }
    WriteOut(QFileInfo(path).absoluteFilePath() + QLatin1Char('\n'));
    return ExitOk;
}

} // namespace aostrack
