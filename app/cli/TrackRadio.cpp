#include "app/cli/TrackRadio.h"

#include "app/cli/CliArgs.h"
#include "station/StationSession.h"
#include "station/StationTransceiver.h"

namespace aostrack {
namespace {

// A calibration larger than this is a slip (kHz typed as Hz the other way round).
constexpr double kLargestOffsetHz = 1e6;

StationTransceiver& OpenedTransceiver(StationSession& station)
{
    if (!station.Transceiver())
        throw UsageError(
            QStringLiteral("--radio: %1 has no RIG_HOST").arg(station.Tracking().Config().IniPath));
    return *station.Transceiver();
}

int ChosenIndex(const QList<Transmitter>& rows, const QString& wanted)
{
    if (rows.isEmpty())
        throw UsageError(QStringLiteral("--radio: no transmitter listed for this satellite"));
    if (wanted.isEmpty())
        return 0;
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (rows[i].Uuid == wanted || rows[i].Description.compare(wanted, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    QStringList names;
    for (const Transmitter& t : rows)
        names << QStringLiteral("\"%1\" (%2)").arg(t.Description, t.Uuid);
    throw UsageError(QStringLiteral("--transmitter \"%1\" is none of %2")
                         .arg(wanted, names.join(QStringLiteral(", "))));
}

QString DialText(const char* leg, const std::optional<double>& hz)
{
    return hz ? QStringLiteral("%1 %2 MHz  ")
                    .arg(QLatin1String(leg))
                    .arg(std::llround(*hz) / 1e6, 0, 'f', 6)
              : QString();
}

std::optional<double> NumberOption(
    const ParsedArgs& args, const QString& name, double low, double high)
{
    if (!args.Has(name))
        return std::nullopt;
    return ParseNumberInRange(args.Value(name), name, low, high);
}

} // namespace

RadioOptions ReadRadioOptions(const ParsedArgs& args, bool radio)
{
    RadioOptions o;
    o.Transmitter = args.Value(QStringLiteral("--transmitter"));
    o.PassbandPointHz = NumberOption(args, QStringLiteral("--downlink"), 1, 1e12);
    o.RxOffsetHz
        = NumberOption(args, QStringLiteral("--rx-offset"), -kLargestOffsetHz, kLargestOffsetHz);
    o.TxOffsetHz
        = NumberOption(args, QStringLiteral("--tx-offset"), -kLargestOffsetHz, kLargestOffsetHz);
    o.AllTransmitters = args.Has(QStringLiteral("--all-transmitters"));
    const bool any = args.Has(QStringLiteral("--transmitter")) || o.PassbandPointHz || o.RxOffsetHz
        || o.TxOffsetHz || o.AllTransmitters;
    if (!radio && any)
        throw UsageError(QStringLiteral("--transmitter, --downlink, --rx-offset, --tx-offset and "
                                        "--all-transmitters go with --radio"));
    return o;
}

CalibrationOffsets OffsetOptions(const ParsedArgs& args, CalibrationOffsets stored)
{
    const RadioOptions o = ReadRadioOptions(args, true);
    return { o.RxOffsetHz.value_or(stored.RxHz), o.TxOffsetHz.value_or(stored.TxHz) };
}

TrackRadio::TrackRadio(StationSession& station, const RadioOptions& options)
    : m_transceiver(OpenedTransceiver(station))
{
    const auto& tracking = station.Tracking();
    // The satellite of --sat is chosen after start-up: its list is read here.
    m_transceiver.SetAllTransmitters(options.AllTransmitters);
    m_transceiver.LoadSatellite(tracking.CurrentElements().CatalogNumber, tracking.SelectedName());
    if (!m_transceiver.ListProblem().isEmpty())
        throw UsageError(m_transceiver.ListProblem());
    m_transceiver.ChooseTransmitter(ChosenIndex(m_transceiver.Transmitters(), options.Transmitter));
    m_transceiver.Control().SetPassbandPoint(options.PassbandPointHz);
    const CalibrationOffsets stored = m_transceiver.Offsets();
    const CalibrationOffsets wanted { options.RxOffsetHz.value_or(stored.RxHz),
        options.TxOffsetHz.value_or(stored.TxHz) };
    if (wanted != stored)
        if (const Result<void> kept = m_transceiver.SetOffsets(wanted); !kept)
            station.Log().LogEvent(QStringLiteral(": ") + kept.Error(), true);
    const Transmitter& chosen = m_transceiver.Control().CurrentTransmitter();
    station.Log().LogEvent(
        QStringLiteral(": Transceiver on %1 (%2), offsets RX %3 Hz TX %4 Hz")
            .arg(chosen.Description,
                chosen.Uuid.isEmpty() ? QStringLiteral("doppler.sql") : chosen.Uuid)
            .arg(wanted.RxHz)
            .arg(wanted.TxHz),
        true);
}

QString TrackRadio::Text() const
{
    const DialFrequencies& dials = m_transceiver.Control().Dials();
    return DialText("RX", dials.ReceiveDialHz) + DialText("TX", dials.TransmitDialHz)
        + m_transceiver.Control().CurrentTransmitter().Description;
}

} // namespace aostrack
