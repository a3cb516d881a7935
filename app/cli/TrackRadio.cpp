#include "app/cli/TrackRadio.h"

#include "app/cli/CliArgs.h"
#include "radio/FrequencyDatabase.h"
#include "station/StationSession.h"

namespace aostrack {
namespace {

QList<Transmitter> StationTransmitters(const Configuration& config, const TrackingSession& tracking)
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
    : m_point(passbandPointHz)
{
    const Configuration& config = station.Tracking().Config();
    if (config.RigHost.isEmpty())
        throw UsageError(QStringLiteral("--radio: %1 has no RIG_HOST").arg(config.IniPath));
    m_transmitter = ChooseTransmitter(StationTransmitters(config, station.Tracking()), transmitter);
    m_frequencies = { m_transmitter.DownlinkLowHz, m_transmitter.DownlinkHighHz,
        m_transmitter.UplinkLowHz, m_transmitter.UplinkHighHz, m_transmitter.Invert };
    m_setup.RxLoHz = config.RigRxLoHz;
    m_setup.TxLoHz = config.RigTxLoHz;
    m_link.SetTxVfo(config.RigTxVfo);
    m_link.SetStepHz(config.RigStepHz);
    const QString where
        = QStringLiteral("rigctld %1:%2").arg(config.RigHost).arg(config.RigHostPort);
    QObject::connect(&m_link, &RigctldTransceiver::connected,
        [log, where] { log(QStringLiteral("Transceiver at %1").arg(where)); });
    QObject::connect(&m_link, &RigctldTransceiver::lost, [log, where](const QString& reason) {
        log(QStringLiteral("Transceiver at %1 lost: %2").arg(where, reason));
    });
    QObject::connect(&m_link, &RigctldTransceiver::unavailable, [log](const QString& command) {
        log(QStringLiteral("Transceiver: the radio cannot do \"%1\"; not sent again").arg(command));
    });
    QObject::connect(
        &m_link, &RigctldTransceiver::refused, [log](const QString& command, const QString& code) {
            log(QStringLiteral("Transceiver refused \"%1\": RPRT %2").arg(command, code));
        });
    log(QStringLiteral("Transceiver on %1 (%2)")
            .arg(m_transmitter.Description,
                m_transmitter.Uuid.isEmpty() ? QStringLiteral("doppler.sql") : m_transmitter.Uuid));
    m_link.Open(config.RigHost, static_cast<quint16>(config.RigHostPort));
}

void TrackRadio::Tick(double rangeRateKmPerSec)
{
    const SatelliteLegs legs = LegsAtSatellite(m_frequencies, m_point);
    const DialFrequencies dials = DialsFor(legs, rangeRateKmPerSec, m_setup);
    m_link.Tune({ dials.ReceiveDialHz, dials.TransmitDialHz, HamlibMode(m_transmitter.Mode),
        HamlibMode(m_transmitter.UplinkMode), m_transmitter.ToneHz });
    m_text = DialText("RX", dials.ReceiveDialHz) + DialText("TX", dials.TransmitDialHz)
        + m_transmitter.Description;
}

} // namespace aostrack
