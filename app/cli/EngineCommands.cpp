// state, next-pass and passes: the orbit engine and the pass searches for one
// satellite, station and instant given on the command line.
#include "app/cli/CatalogArgs.h"
#include "app/cli/CliArgs.h"
#include "app/cli/CliConfig.h"
#include "app/cli/Commands.h"
#include "app/cli/EngineInputs.h"
#include "app/cli/Json.h"
#include "app/cli/SatelliteChoice.h"
#include "core/StateFields.h"

#include "core/ElementFile.h"
#include "core/SystemClock.h"
#include "orbit/Engine.h"
#include "orbit/Tle.h"
#include "passes/Passes.h"

#include <QFile>
#include <QFileInfo>

namespace aostrack {
namespace {

const QStringList kCommonValueOptions = {
    QStringLiteral("--tle"),
    QStringLiteral("--sat"),
    QStringLiteral("--norad"),
    QStringLiteral("--lat"),
    QStringLiteral("--lon"),
    QStringLiteral("--locator"),
    QStringLiteral("--height"),
    QStringLiteral("--config"),
    QStringLiteral("--model"),
};
const QStringList kCommonFlags = { QStringLiteral("--json"), QStringLiteral("--help") };

const char* const kCommonHelp
    = "  --tle FILE       element-set file (default: TLEFILE of sat.ini)\n"
      "  --sat N|NAME     record number, 1 = first set of the file, or a name: the\n"
      "                   exact one, else the same without regard to case, else a\n"
      "                   unique part of one (\"SO-50\") (default: 1)\n"
      "  --norad NUMBER   the satellite with this catalogue number (up to 9 digits;\n"
      "                   instead of --sat)\n"
      "  --lat DEG        station latitude, degrees north, south negative\n"
      "  --lon DEG        station longitude, degrees east, west negative\n"
      "  --height KM      station height above the ellipsoid in kilometres\n"
      "                   (default for these three: QTH_LAT, QTH_LONG, QTH_HEIGHT)\n"
      "  --config FILE    sat.ini to read the defaults from\n"
      "                   (default: sat.ini beside aostrack-cli; only read when\n"
      "                   one of --tle, --lat, --lon, --height is missing)\n"
      "  --json           one JSON object instead of text\n";

} // namespace

QStringList CommonValueOptions()
{
    return kCommonValueOptions;
}

QString CommonHelp()
{
    return QString::fromLatin1(kCommonHelp) + QString::fromLatin1(kLocatorHelp)
        + QString::fromLatin1(kModelHelp);
}

namespace {

// The aliases of the station's frequency database (DOPPLERFILE), read from
// the sat.ini --config names (or the one beside the program) even when the
// command line gave everything else; none without a readable one.
QList<SatelliteAlias> StationAliases(const ParsedArgs& args, const Configuration& loaded)
{
    if (!loaded.IniPath.isEmpty())
        return ReadFrequencyAliases(loaded.DopplerFileName);
    try {
        return ReadFrequencyAliases(
            LoadCliConfiguration(args.Value(QStringLiteral("--config"))).DopplerFileName);
    } catch (const UsageError&) {
        return {};
    }
}

} // namespace

EngineInputs ResolveInputs(const ParsedArgs& args)
{
    EngineInputs in;
    const ComputeSettings settings = ResolveComputeSettings(args);
    const Configuration& config = settings.Config;
    in.tlePath = settings.TlePath;
    in.station = settings.Site;
    in.model = settings.Model;

    const TleLoad load = LoadCatalogue(in.tlePath);

    if (args.Has(QStringLiteral("--norad"))) {
        if (args.Has(QStringLiteral("--sat")))
            throw UsageError(QStringLiteral("--sat and --norad: give one of them"));
        in.record
            = FindCatalogNumber(load.Table, args.Value(QStringLiteral("--norad")), in.tlePath);
        const SatRecord& record = load.Table.Record(in.record);
        in.satName = QString::fromStdString(record.SatName);
        in.elements = record.Elements;
        return in;
    }

    QStringList names;
    for (const std::string& name : load.Table.Names())
        names << QString::fromStdString(name);
    const QString sat = SatOption(args);
    in.record = ChooseSatelliteIndex(sat, names, in.tlePath,
                    sat.isEmpty() ? QList<SatelliteAlias>() : StationAliases(args, config))
        + 1;
    const SatRecord& record = load.Table.Record(in.record);
    in.satName = QString::fromStdString(record.SatName);
    in.elements = record.Elements;
    return in;
}

std::chrono::sys_seconds InstantOption(const ParsedArgs& args, const QString& option)
{
    if (args.Has(option))
        return ParseUtcInstant(args.Value(option), option);
    return SystemClock().UtcNow();
}

namespace {

// Runs the engine on the chosen element set. One the model refuses (no
// element lines, eccentricity >= 1...) is bad input: the file, the record and
// the reason.
template <class Engine> auto RunEngine(const EngineInputs& in, Engine&& engine)
{
    try {
        return engine();
    } catch (const OrbitError& error) {
        throw UsageError(QStringLiteral("%1 record %2 (%3): %4")
                             .arg(in.tlePath)
                             .arg(in.record)
                             .arg(in.satName, QString::fromUtf8(error.what())));
    }
}

QString JsonTime(const std::optional<std::chrono::sys_seconds>& time)
{
    return time ? JsonString(FormatUtcInstant(*time)) : QStringLiteral("null");
}

QString JsonBool(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// Why a pass list is empty, in the words of the text form.
QString EmptyPassListReason(HorizonSpan span)
{
    switch (span) {
    case HorizonSpan::AlwaysAbove:
        return QStringLiteral("always above the horizon");
    case HorizonSpan::NeverAbove:
        return QStringLiteral("never above the horizon");
    case HorizonSpan::Crosses:
        break;
    }
    return QStringLiteral("no pass ends");
}

QString TextNumber(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

} // namespace

namespace {

QString StateHelp()
{
    return QStringLiteral(
               "Usage: aostrack-cli state [--tle FILE] [--sat N|NAME|--norad NUMBER] [--lat DEG]\n"
               "                          [--lon DEG] [--height KM] [--at YYYY-MM-DDTHH:MM:SSZ]\n"
               "                          [--freq KHZ] [--json]\n"
               "\n"
               "The orbit engine's results for one satellite at one UTC second, as the\n"
               "window's data panel shows them.\n"
               "\n")
        + CommonHelp()
        + QStringLiteral(
            "  --at TIME        the instant, UTC (default: now)\n"
            "  --freq KHZ       tuned frequency for the path loss, kHz (default 0: the\n"
            "                   frequency term is left out)\n"
            "\n"
            "JSON keys: Name CatalogNumber (0 when the file gives none) SatAzimuth\n"
            "SatElevation SatRange RangeRate SubSatLat SubSatLon PathLoss DayFraction MeanAnomaly "
            "MAPhase OrbitNumber SatHeight SunAngle\n"
            "Illumination IlluminationText SunElevation InEclipse MayBeVisible; with\n"
            "--model sgp4 also TemeX TemeY TemeZ (km) TemeVx TemeVy TemeVz (km/s), the\n"
            "TEME state of the SGP4 theory.\n"
            "Degrees, km, km/s (range rate positive while the distance grows), dB.\n"
            "Example:\n"
            "  aostrack-cli state --tle amateur.txt --sat \"ISS (ZARYA)\" --lat 48.1371 \\\n"
            "      --lon 11.5754 --height 0.519 --at 2024-02-12T18:00:00Z --json\n");
}

// The state as one JSON object: which satellite, then the fields under the
// engine's names.
QString StateJson(
    const EngineInputs& in, const SatelliteState& s, const std::optional<TemeState>& teme)
{
    QStringList fields;
    for (const auto& [name, value] :
        SatelliteStateFields(in.satName, in.elements.CatalogNumber, s)) {
        QString text;
        if (value.isBool())
            text = JsonBool(value.toBool());
        else if (value.isString())
            text = JsonString(value.toString());
        else
            text = JsonNumber(value.toDouble());
        fields << QStringLiteral("\"%1\": ").arg(name) + text;
    }
    if (teme) {
        const auto& r = teme->PositionKm;
        const auto& v = teme->VelocityKmPerSec;
        fields << QStringLiteral("\"TemeX\": ") + JsonNumber(r[0])
               << QStringLiteral("\"TemeY\": ") + JsonNumber(r[1])
               << QStringLiteral("\"TemeZ\": ") + JsonNumber(r[2])
               << QStringLiteral("\"TemeVx\": ") + JsonNumber(v[0])
               << QStringLiteral("\"TemeVy\": ") + JsonNumber(v[1])
               << QStringLiteral("\"TemeVz\": ") + JsonNumber(v[2]);
    }
    return QStringLiteral("{") + fields.join(QStringLiteral(", ")) + QStringLiteral("}\n");
}

// The state as one named line per field, with units.
QString StateText(const EngineInputs& in, std::chrono::sys_seconds at, const SatelliteState& s,
    const std::optional<TemeState>& teme)
{
    QString text = QStringLiteral("%1 (record %2 of %3) at %4\n")
                       .arg(in.satName)
                       .arg(in.record)
                       .arg(in.tlePath, FormatUtcInstant(at));
    text += QStringLiteral("station %1 N  %2 E  %3 km\n")
                .arg(TextNumber(in.station.StationLat, 4), TextNumber(in.station.StationLon, 4),
                    TextNumber(in.station.StationHeight, 3));
    const auto row = [&text](const char* name, const QString& value, const char* unit) {
        text += QStringLiteral("%1 %2").arg(QString::fromLatin1(name), -17).arg(value);
        if (*unit)
            text += QLatin1Char(' ') + QString::fromUtf8(unit);
        text += QLatin1Char('\n');
    };
    row("CatalogNumber", QString::number(in.elements.CatalogNumber), "");
    row("SatAzimuth", TextNumber(s.SatAzimuth, 2), "°");
    row("SatElevation", TextNumber(s.SatElevation, 2), "°");
    row("SatRange", TextNumber(s.SatRange, 3), "km");
    row("RangeRate", TextNumber(s.RangeRate, 4), "km/s");
    row("SubSatLat", TextNumber(s.SubSatLat, 2), "°");
    row("SubSatLon", TextNumber(s.SubSatLon, 2), "°");
    row("PathLoss", TextNumber(s.PathLoss, 2), "dB");
    row("DayFraction", TextNumber(s.DayFraction, 8), "");
    row("MeanAnomaly", TextNumber(s.MeanAnomaly, 2), "°");
    row("MAPhase", QString::number(s.MAPhase), "");
    row("OrbitNumber", QString::number(s.OrbitNumber), "");
    row("SatHeight", TextNumber(s.SatHeight, 3), "km");
    row("SunAngle", TextNumber(s.SunAngle, 2), "°");
    row("Illumination", TextNumber(s.Illumination * 100, 1), "%");
    row("IlluminationText",
        QString::fromUtf8(
            s.IlluminationText.data(), static_cast<qsizetype>(s.IlluminationText.size())),
        "");
    row("SunElevation", TextNumber(s.SunElevation, 2), "°");
    row("InEclipse", s.InEclipse ? QStringLiteral("yes") : QStringLiteral("no"), "");
    row("MayBeVisible", s.MayBeVisible ? QStringLiteral("yes") : QStringLiteral("no"), "");
    row("OrbitModel", QString::fromLatin1(OrbitModelName(in.model)), "");
    if (teme) {
        const char* const axes[] = { "TemeX", "TemeY", "TemeZ" };
        const char* const rates[] = { "TemeVx", "TemeVy", "TemeVz" };
        for (int k = 0; k < 3; ++k)
            row(axes[k], TextNumber(teme->PositionKm[k], 6), "km");
        for (int k = 0; k < 3; ++k)
            row(rates[k], TextNumber(teme->VelocityKmPerSec[k], 9), "km/s");
    }
    return text;
}

} // namespace

int RunStateCommand(const QStringList& argList)
{
    QStringList valueOptions = kCommonValueOptions;
    valueOptions << QStringLiteral("--at") << QStringLiteral("--freq");
    const ParsedArgs args = ParseOptions(argList, valueOptions, kCommonFlags);
    if (args.Has(QStringLiteral("--help"))) {
        WriteOut(StateHelp());
        return ExitOk;
    }
    const EngineInputs in = ResolveInputs(args);
    const auto at = InstantOption(args, QStringLiteral("--at"));
    const double freqKHz = args.Has(QStringLiteral("--freq"))
        ? ParseNumberInRange(args.Value(QStringLiteral("--freq")), QStringLiteral("--freq"), 0, 1e9)
        : 0.0;

    std::optional<TemeState> teme;
    const SatelliteState s = RunEngine(in, [&] {
        const OrbitModel model(in.elements, in.station, in.model);
        teme = model.Teme(at);
        return model.Compute(at, freqKHz);
    });
    WarnIfElementSetOld(in.satName, in.elements.Epoch, at);

    WriteOut(
        args.Has(QStringLiteral("--json")) ? StateJson(in, s, teme) : StateText(in, at, s, teme));
    return ExitOk;
}

int RunNextPassCommand(const QStringList& argList)
{
    QStringList valueOptions = kCommonValueOptions;
    valueOptions << QStringLiteral("--from");
    const ParsedArgs args = ParseOptions(argList, valueOptions, kCommonFlags);
    if (args.Has(QStringLiteral("--help"))) {
        WriteOut(QStringLiteral(
                     "Usage: aostrack-cli next-pass [--tle FILE] [--sat N|NAME|--norad NUMBER] "
                     "[--lat DEG] [--lon "
                     "DEG]\n"
                     "                              [--height KM] [--from YYYY-MM-DDTHH:MM:SSZ] "
                     "[--model M] [--json]\n"
                     "\n"
                     "AOS and LOS of the current or next pass, searched second by second for\n"
                     "14 hours after --from: AOS is the first second with the satellite above\n"
                     "the horizon, LOS the first second after it below. A satellite already up\n"
                     "gives AOS = --from + 1 s. A time not found within 14 hours is null in\n"
                     "JSON and \"none\" in text; the text adds \"always above the horizon\"\n"
                     "or \"never above the horizon\" when the satellite stays up or down.\n"
                     "\n")
            + CommonHelp()
            + QStringLiteral(
                "  --from TIME      \"now\" of the search, UTC (default: now)\n"
                "\n"
                "Example:\n"
                "  aostrack-cli next-pass --sat \"SAUDISAT 1C (SO-50)\" --from "
                "2024-02-12T12:00:00Z --json\n"
                "  {\"AosTime\": \"2024-02-12T...Z\", \"LosTime\": \"2024-02-12T...Z\"}\n"));
        return ExitOk;
    }
    const EngineInputs in = ResolveInputs(args);
    const auto from = InstantOption(args, QStringLiteral("--from"));
    const NextPass pass = RunEngine(
        in, [&] { return FindNextPass(OrbitModel(in.elements, in.station, in.model), from); });
    WarnIfElementSetOld(in.satName, in.elements.Epoch, from);
    if (args.Has(QStringLiteral("--json"))) {
        WriteOut(QStringLiteral("{\"AosTime\": %1, \"LosTime\": %2}\n")
                     .arg(JsonTime(pass.AosTime), JsonTime(pass.LosTime)));
        return ExitOk;
    }
    const auto textTime = [](const std::optional<std::chrono::sys_seconds>& time) {
        return time ? FormatUtcInstant(*time) : QStringLiteral("none within 14 hours");
    };
    QString text
        = QStringLiteral("AOS %1\nLOS %2\n").arg(textTime(pass.AosTime), textTime(pass.LosTime));
    // "none" alone reads the same for a satellite that never sets (a
    // geostationary one in view) and one that never rises.
    if (!pass.AosTime)
        text += QStringLiteral("never above the horizon within 14 hours\n");
    else if (!pass.LosTime && *pass.AosTime == from + std::chrono::seconds(1))
        text += QStringLiteral("always above the horizon within 14 hours\n");
    WriteOut(text);
    return ExitOk;
}

namespace {

QString PassesHelp()
{
    return QStringLiteral(
               "Usage: aostrack-cli passes [--tle FILE] [--sat N|NAME|--norad NUMBER] [--lat "
               "DEG]\n"
               "                           [--lon DEG] [--height KM] [--from "
               "YYYY-MM-DDTHH:MM:SSZ]\n"
               "                           [--model M] [--json]\n"
               "\n"
               "The passes that end within 24 hours after --from, sampled once a minute,\n"
               "one line each as the window's list shows them (times UTC, date of the LOS,\n"
               "azimuths and maximum elevation cut to whole degrees):\n"
               "  DD.MM.YYYY HH:MM (Az AAA°) -> HH:MM (Az AAA°) maxEl: EE°)\n"
               "Without a pass it says why: \"always above the horizon\", \"never above\n"
               "the horizon\" or \"no pass ends\" in those 24 hours.\n"
               "\n")
        + CommonHelp()
        + QStringLiteral("  --from TIME      start of the 24 hours, UTC (default: now)\n"
                         "With --json: {\"Passes\": [{\"AosTime\", \"LosTime\", \"AosAzimuth\",\n"
                         "\"LosAzimuth\", \"MaxElevation\", \"Line\"}, ...]}; an empty list comes\n"
                         "with \"Reason\", one of the three texts above\n"
                         "\n"
                         "Example:\n"
                         "  aostrack-cli passes --sat 10 --from 2024-02-12T00:00:00Z\n");
}

QString PassesJson(const PassList& list, const QString& reason)
{
    QStringList passes;
    for (size_t i = 0; i < list.Passes.size(); ++i) {
        const ListedPass& p = list.Passes[i];
        passes << QStringLiteral("{\"AosTime\": %1, \"LosTime\": %2, \"AosAzimuth\": %3, "
                                 "\"LosAzimuth\": %4, \"MaxElevation\": %5, \"Line\": %6}")
                      .arg(JsonString(FormatUtcInstant(p.AosTime)),
                          JsonString(FormatUtcInstant(p.LosTime)), JsonNumber(p.AosAzimuth),
                          JsonNumber(p.LosAzimuth), JsonNumber(p.MaxElevation),
                          JsonString(QString::fromStdString(list.Lines[i])));
    }
    QString json
        = QStringLiteral("{\"Passes\": [") + passes.join(QStringLiteral(", ")) + QLatin1Char(']');
    if (!reason.isEmpty())
        json += QStringLiteral(", \"Reason\": ") + JsonString(reason);
    return json + QStringLiteral("}\n");
}

QString PassesText(const PassList& list, const QString& reason, std::chrono::sys_seconds from)
{
    if (!reason.isEmpty())
        return QStringLiteral("%1 in the 24 hours from %2\n").arg(reason, FormatUtcInstant(from));
    QString text;
    for (const std::string& line : list.Lines)
        text += QString::fromStdString(line) + QLatin1Char('\n');
    return text;
}

} // namespace

int RunPassesCommand(const QStringList& argList)
{
    QStringList valueOptions = kCommonValueOptions;
    valueOptions << QStringLiteral("--from");
    const ParsedArgs args = ParseOptions(argList, valueOptions, kCommonFlags);
    if (args.Has(QStringLiteral("--help"))) {
        WriteOut(PassesHelp());
        return ExitOk;
    }
    const EngineInputs in = ResolveInputs(args);
    const auto from = InstantOption(args, QStringLiteral("--from"));
    const PassList list = RunEngine(
        in, [&] { return BuildPassList(OrbitModel(in.elements, in.station, in.model), from); });
    WarnIfElementSetOld(in.satName, in.elements.Epoch, from);
    // An empty list would read the same for a satellite that never sets and
    // one that never rises: both forms say which.
    QString reason;
    if (list.Lines.empty()) {
        const HorizonSpan span = RunEngine(in, [&] {
            return ClassifyHorizon(OrbitModel(in.elements, in.station, in.model), from,
                std::chrono::minutes(1), PassListSteps);
        });
        reason = EmptyPassListReason(span);
    }
    WriteOut(args.Has(QStringLiteral("--json")) ? PassesJson(list, reason)
                                                : PassesText(list, reason, from));
    return ExitOk;
}

} // namespace aostrack
