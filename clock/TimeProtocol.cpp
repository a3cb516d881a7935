#include "clock/TimeProtocol.h"

#include <algorithm>

namespace aostrack {

namespace {

constexpr std::int64_t SecondsPerEra = std::int64_t { 1 } << 32;
constexpr std::uint32_t EraBoundaryBit = 0x80000000u;

// 1900-01-01 00:00 UTC on the system clock's scale.
constexpr std::chrono::sys_seconds TimeProtocolEpoch
    = std::chrono::sys_days { std::chrono::year { 1900 } / 1 / 1 };

std::optional<quint16> ReadPort(const QString& text)
{
    if (text.isEmpty() || text.size() > 5)
        return std::nullopt;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    const int port = text.toInt();
    if (port < 1 || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

} // namespace

QString ByteToHex(unsigned char byte)
{
    static const char digits[] = "0123456789ABCDEF";
    return QString { QChar(digits[byte >> 4]) } + QChar(digits[byte & 0x0F]);
}

QString HexDump(const QByteArray& bytes)
{
    QString dump;
    const qsizetype shown = std::min(bytes.size(), HexDumpMaxBytes);
    dump.reserve(shown * 3 + 4);
    for (qsizetype i = 0; i < shown; ++i)
        dump += ByteToHex(static_cast<unsigned char>(bytes[i])) + u' ';
    if (bytes.size() > shown)
        dump += QStringLiteral("... ");
    return dump;
}

std::optional<TimeReply> DecodeTimeReply(const QByteArray& reply)
{
    if (reply.size() != 4)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char b : reply)
        value = (value << 8) | static_cast<unsigned char>(b);

    std::int64_t since1900 = value;
    if ((value & EraBoundaryBit) == 0)
        since1900 += SecondsPerEra;

    TimeReply decoded;
    decoded.DataValue = value;
    decoded.SecondsSince1990 = since1900 - SecondsFrom1900To1990;
    decoded.SyncedDate = TimeProtocolEpoch + std::chrono::seconds { since1900 };
    return decoded;
}

ValidTimeRange DefaultValidTimeRange()
{
    const std::chrono::sys_seconds built { std::chrono::seconds { AOSTRACK_BUILD_EPOCH } };
    // 20 years, counted generously with leap days.
    return { built, built + std::chrono::days { 20 * 366 } };
}

std::optional<TimeServerAddress> ParseTimeServer(const QString& text)
{
    const QString value = text.trimmed();
    if (value.isEmpty())
        return std::nullopt;

    TimeServerAddress address;
    if (value.startsWith(u'[')) {
        const qsizetype close = value.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        address.Host = value.mid(1, close - 1);
        const QString rest = value.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':'))
                return std::nullopt;
            const auto port = ReadPort(rest.mid(1));
            if (!port)
                return std::nullopt;
            address.Port = *port;
        }
    } else if (value.count(u':') == 1) {
        const qsizetype colon = value.indexOf(u':');
        address.Host = value.left(colon);
        const auto port = ReadPort(value.mid(colon + 1));
        if (!port)
            return std::nullopt;
        address.Port = *port;
    } else {
        // A name, a v4 address, or a bare v6 address (several colons).
        address.Host = value;
    }
    if (address.Host.isEmpty())
        return std::nullopt;
    return address;
}

} // namespace aostrack
