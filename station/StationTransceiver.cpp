#include "station/StationTransceiver.h"

#include "radio/FrequencyDatabase.h"

#include <QLocale>

namespace aostrack {

StationTransceiver::StationTransceiver(const Configuration& config, QObject* parent)
    : QObject(parent)
    , m_config(config)
    , m_offsetsPath(OffsetsPathFor(config.IniPath))
{
    connect(&m_control, &TransceiverControl::logLine, this, &StationTransceiver::logLine);
}

void StationTransceiver::Open()
{
    m_control.Open({ m_config.RigHost, static_cast<quint16>(m_config.RigHostPort),
        m_config.RigUplinkHost, static_cast<quint16>(m_config.RigUplinkHostPort), m_config.RigTxVfo,
        m_config.RigStepHz });
}

QList<Transmitter> StationTransceiver::ReadTransmitters(int catalogNumber, const QString& satName)
{
    m_listProblem.clear();
    if (!m_config.TransmitterFilePath.isEmpty()) {
        Result<TransmitterList> list
            = ReadTransmitterList(m_config.TransmitterFilePath, m_allTransmitters);
        if (list && !m_config.TransmitterLocalPath.isEmpty()) {
            const Result<TransmitterList> local
                = ReadTransmitterList(m_config.TransmitterLocalPath, m_allTransmitters);
            list = local ? Result<TransmitterList>(MergeLocalTransmitters(*list, *local))
                         : Result<TransmitterList>(Failure { local.Error() });
        }
        if (!list)
            m_listProblem = list.Error();
        else if (const QList<Transmitter> rows = TransmittersOf(*list, catalogNumber);
                 !rows.isEmpty())
            return rows;
    }
    const FrequencyRows rows = ReadFrequencyRows(m_config.DopplerFileName, satName, QLocale::c());
    return TransmittersFromFrequencyRows(rows.Rows, catalogNumber);
}

void StationTransceiver::LoadSatellite(int catalogNumber, const QString& satName)
{
    m_catalogNumber = catalogNumber;
    m_transmitters = ReadTransmitters(catalogNumber, satName);
    if (!m_listProblem.isEmpty())
        emit logLine(
            QStringLiteral("Transceiver: %1; doppler.sql serves instead").arg(m_listProblem));
    const Result<OffsetTable> table = ReadOffsets(m_offsetsPath);
    if (!table)
        emit logLine(QStringLiteral("Transceiver: %1; offsets 0").arg(table.Error()));
    m_offsets = table ? table->value(catalogNumber) : CalibrationOffsets {};
    ApplySetup();
    m_chosen = -1;
    ChooseTransmitter(0);
    emit offsetsChanged();
}

void StationTransceiver::ChooseTransmitter(int index)
{
    if (index < 0 || index >= m_transmitters.size()) {
        m_chosen = -1;
        m_control.SetTransmitter({});
    } else {
        m_chosen = index;
        m_control.SetTransmitter(m_transmitters.at(index));
    }
    emit transmittersChanged();
}

Result<void> StationTransceiver::SetOffsets(const CalibrationOffsets& offsets)
{
    m_offsets = offsets;
    ApplySetup();
    emit offsetsChanged();
    return StoreOffsets(m_offsetsPath, m_catalogNumber, offsets);
}

void StationTransceiver::ApplySetup()
{
    m_control.SetDialSetup(
        { m_config.RigRxLoHz, m_config.RigTxLoHz, m_offsets.RxHz, m_offsets.TxHz });
}

} // namespace aostrack
