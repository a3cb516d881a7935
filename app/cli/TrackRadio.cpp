#include "app/cli/TrackRadio.h"

#include "app/cli/CliArgs.h"
#include "radio/FrequencyDatabase.h"
#include "station/StationSession.h"

namespace aostrack {
namespace {

QList<Transmitter> StationTransmitters(const Configuration& config, const Tracker& tracking)
{
    const int number = tracking.CurrentElements().CatalogNumber;
    if (!config.TransmitterFilePath.isEmpty()) {
        const Result<TransmitterList> list = ReadTransmitterList(config.TransmitterFilePath);
        if (!list)
            throw UsageError(list.Error());
        TransmitterList merged = *list;
        if (!config.TransmitterLocalPath.isEmpty()) {
            const Result<TransmitterList> local = ReadTransmitterList(config.TransmitterLocalPath);
            if (!local)
                throw UsageError(local.Error());
            merged = MergeLocalTransmitters(merged, *local);
        }
        const QList<Transmitter> rows = TransmittersOf(merged, number);
        if (!rows.isEmpty())
            return rows;
    }
    const FrequencyRows rows
        = ReadFrequencyRows(config.DopplerFileName, tracking.SelectedName(), QLocale::c());
    return TransmittersFromFrequencyRows(rows.Rows, number);
}

Transmitter ChooseTransmitter(const QList<Transmitter>& rows, const QString& wanted)
{
    if (rows.isEmpty())
        throw UsageError(QStringLiteral("--radio: no transmitter listed for this satellite"));
    if (wanted.isEmpty())
        return rows.front();
    for (const Transmitter& t : rows)
        if (t.Uuid == wanted || t.Description.compare(wanted, Qt::CaseInsensitive) == 0)
            return t;
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

} // namespace

TrackRadio::TrackRadio(StationSession& station, const QString& transmitter,
    std::optional<double> passbandPointHz, std::function<void(const QString&)> log)
{
    const Configuration& config = station.Tracking().Config();
    if (config.RigHost.isEmpty())
        throw UsageError(QStringLiteral("--radio: %1 has no RIG_HOST").arg(config.IniPath));
    const Transmitter chosen
        = ChooseTransmitter(StationTransmitters(config, station.Tracking()), transmitter);
    QObject::connect(&m_control, &TransceiverControl::logLine, log);
    log(QStringLiteral("Transceiver on %1 (%2)")
            .arg(chosen.Description,
                chosen.Uuid.isEmpty() ? QStringLiteral("doppler.sql") : chosen.Uuid));
    m_control.SetTransmitter(chosen);
    m_control.SetPassbandPoint(passbandPointHz);
    m_control.SetDialSetup({ config.RigRxLoHz, config.RigTxLoHz, 0, 0 });
    m_control.Open({ config.RigHost, static_cast<quint16>(config.RigHostPort), config.RigUplinkHost,
        static_cast<quint16>(config.RigUplinkHostPort), config.RigTxVfo, config.RigStepHz });
}

void TrackRadio::Tick(double rangeRateKmPerSec)
{
    m_control.Tick(rangeRateKmPerSec);
    const DialFrequencies& dials = m_control.Dials();
    m_text = DialText("RX", dials.ReceiveDialHz) + DialText("TX", dials.TransmitDialHz)
        + m_control.CurrentTransmitter().Description;
}

} // namespace aostrack
