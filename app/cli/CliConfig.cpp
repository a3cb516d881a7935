#include "app/cli/CliConfig.h"

#include "app/cli/CliArgs.h"
#include "core/SettingsLocation.h"
#include "orbit/Maidenhead.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace aostrack {

QString CliConfigPath(const QString& configFile)
{
    return FindSettingsFile(configFile, QCoreApplication::applicationDirPath());
}

Configuration LoadCliConfiguration(const QString& configFile)
{
    const QString path = CliConfigPath(configFile);
    QFile file(path);
    if (!file.exists())
        throw UsageError(
            QStringLiteral("%1 not found (give --config FILE, or --tle, --lat, --lon and "
                           "--height, or write it with 'aostrack-cli init --locator LOCATOR')")
                .arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw UsageError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const QString text = DecodeSettingsText(file.readAll());

    try {
        const QFileInfo info(path);
        Configuration config
            = ParseConfiguration(text, info.absolutePath(), QLocale(), info.absoluteFilePath());
        config.IniPath = path;
        return config;
    } catch (const StartupError& error) {
        QString message = QString::fromStdString(error.what());
        message.replace(QLatin1Char('\n'), QLatin1String("; "));
        if (!message.contains(QFileInfo(path).fileName()))
            message = QStringLiteral("%1: %2").arg(path, message);
        throw UsageError(message);
    }
}

OrbitModelKind ModelOption(const ParsedArgs& args, const Configuration* config)
{
    if (args.Has(QStringLiteral("--model"))) {
        const QString text = args.Value(QStringLiteral("--model"));
        const std::optional<OrbitModelKind> kind = ParseOrbitModel(text.toStdString());
        if (!kind)
            throw UsageError(
                QStringLiteral("--model: \"%1\" is neither plan13 nor sgp4").arg(text));
        return *kind;
    }
    if (config)
        return config->OrbitModelChoice;
    try {
        return LoadCliConfiguration(args.Value(QStringLiteral("--config"))).OrbitModelChoice;
    } catch (const UsageError&) {
        return OrbitModelKind::Plan13; // no station file: the default theory
    }
}

bool HasStationPosition(const ParsedArgs& args)
{
    if (args.Has(QStringLiteral("--locator")))
        return true;
    return args.Has(QStringLiteral("--lat")) && args.Has(QStringLiteral("--lon"));
}

std::optional<LocatorPoint> LocatorOption(const ParsedArgs& args)
{
    if (!args.Has(QStringLiteral("--locator")))
        return std::nullopt;
    if (args.Has(QStringLiteral("--lat")) || args.Has(QStringLiteral("--lon")))
        throw UsageError(QStringLiteral("give either --locator or --lat and --lon, not both"));
    const std::string locator = args.Value(QStringLiteral("--locator")).toStdString();
    const std::optional<LocatorPoint> centre = LocatorCentre(locator);
    if (!centre)
        throw UsageError(QStringLiteral("--locator \"%1\": %2")
                             .arg(QString::fromStdString(locator),
                                 QString::fromStdString(LocatorProblem(locator))));
    return centre;
}

void ApplyLocatorOption(const ParsedArgs& args, Station& station)
{
    if (const std::optional<LocatorPoint> centre = LocatorOption(args)) {
        station.StationLat = centre->Lat;
        station.StationLon = centre->Lon;
    }
}

ComputeSettings ResolveComputeSettings(const ParsedArgs& args)
{
    ComputeSettings in;
    const bool needConfig = !args.Has(QStringLiteral("--tle")) || !HasStationPosition(args)
        || !args.Has(QStringLiteral("--height"));
    if (needConfig) {
        in.Config = LoadCliConfiguration(args.Value(QStringLiteral("--config")));
        for (const QString& warning : in.Config.Warnings)
            WriteErr(QStringLiteral("aostrack-cli: warning: %1\n").arg(warning));
    }
    in.Model = ModelOption(args, needConfig ? &in.Config : nullptr);

    in.TlePath = args.Has(QStringLiteral("--tle")) ? args.Value(QStringLiteral("--tle"))
                                                   : in.Config.TleFilePath;
    in.Site.StationLat = args.Has(QStringLiteral("--lat"))
        ? ParseNumberInRange(args.Value(QStringLiteral("--lat")), QStringLiteral("--lat"), -90, 90)
        : in.Config.StationLat;
    in.Site.StationLon = args.Has(QStringLiteral("--lon"))
        ? ParseNumberInRange(
            args.Value(QStringLiteral("--lon")), QStringLiteral("--lon"), -180, 360)
        : in.Config.StationLon;
    // Kilometres: a height typed in metres (519 for 519 m) is refused here
    // rather than putting the station in low orbit.
    in.Site.StationHeight = args.Has(QStringLiteral("--height"))
        ? ParseNumberInRange(
            args.Value(QStringLiteral("--height")), QStringLiteral("--height"), -1, 100)
        : in.Config.StationHeight;
    ApplyLocatorOption(args, in.Site);

    if (in.TlePath.isEmpty())
        throw UsageError(QStringLiteral("no element file: give --tle FILE or TLEFILE in %1")
                             .arg(CliConfigPath(args.Value(QStringLiteral("--config")))));
    if (QFileInfo(in.TlePath).isDir())
        throw UsageError(QStringLiteral("%1 is a folder, not an element file").arg(in.TlePath));
    return in;
}

} // namespace aostrack
