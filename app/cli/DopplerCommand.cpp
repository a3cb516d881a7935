// doppler: every transmitter of one satellite at one instant, with the
// frequencies at the satellite and the Doppler-corrected receive and transmit
// dials.
#include "app/cli/CliArgs.h"
#include "app/cli/CliConfig.h"
#include "app/cli/Commands.h"
#include "app/cli/EngineInputs.h"
#include "app/cli/Json.h"
#include "app/cli/SatelliteChoice.h"
#include "app/cli/TrackRadio.h"
#include "radio/CalibrationOffsets.h"
#include "radio/DopplerLegs.h"
#include "radio/FrequencyDatabase.h"
#include "radio/TransmitterList.h"

#include <cmath>

namespace aostrack {
namespace {

const char* const kDopplerHelp
    = "Usage: aostrack-cli doppler --tle FILE (--sat NAME|--norad N) --transmitters FILE\n"
      "                            [--doppler FILE] --lat DEG --lon DEG --height KM\n"
      "                            [--at TIME] [--downlink HZ] [--model plan13|sgp4]\n"
      "                            [--rx-offset HZ] [--tx-offset HZ]\n"
      "                            [--all-transmitters] [--json]\n"
      "\n"
      "Every transmitter of the satellite at one instant: the downlink and uplink at\n"
      "the satellite and the receive and transmit dial frequencies that hold them\n"
      "there (receive down x (1 - rr/c), transmit up / (1 - rr/c)).\n"
      "\n"
      "  --transmitters FILE  the SatNOGS DB transmitter list (JSON) (default:\n"
      "                       TRANSMITTERS of sat.ini, with TRANSMITTERS_LOCAL over it)\n"
      "  --doppler FILE       doppler.sql: its rows serve a satellite that no\n"
      "                       transmitter row covers\n"
      "  --at TIME            the instant, UTC (default: now)\n"
      "  --downlink HZ        the passband point of the linear transponders whose\n"
      "                       downlink passband holds it (default: the centre)\n"
      "  --rx-offset HZ       calibration added to the receive dial, and\n"
      "  --tx-offset HZ       to the transmit dial (default: the satellite's line in\n"
      "                       offsets.ini beside sat.ini, else 0)\n"
      "  --all-transmitters   also rows whose status is not \"active\"\n"
      "  --tle --sat --norad --lat --lon --height --config --model as for 'state'.\n"
      "\n"
      "JSON: {\"Time\", \"RangeRate\" (km/s), \"Transmitters\": [{\"Uuid\", \"Description\",\n"
      "\"Type\", \"Mode\", \"UplinkMode\", \"Invert\", \"DownlinkHz\", \"UplinkHz\",\n"
      "\"DownlinkDialHz\", \"UplinkDialHz\"}]}, null where a leg does not exist.\n"
      "The dial columns are what the radio is set to: with a converter between radio\n"
      "and antenna (RIG_RX_LO_HZ, RIG_TX_LO_HZ of sat.ini when it can be read) they\n"
      "are the corrected frequency plus the offset minus the LO.\n"
      "Example:\n"
      "  aostrack-cli doppler --tle amateur.txt --sat RS-44 --transmitters \\\n"
      "      transmitters.json --lat 48.1371 --lon 11.5754 --height 0.519 --json\n";

TransmitterList LoadTransmitters(const ParsedArgs& args)
{
    const bool all = args.Has(QStringLiteral("--all-transmitters"));
    QString path = args.Value(QStringLiteral("--transmitters"));
    QString localPath;
    if (path.isEmpty()) {
        const Configuration config = LoadCliConfiguration(args.Value(QStringLiteral("--config")));
        path = config.TransmitterFilePath;
        localPath = config.TransmitterLocalPath;
        if (path.isEmpty())
            throw UsageError(
                QStringLiteral("no transmitter list: give --transmitters FILE or TRANSMITTERS "
                               "in %1")
                    .arg(CliConfigPath(args.Value(QStringLiteral("--config")))));
    }
    const Result<TransmitterList> list = ReadTransmitterList(path, all);
    if (!list)
        throw UsageError(list.Error());
    if (localPath.isEmpty())
        return *list;
    const Result<TransmitterList> local = ReadTransmitterList(localPath, all);
    if (!local)
        throw UsageError(local.Error());
    return MergeLocalTransmitters(*list, *local);
}

QList<Transmitter> SatelliteTransmitters(const ParsedArgs& args, const EngineInputs& in)
{
    const QList<Transmitter> rows
        = TransmittersOf(LoadTransmitters(args), in.elements.CatalogNumber);
    if (!rows.isEmpty() || !args.Has(QStringLiteral("--doppler")))
        return rows;
    const QString dopplerPath = args.Value(QStringLiteral("--doppler"));
    const FrequencyRows dopplerRows = ReadFrequencyRows(dopplerPath, in.satName, QLocale::c());
    if (!dopplerRows.Opened)
        throw UsageError(QStringLiteral("%1: %2").arg(dopplerPath, dopplerRows.OpenError));
    return TransmittersFromFrequencyRows(dopplerRows.Rows, in.elements.CatalogNumber);
}

TransmitterFrequencies FrequenciesOf(const Transmitter& t)
{
    return { t.DownlinkLowHz, t.DownlinkHighHz, t.UplinkLowHz, t.UplinkHighHz, t.Invert };
}

// --downlink applies to the transponders whose passband holds it; one that
// lies in none of them is a slip worth telling.
std::optional<double> PassbandPoint(const ParsedArgs& args, const QList<Transmitter>& rows)
{
    if (!args.Has(QStringLiteral("--downlink")))
        return std::nullopt;
    const double hz = ParseNumberInRange(
        args.Value(QStringLiteral("--downlink")), QStringLiteral("--downlink"), 1, 1e12);
    QStringList passbands;
    for (const Transmitter& t : rows) {
        const TransmitterFrequencies f = FrequenciesOf(t);
        if (!IsLinearPassband(f))
            continue;
        if (hz >= *f.DownlinkLowHz && hz <= *f.DownlinkHighHz)
            return hz;
        passbands << QStringLiteral("%1-%2")
                         .arg(*f.DownlinkLowHz, 0, 'f', 0)
                         .arg(*f.DownlinkHighHz, 0, 'f', 0);
    }
    throw UsageError(QStringLiteral("--downlink %1 Hz lies in no transponder passband (%2)")
                         .arg(hz, 0, 'f', 0)
                         .arg(passbands.isEmpty()
                                 ? QStringLiteral("the satellite has none")
                                 : passbands.join(QStringLiteral(", ")) + QStringLiteral(" Hz")));
}

// The converters of sat.ini and the satellite's offsets kept beside it, the
// flags over them. Without a readable sat.ini (and no --config) none.
DialSetup DopplerDialSetup(const ParsedArgs& args, int catalogNumber)
{
    DialSetup setup;
    CalibrationOffsets stored;
    try {
        const Configuration config = LoadCliConfiguration(args.Value(QStringLiteral("--config")));
        setup.RxLoHz = config.RigRxLoHz;
        setup.TxLoHz = config.RigTxLoHz;
        const Result<OffsetTable> table = ReadOffsets(OffsetsPathFor(config.IniPath));
        if (!table)
            throw UsageError(table.Error());
        stored = table->value(catalogNumber);
    } catch (const UsageError&) {
        if (args.Has(QStringLiteral("--config")))
            throw;
    }
    const CalibrationOffsets offsets = OffsetOptions(args, stored);
    setup.RxOffsetHz = offsets.RxHz;
    setup.TxOffsetHz = offsets.TxHz;
    return setup;
}

struct DopplerRow {
    Transmitter transmitter;
    SatelliteLegs legs;
    DialFrequencies dials;
};

QString JsonHz(const std::optional<double>& hz)
{
    return hz ? QString::number(std::llround(*hz)) : QStringLiteral("null");
}

QString JsonText(const QString& text, bool present)
{
    return present ? JsonString(text) : QStringLiteral("null");
}

QString DopplerJson(std::chrono::sys_seconds at, double rangeRate, const QList<DopplerRow>& rows)
{
    QStringList items;
    for (const DopplerRow& row : rows) {
        const Transmitter& t = row.transmitter;
        items << QStringLiteral("{\"Uuid\": %1, \"Description\": %2, \"Type\": %3, \"Mode\": %4, "
                                "\"UplinkMode\": %5, \"Invert\": %6, \"DownlinkHz\": %7, "
                                "\"UplinkHz\": %8, \"DownlinkDialHz\": %9, \"UplinkDialHz\": %10}")
                     .arg(JsonText(t.Uuid, !t.Uuid.isEmpty()), JsonString(t.Description),
                         JsonString(t.Type), JsonText(t.Mode, !t.Mode.isEmpty()),
                         JsonText(t.UplinkMode, !t.UplinkMode.isEmpty()),
                         t.Invert ? QStringLiteral("true") : QStringLiteral("false"),
                         JsonHz(row.legs.DownlinkHz), JsonHz(row.legs.UplinkHz),
                         JsonHz(row.dials.ReceiveDialHz))
                     .arg(JsonHz(row.dials.TransmitDialHz));
    }
    return QStringLiteral("{\"Time\": %1, \"RangeRate\": %2, \"Transmitters\": [%3]}\n")
        .arg(JsonString(FormatUtcInstant(at)), JsonNumber(rangeRate),
            items.join(QStringLiteral(", ")));
}

QString MegahertzText(const std::optional<double>& hz)
{
    return hz ? QString::number(std::llround(*hz) / 1e6, 'f', 6) + QStringLiteral(" MHz")
              : QStringLiteral("-");
}

QString DopplerText(const EngineInputs& in, std::chrono::sys_seconds at, double rangeRate,
    const QList<DopplerRow>& rows)
{
    QString text = QStringLiteral("%1 at %2, range rate %3 km/s\n")
                       .arg(in.satName, FormatUtcInstant(at), QString::number(rangeRate, 'f', 4));
    if (rows.isEmpty())
        text += QStringLiteral("no transmitter listed for catalogue number %1\n")
                    .arg(in.elements.CatalogNumber);
    for (const DopplerRow& row : rows) {
        const Transmitter& t = row.transmitter;
        QString modes = t.Mode;
        if (!t.UplinkMode.isEmpty())
            modes += QLatin1Char('/') + t.UplinkMode;
        text += QStringLiteral("%1 (%2, %3%4%5)\n")
                    .arg(t.Description, t.Type, modes,
                        IsLinearPassband(FrequenciesOf(t))
                            ? (t.Invert ? QStringLiteral(", inverting")
                                        : QStringLiteral(", non-inverting"))
                            : QString(),
                        t.ToneHz ? QStringLiteral(", tone %1 Hz").arg(*t.ToneHz, 0, 'f', 1)
                                 : QString());
        text += QStringLiteral("  downlink %1  receive dial  %2\n")
                    .arg(MegahertzText(row.legs.DownlinkHz), -16)
                    .arg(MegahertzText(row.dials.ReceiveDialHz));
        if (row.legs.UplinkHz)
            text += QStringLiteral("  uplink   %1  transmit dial %2\n")
                        .arg(MegahertzText(row.legs.UplinkHz), -16)
                        .arg(MegahertzText(row.dials.TransmitDialHz));
    }
    return text;
}

} // namespace

int RunDopplerCommand(const QStringList& argList)
{
    const ParsedArgs args = ParseOptions(argList,
        { QStringLiteral("--tle"), QStringLiteral("--sat"), QStringLiteral("--norad"),
            QStringLiteral("--transmitters"), QStringLiteral("--doppler"), QStringLiteral("--lat"),
            QStringLiteral("--lon"), QStringLiteral("--height"), QStringLiteral("--at"),
            QStringLiteral("--downlink"), QStringLiteral("--model"), QStringLiteral("--config"),
            QStringLiteral("--rx-offset"), QStringLiteral("--tx-offset") },
        { QStringLiteral("--json"), QStringLiteral("--all-transmitters"),
            QStringLiteral("--help") });
    if (args.Has(QStringLiteral("--help"))) {
        WriteOut(QString::fromLatin1(kDopplerHelp) + QString::fromLatin1(kModelHelp));
        return ExitOk;
    }
    const EngineInputs in = ResolveInputs(args);
    const auto at = InstantOption(args, QStringLiteral("--at"));
    const QList<Transmitter> transmitters = SatelliteTransmitters(args, in);
    const std::optional<double> point = PassbandPoint(args, transmitters);

    double rangeRate = 0;
    try {
        rangeRate = OrbitModel(in.elements, in.station, in.model).Compute(at, 0).RangeRate;
    } catch (const OrbitError& error) {
        throw UsageError(QStringLiteral("%1 record %2 (%3): %4")
                             .arg(in.tlePath)
                             .arg(in.record)
                             .arg(in.satName, QString::fromUtf8(error.what())));
    }
    WarnIfElementSetOld(in.satName, in.elements.Epoch, at);

    const DialSetup setup = DopplerDialSetup(args, in.elements.CatalogNumber);
    QList<DopplerRow> rows;
    for (const Transmitter& t : transmitters) {
        const TransmitterFrequencies f = FrequenciesOf(t);
        const bool holdsPoint = point && IsLinearPassband(f) && *point >= *f.DownlinkLowHz
            && *point <= *f.DownlinkHighHz;
        const SatelliteLegs legs = LegsAtSatellite(f, holdsPoint ? point : std::nullopt);
        rows.append({ t, legs, DialsFor(legs, rangeRate, setup) });
    }
    WriteOut(args.Has(QStringLiteral("--json")) ? DopplerJson(at, rangeRate, rows)
                                                : DopplerText(in, at, rangeRate, rows));
    return ExitOk;
}

} // namespace aostrack
