#include "rotor/EasyComm.h"

#include "core/NumberText.h"

namespace aostrack {

namespace {

// Whole degrees in the "000.0" form: three digits at least, sign in front.
// Formatted by hand rather than through the locale so that no regional digit
// or separator can reach the rotor.
QString ThreeDigitDegrees(double degrees)
{
    const long long whole = static_cast<long long>(RoundHalfEven(degrees));
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
