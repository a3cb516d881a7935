#pragma once
// Line settings of the rotor port in the serial control's text form,
// "baud,parity,data bits,stop bits", for instance "9600,n,8,1".
#include "core/Result.h"
#include <QString>
#include <optional>

namespace aostrack {

enum class SerialParity { None, Even, Odd, Mark, Space };
enum class SerialStopBits { One, OneAndHalf, Two };

struct SerialSettings {
    int baudRate = 9600;
    SerialParity parity = SerialParity::None;
    int dataBits = 8; // 5..8
    SerialStopBits stopBits = SerialStopBits::One;

    bool operator==(const SerialSettings&) const = default;
};

// The serial control's default, used when sat.ini gives no settings.
inline const QString kDefaultSerialSettingsText = QStringLiteral("9600,n,8,1");

// Strict reading of a settings text: four comma-separated fields, blanks
// around a field allowed; baud one of the usual rates, parity n/e/o/m/s (either
// case), data bits 5 to 8, stop bits 1, 1.5 or 2. A failure is a sentence
// naming the settings text and the faulty field.
Result<SerialSettings> ParseSerialSettings(const QString& text);

} // namespace aostrack
