#include "radio/TransceiverControl.h"

#include <algorithm>

namespace aostrack {

TransceiverControl::TransceiverControl(QObject* parent)
    : QObject(parent)
{
}

TransceiverControl::~TransceiverControl() = default;

void TransceiverControl::Open(const RigLinkSettings& settings)
{
    Close();
    m_receive = std::make_unique<RigctldTransceiver>();
    m_receive->SetTxVfo(settings.TxVfo);
    m_receive->SetStepHz(settings.StepHz);
    m_receive->SetDialFollow(true);
    connect(
        m_receive.get(), &RigctldTransceiver::dialTurned, this, &TransceiverControl::OnDialTurned);
    WireLink(*m_receive, QStringLiteral("%1:%2").arg(settings.Host).arg(settings.Port));
    if (!settings.UplinkHost.isEmpty()) {
        m_uplink = std::make_unique<RigctldTransceiver>();
        m_uplink->SetStepHz(settings.StepHz);
        WireLink(*m_uplink,
            QStringLiteral("%1:%2 (uplink)").arg(settings.UplinkHost).arg(settings.UplinkPort));
        m_uplink->Open(settings.UplinkHost, settings.UplinkPort);
    }
    m_receive->Open(settings.Host, settings.Port);
}

void TransceiverControl::Close()
{
    m_receive.reset();
    m_uplink.reset();
    emit linksChanged();
}

bool TransceiverControl::ReceiveLinkUp() const
{
    return m_receive && m_receive->IsConnected();
}

bool TransceiverControl::UplinkLinkUp() const
{
    return m_uplink ? m_uplink->IsConnected() : ReceiveLinkUp();
}

void TransceiverControl::WireLink(RigctldTransceiver& link, const QString& where)
{
    connect(&link, &RigctldTransceiver::connected, this, [this, where] {
        emit logLine(QStringLiteral("Transceiver at rigctld %1").arg(where));
        emit linksChanged();
    });
    connect(&link, &RigctldTransceiver::lost, this, [this, where](const QString& reason) {
        emit logLine(QStringLiteral("Transceiver at rigctld %1 lost: %2").arg(where, reason));
        emit linksChanged();
    });
    connect(&link, &RigctldTransceiver::unavailable, this, [this, where](const QString& command) {
        emit logLine(QStringLiteral("Transceiver at %1: the radio cannot do \"%2\"; not sent again")
                         .arg(where, command));
    });
    connect(&link, &RigctldTransceiver::refused, this,
        [this, where](const QString& command, const QString& code) {
            emit logLine(QStringLiteral("Transceiver at %1 refused \"%2\": RPRT %3")
                             .arg(where, command, code));
        });
}

void TransceiverControl::SetTransmitter(const Transmitter& transmitter)
{
    m_transmitter = transmitter;
    m_frequencies = { transmitter.DownlinkLowHz, transmitter.DownlinkHighHz,
        transmitter.UplinkLowHz, transmitter.UplinkHighHz, transmitter.Invert };
    m_point.reset();
    m_manualUplinkHz.reset();
    Retune();
}

bool TransceiverControl::HasPassband() const
{
    return IsLinearPassband(m_frequencies);
}

void TransceiverControl::SetPassbandPoint(std::optional<double> downHz)
{
    if (!HasPassband())
        return;
    m_point = downHz ? std::optional(
                  std::clamp(*downHz, *m_frequencies.DownlinkLowHz, *m_frequencies.DownlinkHighHz))
                     : std::nullopt;
    Retune();
}

void TransceiverControl::MovePassbandPoint(double deltaHz)
{
    if (const std::optional<double> point = PassbandPointHz())
        SetPassbandPoint(*point + deltaHz);
}

std::optional<double> TransceiverControl::PassbandPointHz() const
{
    if (!HasPassband())
        return std::nullopt;
    return LegsAtSatellite(m_frequencies, m_point).DownlinkHz;
}

void TransceiverControl::SetManualUplink(std::optional<double> upHz)
{
    m_manualUplinkHz = upHz;
    Retune();
}

void TransceiverControl::SetDialSetup(const DialSetup& setup)
{
    m_setup = setup;
    Retune();
}

void TransceiverControl::Tick(double rangeRateKmPerSec)
{
    m_rangeRate = rangeRateKmPerSec;
    Retune();
}

void TransceiverControl::Retune()
{
    m_legs = LegsAtSatellite(m_frequencies, m_point);
    if (m_manualUplinkHz && !HasPassband())
        m_legs.UplinkHz = m_manualUplinkHz;
    m_dials = DialsFor(m_legs, m_rangeRate, m_setup);
    const QString rxMode = HamlibMode(m_transmitter.Mode);
    const QString txMode = HamlibMode(m_transmitter.UplinkMode);
    if (m_uplink) {
        // Two radios: each is tuned on its own main VFO with F, the tone
        // goes to the one that transmits.
        m_receive->Tune({ m_dials.ReceiveDialHz, std::nullopt, rxMode, {}, std::nullopt });
        m_uplink->Tune({ m_dials.TransmitDialHz, std::nullopt, txMode, {},
            m_dials.TransmitDialHz ? m_transmitter.ToneHz : std::nullopt });
    } else if (m_receive) {
        m_receive->Tune({ m_dials.ReceiveDialHz, m_dials.TransmitDialHz, rxMode, txMode,
            m_transmitter.ToneHz });
    }
    emit dialsChanged();
}

// The operator turned the receive dial: the point in the passband moves by
// the same amount at the satellite, and the uplink follows it.
void TransceiverControl::OnDialTurned(double readHz, double sentHz)
{
    if (!HasPassband())
        return;
    const double atSatelliteHz = (readHz - sentHz) / (1 - m_rangeRate / kSpeedOfLightKmPerSec);
    emit logLine(QStringLiteral("Transceiver: dial turned by %1 Hz, passband point follows")
                     .arg(std::llround(readHz - sentHz)));
    MovePassbandPoint(atSatelliteHz);
}

} // namespace aostrack
