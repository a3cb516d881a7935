#include "web/StationJson.h"

#include "core/PassOverview.h"
#include "core/StateFields.h"
#include "core/TrackingSession.h"
#include "core/TrackingTexts.h"
#include "core/UtcText.h"
#include "orbit/OrbitError.h"
#include "passes/Passes.h"
#include "radio/ReceiverController.h"
#include "rotor/RotorController.h"
#include "station/StationSession.h"

#include <QJsonArray>
#include <algorithm>

namespace aostrack {

using namespace std::chrono;

QString IsoUtc(sys_seconds instant)
{
    return UtcInstantText(instant);
}

namespace {

QJsonValue OptionalTime(const std::optional<sys_seconds>& instant)
{
    return instant ? QJsonValue(IsoUtc(*instant)) : QJsonValue();
}

QJsonValue AimJson(const std::optional<RotorAim>& aim)
{
    if (!aim)
        return QJsonValue();
    return QJsonObject { { QStringLiteral("Azimuth"), aim->Azimuth },
        { QStringLiteral("Elevation"), aim->Elevation } };
}

QJsonValue RotorJson(const RotorController* rotor)
{
    if (!rotor || !rotor->Configured())
        return QJsonValue();
    return QJsonObject {
        { QStringLiteral("Following"), rotor->LinkChecked() },
        { QStringLiteral("Connected"), rotor->PortOpen() },
        { QStringLiteral("Status"), rotor->StatusText() },
        { QStringLiteral("ParkMode"), rotor->ParkModeText() },
        { QStringLiteral("Commanded"), AimJson(rotor->CommandedPosition()) },
        { QStringLiteral("Reported"), AimJson(rotor->ReportedPosition()) },
    };
}

QJsonObject ReceiverJson(
    const TrackingSession& tracker, const TrackingTexts& texts, const ReceiverController& receiver)
{
    const FrequencyState& f = tracker.Frequency();
    return {
        { QStringLiteral("Tracking"), receiver.Frame().Tracking },
        { QStringLiteral("NominalFreqKHz"), f.NominalFreq },
        { QStringLiteral("OffsetKHz"), f.FreqOffset },
        { QStringLiteral("TunedFreqKHz"), f.TunedFreq },
        // The Doppler-corrected frequency as the panel shows it.
        { QStringLiteral("CentreFreq"), texts.Panel().CentreFreq },
        { QStringLiteral("Mode"), receiver.Frame().RowNote },
    };
}

QJsonObject PanelJson(const DataPanelTexts& panel)
{
    return {
        { QStringLiteral("Azimuth"), panel.Azimuth },
        { QStringLiteral("Elevation"), panel.Elevation },
        { QStringLiteral("SatLong"), panel.SatLong },
        { QStringLiteral("SatLat"), panel.SatLat },
        { QStringLiteral("Distance"), panel.Distance },
        { QStringLiteral("Height"), panel.Height },
        { QStringLiteral("OrbitNumber"), panel.OrbitNumber },
        { QStringLiteral("Illumination"), panel.Illumination },
        { QStringLiteral("Loss"), panel.Loss },
        { QStringLiteral("DopplerShift"), panel.DopplerShift },
        { QStringLiteral("Info"), panel.Info },
        { QStringLiteral("TleAge"), panel.TleAge },
    };
}

} // namespace

QJsonObject LiveStateJson(const StationSession& station, sys_seconds now)
{
    const TrackingSession& tracker = station.Tracking();
    QJsonObject object { { QStringLiteral("Time"), IsoUtc(now) } };
    for (const auto& [name, value] : SatelliteStateFields(
             tracker.SelectedName(), tracker.CurrentElements().CatalogNumber, tracker.State()))
        object.insert(name, value);
    object.insert(QStringLiteral("Countdown"), station.Texts().CountdownText());
    object.insert(QStringLiteral("AosTime"), OptionalTime(tracker.AosTime()));
    object.insert(QStringLiteral("LosTime"), OptionalTime(tracker.LosTime()));
    object.insert(
        QStringLiteral("OrbitModel"), QString::fromLatin1(OrbitModelName(tracker.ModelKind())));
    object.insert(QStringLiteral("Panel"), PanelJson(station.Texts().Panel()));
    object.insert(QStringLiteral("Rotor"), RotorJson(station.Rotor()));
    object.insert(
        QStringLiteral("Receiver"), ReceiverJson(tracker, station.Texts(), station.Receiver()));
    return object;
}

QJsonObject PassListJson(const TrackingSession& tracker, sys_seconds now)
{
    QJsonArray passes;
    QJsonObject object;
    try {
        const OrbitModel model(
            tracker.CurrentElements(), tracker.StationPosition(), tracker.ModelKind());
        const PassList list = BuildPassList(model, now);
        for (size_t i = 0; i < list.Passes.size(); ++i) {
            const ListedPass& p = list.Passes[i];
            passes.append(QJsonObject {
                { QStringLiteral("AosTime"), IsoUtc(p.AosTime) },
                { QStringLiteral("LosTime"), IsoUtc(p.LosTime) },
                { QStringLiteral("AosAzimuth"), p.AosAzimuth },
                { QStringLiteral("LosAzimuth"), p.LosAzimuth },
                { QStringLiteral("MaxElevation"), p.MaxElevation },
                { QStringLiteral("Line"), QString::fromStdString(list.Lines[i]) },
            });
        }
    } catch (const OrbitError& error) {
        object.insert(QStringLiteral("Reason"), QString::fromUtf8(error.what()));
    }
    object.insert(QStringLiteral("Name"), tracker.SelectedName());
    object.insert(QStringLiteral("Passes"), passes);
    return object;
}

QJsonObject SkyPassJson(const TrackingSession& tracker)
{
    const SkyPass pass = SkyPassOf(tracker.CurrentElements(), tracker.StationPosition(),
        tracker.AosTime(), tracker.LosTime(), tracker.ModelKind());
    QJsonArray track;
    for (const SkyPoint& point : pass.Track)
        track.append(QJsonArray { point.Azimuth, point.Elevation });
    return { { QStringLiteral("AosTime"), OptionalTime(tracker.AosTime()) },
        { QStringLiteral("LosTime"), OptionalTime(tracker.LosTime()) },
        { QStringLiteral("Track"), track } };
}

QJsonObject UpcomingJson(const PassOverview& overview, int hours)
{
    QJsonArray rows;
    const std::optional<sys_seconds> start = overview.WindowStart();
    if (start) {
        const sys_seconds end = *start + std::chrono::hours(hours);
        for (const OverviewRow& row : overview.Rows()) {
            if (row.Pass.AosTime >= end)
                break; // sorted by AOS
            rows.append(QJsonObject {
                { QStringLiteral("Name"), row.Name },
                { QStringLiteral("AosTime"), IsoUtc(row.Pass.AosTime) },
                { QStringLiteral("LosTime"), OptionalTime(row.Pass.LosTime) },
                { QStringLiteral("MaxElevation"), row.Pass.MaxElevation },
                { QStringLiteral("MaxElevationTime"), IsoUtc(row.Pass.MaxElevationTime) },
                { QStringLiteral("AosAzimuth"), row.Pass.AosAzimuth },
                { QStringLiteral("LosAzimuth"), row.Pass.LosAzimuth },
                { QStringLiteral("InProgress"), row.Pass.InProgress },
            });
        }
    }
    return { { QStringLiteral("From"), OptionalTime(start) }, { QStringLiteral("Hours"), hours },
        { QStringLiteral("Computing"), !start.has_value() }, { QStringLiteral("Passes"), rows },
        { QStringLiteral("AlwaysInView"), QJsonArray::fromStringList(overview.AlwaysInView()) } };
}

QJsonObject LogJson(const QStringList& lines, int count)
{
    const qsizetype first = std::max<qsizetype>(0, lines.size() - count);
    return { { QStringLiteral("Lines"), QJsonArray::fromStringList(lines.mid(first)) } };
}

QJsonObject StationInfoJson(const TrackingSession& tracker)
{
    const Configuration& config = tracker.Config();
    return {
        { QStringLiteral("Name"), config.StationName },
        { QStringLiteral("Latitude"), config.StationLat },
        { QStringLiteral("Longitude"), config.StationLon },
        { QStringLiteral("HeightKm"), config.StationHeight },
        { QStringLiteral("OrbitModel"), QString::fromLatin1(OrbitModelName(tracker.ModelKind())) },
        { QStringLiteral("Satellites"), QJsonArray::fromStringList(tracker.SatelliteNames()) },
        { QStringLiteral("Selected"), tracker.SelectedName() },
    };
}

} // namespace aostrack
