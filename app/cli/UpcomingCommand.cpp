// upcoming: the passes of every satellite of the element file over the
// station, sorted by AOS, the whole catalogue searched on all cores.
#include "app/cli/CatalogArgs.h"
#include "app/cli/CliArgs.h"
#include "app/cli/CliConfig.h"
#include "app/cli/Commands.h"
#include "app/cli/Json.h"
#include "app/cli/SatelliteChoice.h"
#include "app/cli/UpcomingLines.h"

#include "core/ElementFile.h"
#include "core/SystemClock.h"
#include "orbit/Tle.h"
#include "passes/UpcomingPasses.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace aostrack {
namespace {

using namespace std::chrono;

const char* const kHelp
    = "Usage: aostrack-cli upcoming [--tle FILE] [--lat DEG --lon DEG | --locator LOC]\n"
      "                             [--height KM]\n"
      "                             [--from YYYY-MM-DDTHH:MM:SSZ] [--hours H] [--min-el DEG]\n"
      "                             [--config FILE] [--model M] [--threads N] [--json]\n"
      "\n"
      "Every pass of every satellite of the element file that begins within the\n"
      "window, sorted by AOS. AOS is the first whole second with the satellite above\n"
      "the horizon, LOS the first one after it below (looked for up to a day past the\n"
      "window); the maximum elevation is the highest whole second of the pass. A\n"
      "satellite already up at --from has AOS = --from + 1 s and is marked \"up at start\".\n"
      "Satellites in view for the whole window and those never in view are named after\n"
      "the passes. Records without element lines are skipped (one line on stderr);\n"
      "records the reader refuses or doubts are named on stderr as by every command;\n"
      "sets more than 14 days older than --from are counted in one line on stderr.\n"
      "Exit codes: 0 done, 1 the output could not all be written (a full disk),\n"
      "2 bad arguments or an unreadable file.\n"
      "\n"
      "  --tle FILE       element-set file (default: TLEFILE of sat.ini)\n"
      "  --lat DEG        station latitude, degrees north, south negative\n"
      "  --lon DEG        station longitude, degrees east, west negative\n"
      "  --locator LOC    station as a Maidenhead locator of 4, 6 or 8 characters\n"
      "                   (JN58sd: the centre of its square), instead of --lat, --lon\n"
      "  --height KM      station height above the ellipsoid in kilometres\n"
      "                   (default for these three: QTH_LAT, QTH_LONG, QTH_HEIGHT)\n"
      "  --config FILE    sat.ini to read the defaults from (default: sat.ini beside\n"
      "                   aostrack-cli; only read when one of the four above is missing)\n"
      "  --from TIME      start of the window, UTC (default: now)\n"
      "  --hours H        length of the window in hours (default 24, at most 168)\n"
      "  --min-el DEG     only passes whose maximum elevation reaches DEG (default 0)\n"
      "  --model M        orbit model: plan13 or sgp4 (default: ORBIT_MODEL of\n"
      "                   sat.ini, else plan13)\n"
      "  --threads N      threads to search and write with (default: one per core);\n"
      "                   the output is the same for any N\n"
      "  --json           {\"Passes\": [{\"Name\", \"CatalogNumber\", \"AosTime\", \"LosTime\",\n"
      "                   \"MaxElevation\", \"MaxElevationTime\", \"AosAzimuth\",\n"
      "                   \"LosAzimuth\"}, ...]}; degrees, times YYYY-MM-DDTHH:MM:SSZ,\n"
      "                   a LOS not found is null\n"
      "\n"
      "Example:\n"
      "  aostrack-cli upcoming --tle amateur.txt --lat 48.1371 --lon 11.5754 \\\n"
      "      --height 0.519 --from 2024-02-12T12:00:00Z --min-el 10\n";

struct Catalogue {
    std::vector<ElementSet> Sets;
    std::vector<int> Records; // 1-based record of each set
};

std::optional<int> CatalogNumberOf(const SatRecord& record)
{
    if (record.Elements.CatalogNumber <= 0)
        return std::nullopt;
    return record.Elements.CatalogNumber;
}

QString Named(const TleLoad& load, int record)
{
    return QStringLiteral("record %1 \"%2\"")
        .arg(record)
        .arg(QString::fromStdString(load.Table.Record(record).SatName));
}

// "N records ... skipped (record 3 "A", record 9 "B", ...)": one line for all.
void ReportSkipped(const QString& tlePath, const QString& what, const QStringList& which)
{
    if (which.isEmpty())
        return;
    QStringList shown = which.mid(0, 5);
    if (which.size() > shown.size())
        shown << QStringLiteral("...");
    WriteErr(QStringLiteral("aostrack-cli: %1: %2 %3 skipped (%4)\n")
                 .arg(tlePath)
                 .arg(which.size())
                 .arg(what, shown.join(QStringLiteral(", "))));
}

// Some 200,000 pieces from one thread: the stream's lock, taken per call by
// fwrite, is not needed.
void WritePiece(std::string_view text)
{
    fwrite_unlocked(text.data(), 1, text.size(), stdout);
}

struct UpcomingOptions {
    sys_seconds From {};
    double Hours = 24.0;
    double MinElevation = 0.0;
    unsigned Threads = 0; // 0: one per core
};

UpcomingOptions ReadUpcomingOptions(const ParsedArgs& args)
{
    UpcomingOptions o;
    o.From = args.Has(QStringLiteral("--from"))
        ? ParseUtcInstant(args.Value(QStringLiteral("--from")), QStringLiteral("--from"))
        : SystemClock().UtcNow();
    if (args.Has(QStringLiteral("--hours")))
        o.Hours = ParseNumberInRange(
            args.Value(QStringLiteral("--hours")), QStringLiteral("--hours"), 1.0 / 3600.0, 168);
    if (args.Has(QStringLiteral("--min-el")))
        o.MinElevation = ParseNumberInRange(
            args.Value(QStringLiteral("--min-el")), QStringLiteral("--min-el"), -90, 90);
    const double threadsWanted = args.Has(QStringLiteral("--threads"))
        ? ParseNumberInRange(
            args.Value(QStringLiteral("--threads")), QStringLiteral("--threads"), 1, 1024)
        : 0.0;
    if (threadsWanted != std::floor(threadsWanted))
        throw UsageError(QStringLiteral("--threads: \"%1\" is not a whole number")
                             .arg(args.Value(QStringLiteral("--threads"))));
    o.Threads = static_cast<unsigned>(threadsWanted);
    return o;
}

// The sets that can be predicted: two-line records need both lines (those
// without are named in one line); OMM records are whole.
Catalogue PredictableSets(const TleLoad& load, const QString& tlePath)
{
    Catalogue catalogue;
    QStringList withoutElements;
    for (int i = 1; i <= load.SatCount; ++i) {
        const SatRecord& r = load.Table.Record(i);
        if (!r.HasElementSet()) {
            withoutElements << Named(load, i);
            continue;
        }
        catalogue.Sets.push_back(r.Elements);
        catalogue.Records.push_back(i);
    }
    ReportSkipped(tlePath, QStringLiteral("records without element lines"), withoutElements);
    return catalogue;
}

// Old sets can be off by whole passes: said once, for the whole file.
void WarnIfCatalogueOld(
    const TleLoad& load, const Catalogue& catalogue, sys_seconds from, const QString& tlePath)
{
    std::vector<NamedEpoch> epochs;
    epochs.reserve(catalogue.Sets.size());
    for (std::size_t k = 0; k < catalogue.Sets.size(); ++k)
        epochs.push_back(
            { load.Table.Record(catalogue.Records[k]).SatName, catalogue.Sets[k].Epoch });
    if (const std::optional<QString> warning = CatalogueAgeWarning(epochs, from))
        WriteErr(QStringLiteral("aostrack-cli: %1: %2; run 'aostrack-cli update'\n")
                     .arg(tlePath, *warning));
}

// The satellites without passes in the window, by why.
struct Outliers {
    QStringList Refused; // by the orbit model, with its reason
    QStringList Always;
    int Never = 0; // only counted: a catalogue has thousands
};

Outliers SortOutliers(
    const std::vector<SatellitePasses>& found, const TleLoad& load, const Catalogue& catalogue)
{
    Outliers out;
    for (std::size_t k = 0; k < found.size(); ++k) {
        switch (found[k].Presence) {
        case SkyPresence::Refused:
            out.Refused << Named(load, catalogue.Records[k]) + QStringLiteral(": ")
                    + QString::fromStdString(found[k].Refusal);
            break;
        case SkyPresence::AlwaysInView:
            out.Always << QString::fromStdString(load.Table.Record(catalogue.Records[k]).SatName);
            break;
        case SkyPresence::NeverInView:
            ++out.Never;
            break;
        case SkyPresence::Passes:
            break;
        }
    }
    return out;
}

// The name through QString, as every other line of the tool writes it (a
// broken UTF-8 byte comes out replaced).
PassLabel LabelOf(const TleLoad& load, const Catalogue& catalogue, std::size_t k)
{
    const SatRecord& r = load.Table.Record(catalogue.Records[k]);
    const QString name = QString::fromStdString(r.SatName);
    return { name.toStdString(), JsonString(name).toStdString(), CatalogNumberOf(r) };
}

QString OutlierLines(const Outliers& outliers)
{
    QString out;
    if (!outliers.Always.isEmpty())
        out += QStringLiteral("in view for the whole window: ")
            + outliers.Always.join(QStringLiteral(", ")) + QLatin1Char('\n');
    if (outliers.Never > 0)
        out += QStringLiteral("never in view: %1 satellite%2\n")
                   .arg(outliers.Never)
                   .arg(outliers.Never == 1 ? QString() : QStringLiteral("s"));
    return out;
}

// A whole catalogue leaves a few hundred thousand blocks behind: the system
// takes the process's memory back at once, faster than freeing them one by
// one (some 10 ms), so the command ends the process once all is written.
// Output that a full disk or a broken pipe lost is said and fails the
// command: a scheduler must not take a cut list for the whole day.
[[noreturn]] void EndProcess(const std::string& lastText)
{
    WritePiece(lastText);
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    const bool written = flushed && !std::ferror(stdout);
    if (!written)
        WriteErr(QStringLiteral("aostrack-cli: cannot write the passes: %1\n")
                     .arg(QString::fromLocal8Bit(std::strerror(flushed ? EIO : error))));
    std::fflush(stderr);
    std::_Exit(written ? ExitOk : ExitFailed);
}

} // namespace

int RunUpcomingCommand(const QStringList& argList)
{
    const ParsedArgs args = ParseOptions(argList,
        { QStringLiteral("--tle"), QStringLiteral("--lat"), QStringLiteral("--lon"),
            QStringLiteral("--locator"), QStringLiteral("--height"), QStringLiteral("--config"),
            QStringLiteral("--from"), QStringLiteral("--hours"), QStringLiteral("--min-el"),
            QStringLiteral("--model"), QStringLiteral("--threads") },
        { QStringLiteral("--json"), QStringLiteral("--help") });
    if (args.Has(QStringLiteral("--help"))) {
        WriteOut(QString::fromUtf8(kHelp));
        return ExitOk;
    }

    // Some 200,000 lines for the whole catalogue: written in large blocks.
    static char outputBuffer[1 << 20];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    const ComputeSettings settings = ResolveComputeSettings(args);
    const UpcomingOptions o = ReadUpcomingOptions(args);
    const TleLoad load = LoadCatalogue(settings.TlePath);
    const Catalogue catalogue = PredictableSets(load, settings.TlePath);
    WarnIfCatalogueOld(load, catalogue, o.From, settings.TlePath);

    const seconds window { static_cast<long long>(std::llround(o.Hours * 3600.0)) };
    // Each satellite's passes are written by the worker that found them.
    const bool json = args.Has(QStringLiteral("--json"));
    std::vector<WrittenPasses> written(catalogue.Sets.size());
    const auto write = [&](std::size_t k, SatellitePasses& s) {
        if (s.Passes.empty())
            return;
        written[k] = WritePasses(s.Passes, LabelOf(load, catalogue, k), o.MinElevation,
            json ? PassForm::JsonObject : PassForm::TextLine);
        // Written: the memory goes to the worker's next satellites.
        std::vector<UpcomingPass>().swap(s.Passes);
    };
    const std::vector<SatellitePasses> found = FindUpcomingPasses(
        catalogue.Sets, settings.Site, o.From, window, o.Threads, settings.Model, write);
    const Outliers outliers = SortOutliers(found, load, catalogue);
    ReportSkipped(
        settings.TlePath, QStringLiteral("records the orbit model refuses"), outliers.Refused);

    if (json) {
        WritePiece("{\"Passes\": [");
        JoinByAos(written, ", ", WritePiece);
        EndProcess("]}\n");
    }
    // AOS  LOS  maximum (at its time)  azimuths  name
    JoinByAos(written, "", WritePiece);
    EndProcess(OutlierLines(outliers).toStdString());
}

} // namespace aostrack
