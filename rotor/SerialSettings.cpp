#include "rotor/SerialSettings.h"

#include <QStringList>
#include <array>

namespace aostrack {

namespace {

// Rates a PC serial port or a USB adapter offers; a typo such as 96000 is
// caught here instead of at the first pass.
constexpr std::array kBaudRates { 110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 28800, 38400,
    56000, 57600, 115200, 128000, 230400, 256000, 460800, 921600 };

Failure Fail(const QString& text)
{
    return Failure { text };
}

} // namespace

Result<SerialSettings> ParseSerialSettings(const QString& text)
{
    const QString quoted = QStringLiteral("\"") + text + QStringLiteral("\"");
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4) {
        return Fail(QStringLiteral("Rotor port settings %1: expected four fields "
                                   "baud,parity,data bits,stop bits as in 9600,n,8,1")
                        .arg(quoted));
    }
    auto field = [&](int i) { return fields[i].trimmed(); };

    SerialSettings settings;

    bool ok = false;
    const QString baudText = field(0);
    const int baud = baudText.toInt(&ok, 10);
    bool known = false;
    for (int rate : kBaudRates)
        known = known || (ok && rate == baud);
    // toInt accepts a sign; a rate is digits only.
    if (!known || !baudText.front().isDigit()) {
        return Fail(QStringLiteral("Rotor port settings %1: baud rate \"%2\" is not one of "
                                   "110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 28800, "
                                   "38400, 56000, 57600, 115200, 128000, 230400, 256000, 460800, "
                                   "921600")
                        .arg(quoted, baudText));
    }
    settings.baudRate = baud;

    const QString parityText = field(1).toLower();
    if (parityText == QLatin1String("n"))
        settings.parity = SerialParity::None;
    else if (parityText == QLatin1String("e"))
        settings.parity = SerialParity::Even;
    else if (parityText == QLatin1String("o"))
        settings.parity = SerialParity::Odd;
    else if (parityText == QLatin1String("m"))
        settings.parity = SerialParity::Mark;
    else if (parityText == QLatin1String("s"))
        settings.parity = SerialParity::Space;
    else {
        return Fail(QStringLiteral("Rotor port settings %1: parity \"%2\" must be n, e, o, m or s")
                        .arg(quoted, field(1)));
    }

    const QString dataText = field(2);
    if (dataText.size() != 1 || dataText[0] < QLatin1Char('5') || dataText[0] > QLatin1Char('8')) {
        return Fail(QStringLiteral("Rotor port settings %1: data bits \"%2\" must be 5, 6, 7 or 8")
                        .arg(quoted, dataText));
    }
    settings.dataBits = dataText[0].unicode() - '0';

    const QString stopText = field(3);
    if (stopText == QLatin1String("1"))
        settings.stopBits = SerialStopBits::One;
    else if (stopText == QLatin1String("1.5"))
        settings.stopBits = SerialStopBits::OneAndHalf;
    else if (stopText == QLatin1String("2"))
        settings.stopBits = SerialStopBits::Two;
    else {
        return Fail(QStringLiteral("Rotor port settings %1: stop bits \"%2\" must be 1, 1.5 or 2")
                        .arg(quoted, stopText));
    }
    return settings;
}

} // namespace aostrack
