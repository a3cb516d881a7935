#pragma once
// The station's transceiver: the transmitters of the tracked satellite
// (TRANSMITTERS with TRANSMITTERS_LOCAL over it, else the rows of
// doppler.sql), the chosen one, its calibration offsets from offsets.ini
// and the rigctld links, tuned at every computed tick. The window and
// 'aostrack-cli track --radio' share it through StationSession.
#include "core/Configuration.h"
#include "radio/CalibrationOffsets.h"
#include "radio/TransceiverControl.h"

#include <QObject>
#include <QString>

namespace aostrack {

class StationTransceiver : public QObject {
    Q_OBJECT
public:
    explicit StationTransceiver(const Configuration& config, QObject* parent = nullptr);

    // Opens RIG_HOST (and RIG_UPLINK_HOST).
    void Open();
    TransceiverControl& Control() { return m_control; }
    const TransceiverControl& Control() const { return m_control; }

    // The satellite's transmitters, read again from the files; the first one
    // chosen and the satellite's stored offsets applied. A damaged list is
    // logged (file and reason) and doppler.sql serves instead.
    void LoadSatellite(int catalogNumber, const QString& satName);
    int CatalogNumber() const { return m_catalogNumber; }
    // Rows whose status is not "active" too (takes effect at the next load).
    void SetAllTransmitters(bool all) { m_allTransmitters = all; }
    const QList<Transmitter>& Transmitters() const { return m_transmitters; }
    // The list's reason when it could not be read; empty when it was.
    const QString& ListProblem() const { return m_listProblem; }
    void ChooseTransmitter(int index);
    int ChosenIndex() const { return m_chosen; }

    // The operator changed an offset: applied and written to offsets.ini
    // (only when it differs from what the file holds).
    Result<void> SetOffsets(const CalibrationOffsets& offsets);
    const CalibrationOffsets& Offsets() const { return m_offsets; }

signals:
    void transmittersChanged(); // a new list or another choice
    void offsetsChanged();
    void logLine(const QString& line);

private:
    QList<Transmitter> ReadTransmitters(int catalogNumber, const QString& satName);
    void ApplySetup();

    Configuration m_config;
    QString m_offsetsPath;
    TransceiverControl m_control;
    QList<Transmitter> m_transmitters;
    QString m_listProblem;
    int m_chosen = -1;
    int m_catalogNumber = 0;
    bool m_allTransmitters = false;
    CalibrationOffsets m_offsets;
};

} // namespace aostrack
