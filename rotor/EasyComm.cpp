#include "rotor/EasyComm.h"

#include <cmath>

namespace aostrack {

double RoundDegreeHalfEven(double value)
{
    const double nearest = std::round(value); // halves away from zero
    if (std::abs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0); // the even neighbour
    return nearest;
}

namespace {

// Whole degrees in the "000.0" form: three digits at least, sign in front.
// Formatted by hand rather than through the locale so that no regional digit
// or separator can reach the rotor.
QString ThreeDigitDegrees(double degrees)
{
    const long long whole = static_cast<long long>(RoundDegreeHalfEven(degrees));
    QString digits
        = QString::number(whole < 0 ? -whole : whole).rightJustified(3, QLatin1Char('0'));
    if (whole < 0)
        digits.prepend(QLatin1Char('-'));
    return digits + QStringLiteral(".0");
}

} // namespace

QString EasyCommPosition(double azimuth, double elevation)
{
    const QString el = elevation < 0 ? QStringLiteral("000.0") : ThreeDigitDegrees(elevation);
    return QStringLiteral("AZ") + ThreeDigitDegrees(azimuth) + QStringLiteral(" EL") + el;
}

QByteArray EasyCommWire(const QString& command)
{
    // Park texts come from sat.ini (ANSI on the original station); Latin-1
    // keeps every byte of such a text as it was written.
    QByteArray bytes = command.toLatin1();
    bytes.append(kEasyCommEnd);
    return bytes;
}

} // namespace aostrack
