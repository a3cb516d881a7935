// groundtrack: the sub-satellite track and footprint over a span of time,
// as text, JSON or GeoJSON for mapping tools.
#include "app/cli/CliArgs.h"
#include "app/cli/Commands.h"
#include "app/cli/EngineInputs.h"
#include "app/cli/Json.h"
#include "app/cli/SatelliteChoice.h"

#include "core/SystemClock.h"
#include "passes/GeoJson.h"
#include "passes/GroundTrack.h"

namespace aostrack {
namespace {

// Enough for a month of track at one point a minute.
constexpr long long MaxTrackPoints = 50000;

QString GroundtrackHelp()
{
    return QStringLiteral(
               "Usage: aostrack-cli groundtrack [--tle FILE] [--sat N|NAME|--norad NUMBER]\n"
               "                                [--from YYYY-MM-DDTHH:MM:SSZ] [--minutes M]\n"
               "                                [--step S] [--model plan13|sgp4]\n"
               "                                [--json|--geojson]\n"
               "\n"
               "Where the satellite is over the earth: one row per step with the time, the\n"
               "sub-satellite point (geodetic latitude on WGS-84, longitude -180..180), the\n"
               "height above the ellipsoid and the footprint radius along the ground (the\n"
               "ground that sees the satellite at 0 degrees elevation).\n"
               "\n")
        + CommonHelp()
        + QStringLiteral(
            "  --from TIME      first point, UTC (default: now)\n"
            "  --minutes M      length of the track, minutes (default 100)\n"
            "  --step S         seconds between points (default 60)\n"
            "  --geojson        an RFC 7946 FeatureCollection instead of text: the track\n"
            "                   (MultiLineString cut at the antimeridian), the footprint at\n"
            "                   --from (Polygon, or MultiPolygon where it crosses the\n"
            "                   antimeridian) and the station (Point)\n"
            "\n"
            "JSON: "
            "{\"Points\":[{\"Time\",\"Latitude\",\"Longitude\",\"HeightKm\",\"FootprintKm\"}]}\n"
            "Example:\n"
            "  aostrack-cli groundtrack --tle amateur.txt --sat \"ISS (ZARYA)\" \\\n"
            "      --from 2024-02-12T18:00:00Z --model sgp4 --geojson > iss.geojson\n");
}

QString PointsJson(const std::vector<GroundPoint>& track)
{
    QString text = QStringLiteral("{\"Points\":[");
    for (size_t i = 0; i < track.size(); ++i) {
        const GroundPoint& g = track[i];
        text += (i ? QStringLiteral(",\n") : QStringLiteral("\n"))
            + QStringLiteral("{\"Time\":%1,\"Latitude\":%2,\"Longitude\":%3,\"HeightKm\":%4,"
                             "\"FootprintKm\":%5}")
                  .arg(JsonString(FormatUtcInstant(g.Time)), JsonNumber(g.Latitude),
                      JsonNumber(g.Longitude), JsonNumber(g.HeightKm), JsonNumber(g.FootprintKm));
    }
    return text + QStringLiteral("\n]}\n");
}

QString PointsText(const EngineInputs& in, const std::vector<GroundPoint>& track)
{
    QString text = QStringLiteral("%1 (record %2 of %3), %4\n")
                       .arg(in.satName)
                       .arg(in.record)
                       .arg(in.tlePath, QString::fromLatin1(OrbitModelName(in.model)));
    text += QStringLiteral("%1 %2 %3 %4 %5\n")
                .arg(QStringLiteral("Time (UTC)"), -20)
                .arg(QStringLiteral("Lat °"), 9)
                .arg(QStringLiteral("Lon °"), 10)
                .arg(QStringLiteral("Height km"), 10)
                .arg(QStringLiteral("Footprint km"), 13);
    for (const GroundPoint& g : track)
        text += QStringLiteral("%1 %2 %3 %4 %5\n")
                    .arg(FormatUtcInstant(g.Time), -20)
                    .arg(g.Latitude, 9, 'f', 3)
                    .arg(g.Longitude, 10, 'f', 3)
                    .arg(g.HeightKm, 10, 'f', 3)
                    .arg(g.FootprintKm, 13, 'f', 1);
    return text;
}

// How long the track is and how far apart its points lie.
struct TrackSpan {
    std::chrono::seconds Length {};
    std::chrono::seconds Step {};
};

TrackSpan ReadTrackSpan(const ParsedArgs& args)
{
    const double minutes = args.Has(QStringLiteral("--minutes"))
        ? ParseNumberInRange(
            args.Value(QStringLiteral("--minutes")), QStringLiteral("--minutes"), 0, 44640)
        : 100.0;
    const double step = args.Has(QStringLiteral("--step"))
        ? ParseNumberInRange(
            args.Value(QStringLiteral("--step")), QStringLiteral("--step"), 1, 86400)
        : 60.0;
    TrackSpan span;
    span.Step = std::chrono::seconds { static_cast<long long>(step) };
    if (static_cast<double>(span.Step.count()) != step)
        throw UsageError(QStringLiteral("--step: whole seconds, not \"%1\"")
                             .arg(args.Value(QStringLiteral("--step"))));
    span.Length = std::chrono::seconds { static_cast<long long>(minutes * 60.0) };
    if (span.Length / span.Step + 1 > MaxTrackPoints)
        throw UsageError(QStringLiteral("--minutes %1 at --step %2 gives more than %3 points")
                             .arg(minutes)
                             .arg(step)
                             .arg(MaxTrackPoints));
    return span;
}

} // namespace

int RunGroundtrackCommand(const QStringList& argList)
{
    const QStringList valueOptions = CommonValueOptions()
        + QStringList { QStringLiteral("--from"), QStringLiteral("--minutes"),
              QStringLiteral("--step") };
    const QStringList flags
        = { QStringLiteral("--json"), QStringLiteral("--geojson"), QStringLiteral("--help") };
    const ParsedArgs args = ParseOptions(argList, valueOptions, flags);
    if (args.Has(QStringLiteral("--help"))) {
        WriteOut(GroundtrackHelp());
        return ExitOk;
    }
    if (args.Has(QStringLiteral("--json")) && args.Has(QStringLiteral("--geojson")))
        throw UsageError(QStringLiteral("--json and --geojson: give one of them"));
    const TrackSpan span = ReadTrackSpan(args);

    const EngineInputs in = ResolveInputs(args);
    const auto from = args.Has(QStringLiteral("--from"))
        ? ParseUtcInstant(args.Value(QStringLiteral("--from")), QStringLiteral("--from"))
        : SystemClock().UtcNow();
    WarnIfElementSetOld(in.satName, in.elements.Epoch, from);

    std::vector<GroundPoint> track;
    try {
        const OrbitModel model(in.elements, in.station, in.model);
        track = GroundTrackOf(model, from, from + span.Length, span.Step);
    } catch (const OrbitError& error) {
        throw UsageError(QStringLiteral("%1 record %2 (%3): %4")
                             .arg(in.tlePath)
                             .arg(in.record)
                             .arg(in.satName, QString::fromUtf8(error.what())));
    }

    if (args.Has(QStringLiteral("--geojson"))) {
        GroundTrackExport data;
        data.Name = in.satName.toStdString();
        data.CatalogNumber = in.elements.CatalogNumber;
        data.Track = std::move(track);
        data.Where = in.station;
        WriteOut(QString::fromStdString(GroundTrackGeoJson(data)));
    } else if (args.Has(QStringLiteral("--json"))) {
        WriteOut(PointsJson(track));
    } else {
        WriteOut(PointsText(in, track));
    }
    return ExitOk;
}

} // namespace aostrack
