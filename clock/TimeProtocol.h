#pragma once
// The TIME protocol of RFC 868 as this client reads it: the server answers a
// bare TCP connection with four bytes, an unsigned big-endian count of seconds
// since 1900-01-01 00:00 UTC, and closes. No pure functions here touch the
// network or the clock.
#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>

namespace aostrack {

// The well-known TCP port of the TIME protocol.
constexpr quint16 TimeProtocolPort = 37;

// Seconds from 1900-01-01 to 1990-01-01, the origin of the logged
// "sec since 1990" count.
constexpr std::int64_t SecondsFrom1900To1990 = 2840140800;

// Two upper-case hexadecimal digits of one byte: 5 -> "05", 171 -> "AB".
QString ByteToHex(unsigned char byte);

// Length of a reply of the TIME protocol.
constexpr qsizetype TimeReplyBytes = 4;

// The dump of one arrival as logged: every byte as ByteToHex and a blank,
// so the text ends with a blank ("D2 3A 5F 80 "). Only the first
// HexDumpMaxBytes are shown, then "... ": a log line stays a line.
constexpr qsizetype HexDumpMaxBytes = 16;
QString HexDump(const QByteArray& bytes);

// A decoded four-byte reply.
struct TimeReply {
    std::uint32_t DataValue = 0; // the 32-bit field as sent, seconds since 1900 mod 2^32
    std::int64_t SecondsSince1990 = 0; // era-corrected, 64-bit: never overflows
    std::chrono::sys_seconds SyncedDate {};
    bool operator==(const TimeReply&) const = default;
};

// Decodes a reply of exactly four bytes; any other length gives nullopt.
// The 32-bit field wraps on 2036-02-07 06:28:16 UTC. As RFC 4330 does for
// the same field in NTP, a value whose top bit is clear is taken from the
// next era (2036 to 2104), a value with the top bit set from 1968 to 2036.
std::optional<TimeReply> DecodeTimeReply(const QByteArray& reply);

// The time span a server's answer must fall in to be applied. A clock set to
// 1900 or 2100 would wreck every prediction of the run, so such answers are
// refused.
struct ValidTimeRange {
    std::chrono::sys_seconds Earliest {};
    std::chrono::sys_seconds Latest {};
    bool Contains(std::chrono::sys_seconds t) const { return t >= Earliest && t <= Latest; }
    bool operator==(const ValidTimeRange&) const = default;
};

// From the day this program was built (its configure time, or
// SOURCE_DATE_EPOCH for reproducible builds) to 20 years after.
ValidTimeRange DefaultValidTimeRange();

// Host and port of a TIMESERVER value: "host", "host:port", "1.2.3.4:port",
// "[v6 address]:port" or a bare v6 address. Without a port, 37.
struct TimeServerAddress {
    QString Host;
    quint16 Port = TimeProtocolPort;
    bool operator==(const TimeServerAddress&) const = default;
};

// nullopt when the text is empty after trimming, when the port is not a
// number from 1 to 65535, or when a '[' has no matching ']'.
std::optional<TimeServerAddress> ParseTimeServer(const QString& text);

} // namespace aostrack
