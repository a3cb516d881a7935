#pragma once
// EasyComm I position and park commands, as the rotor interface reads them.
// Pure text: no port, no state. Numbers always carry a full stop, whatever
// the operator's regional settings, because the rotor's parser knows no comma.
#include <QByteArray>
#include <QString>

namespace aostrack {

// Every command ends with a carriage return; EasyComm needs no line feed.
inline constexpr char kEasyCommEnd = '\r';

// Elevations between this and 0 degrees are sent as EL000.0; below it the
// satellite counts as gone and the rotor is parked (degrees).
inline constexpr double kRotorHorizonDeg = -3.0;

// "AZaaa.0 ELeee.0" (15 characters, no carriage return): azimuth and elevation
// rounded to whole degrees, halves to even, at least three integer digits.
// An elevation below 0 is sent as EL000.0 so the rotor waits at the horizon.
// 359.6 degrees gives AZ360.0: the rotor's own range covers 360.
QString EasyCommPosition(double azimuth, double elevation);

// The bytes for the wire: text (position or park) followed by the carriage
// return. The park text is sent as configured; an empty one gives a lone CR.
QByteArray EasyCommWire(const QString& command);

} // namespace aostrack
