#pragma once
// What the station's web page and JSON API carry, as JSON objects built from
// the running station. Keys that hold the same value as `aostrack-cli state
// --json` carry the same name; times are UTC in ISO 8601 ("2024-02-12T18:00:00Z").
#include <QJsonObject>
#include <QStringList>
#include <chrono>

namespace aostrack {

class PassOverview;
class StationSession;
class TrackingSession;

// The live message, four times a second: Time, the satellite's state, the
// countdown, the pass (AosTime, LosTime), the orbit model, the panel's texts,
// the rotor and the receiver.
QJsonObject LiveStateJson(const StationSession& station, std::chrono::sys_seconds now);
// The selected satellite's passes of the next 24 hours ("Passes": AosTime,
// LosTime, AosAzimuth, LosAzimuth, MaxElevation, Line); "Reason" when the
// model refuses the set.
QJsonObject PassListJson(const TrackingSession& tracker, std::chrono::sys_seconds now);
// The path of the tracked pass across the sky, for the page's polar plot.
QJsonObject SkyPassJson(const TrackingSession& tracker);
// Every satellite's passes whose AOS lies within hours of the overview's start;
// "Computing": true while the first computation runs.
QJsonObject UpcomingJson(const PassOverview& overview, int hours);
// The newest count lines of the event log, oldest first.
QJsonObject LogJson(const QStringList& lines, int count);
// Name, position and orbit model of the station (nothing secret).
QJsonObject StationInfoJson(const TrackingSession& tracker);

// "2024-02-12T18:00:00Z"
QString IsoUtc(std::chrono::sys_seconds instant);

} // namespace aostrack
