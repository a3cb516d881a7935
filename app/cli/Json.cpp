#include "app/cli/Json.h"

#include <charconv>
#include <cmath>

namespace aostrack {

QString JsonNumber(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("null");
    // to_chars is "%.17g" without the C locale: QCoreApplication switches
    // LC_NUMERIC to the user's, which would put a decimal comma here.
    char buffer[40];
    const auto result
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString JsonString(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QString::asprintf("\\u%04x", c.unicode());
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

} // namespace aostrack
