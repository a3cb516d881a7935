#pragma once
// The transceiver kept on one transmitter of the satellite: the passband
// point, the calibration offsets and converters, and the rigctld links. One
// radio receives on its current VFO and transmits in split; with a second
// radio (RIG_UPLINK_HOST) the first only receives and the second transmits,
// each tuned with F. The receive dial is read back, and a turn of it by the
// operator moves the passband point, with the uplink following.
#include "radio/DopplerLegs.h"
#include "radio/RigctldTransceiver.h"
#include "radio/TransmitterList.h"

#include <QObject>
#include <memory>
#include <optional>

namespace aostrack {

struct RigLinkSettings {
    QString Host; // RIG_HOST
    quint16 Port = 4532;
    QString UplinkHost; // RIG_UPLINK_HOST; empty: the one radio transmits in split
    quint16 UplinkPort = 4532;
    QString TxVfo = QStringLiteral("VFOB");
    double StepHz = kRigDefaultStepHz;
};

class TransceiverControl : public QObject {
    Q_OBJECT
public:
    explicit TransceiverControl(QObject* parent = nullptr);
    ~TransceiverControl() override;

    void Open(const RigLinkSettings& settings);
    void Close();
    bool IsOpen() const { return m_receive != nullptr; }
    bool HasUplinkRadio() const { return m_uplink != nullptr; }
    bool ReceiveLinkUp() const;
    bool UplinkLinkUp() const; // the uplink radio's, else the one radio's

    // A new transmitter: the passband point goes back to its centre and a
    // manual uplink is dropped.
    void SetTransmitter(const Transmitter& transmitter);
    const Transmitter& CurrentTransmitter() const { return m_transmitter; }
    bool HasPassband() const;
    // The passband point at the satellite, kept inside the passband; nullopt:
    // the centre. Ignored for a row without passband.
    void SetPassbandPoint(std::optional<double> downHz);
    void MovePassbandPoint(double deltaHz);
    std::optional<double> PassbandPointHz() const; // in use; nullopt without passband
    // The uplink at the satellite of a single-frequency row (the frequency
    // window's manual uplink); nullopt: the row's own.
    void SetManualUplink(std::optional<double> upHz);
    // Converters and calibration offsets.
    void SetDialSetup(const DialSetup& setup);
    const DialSetup& Setup() const { return m_setup; }

    // Both dials at this range rate, sent to the radios.
    void Tick(double rangeRateKmPerSec);
    const DialFrequencies& Dials() const { return m_dials; }
    const SatelliteLegs& Legs() const { return m_legs; }

signals:
    void dialsChanged();
    void linksChanged(); // a link came up or went down
    void logLine(const QString& line);

private:
    void Retune();
    void WireLink(RigctldTransceiver& link, const QString& where);
    void OnDialTurned(double readHz, double sentHz);

    std::unique_ptr<RigctldTransceiver> m_receive;
    std::unique_ptr<RigctldTransceiver> m_uplink;
    Transmitter m_transmitter;
    TransmitterFrequencies m_frequencies;
    std::optional<double> m_point;
    std::optional<double> m_manualUplinkHz;
    DialSetup m_setup;
    double m_rangeRate = 0;
    SatelliteLegs m_legs;
    DialFrequencies m_dials;
};

} // namespace aostrack
