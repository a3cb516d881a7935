// Decoding of RFC 868 replies, the hex dump of the log, TIMESERVER texts and
// the record handed to the Windows clock call.
#include "clock/TimeProtocol.h"
#include "ClockTestSupport.h"
#include "clock/SystemClockSetter.h"

#include <gtest/gtest.h>

using namespace aostrack;
using namespace std::chrono;

TEST(ByteToHexTest, TwoUpperCaseDigitsWithLeadingZero)
{
    EXPECT_EQ(ByteToHex(5), QStringLiteral("05"));
    EXPECT_EQ(ByteToHex(171), QStringLiteral("AB"));
    EXPECT_EQ(ByteToHex(0), QStringLiteral("00"));
    EXPECT_EQ(ByteToHex(15), QStringLiteral("0F"));
    EXPECT_EQ(ByteToHex(16), QStringLiteral("10"));
    EXPECT_EQ(ByteToHex(255), QStringLiteral("FF"));
}

TEST(HexDumpTest, EveryByteFollowedByABlank)
{
    EXPECT_EQ(HexDump(Bytes({ 0xD2, 0x3A, 0x5F, 0x80 })), QStringLiteral("D2 3A 5F 80 "));
    EXPECT_EQ(HexDump(Bytes({ 0x00 })), QStringLiteral("00 "));
    EXPECT_EQ(HexDump(QByteArray()), QString());
    // Cut after 16 bytes, however long the arrival: a megabyte from a hostile
    // server must not become a megabyte-long log line.
    EXPECT_EQ(HexDump(QByteArray(16, '\x20')), QString("20 ").repeated(16));
    EXPECT_EQ(HexDump(QByteArray(1 << 20, '\xAB')), QString("AB ").repeated(16) + "... ");
}

// testgs100-style groups: normal, empty, short, oversized, boundary values.
TEST(DecodeTimeReplyTest, Normal_WorkedExample)
{
    // D2 3A 5F 80 = 3 527 040 896 s since 1900 = 686 900 096 s since 1990.
    const auto reply = DecodeTimeReply(Bytes({ 0xD2, 0x3A, 0x5F, 0x80 }));
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->DataValue, 3527040896u);
    EXPECT_EQ(reply->SecondsSince1990, 686900096);
    EXPECT_EQ(reply->SyncedDate, Utc(2011, 10, 8, 5, 34, 56));
}

TEST(DecodeTimeReplyTest, Normal_BlankBytesAreOrdinaryBytes)
{
    // A last byte of 20 hex (a blank in text form) is data, not padding:
    // 80 hex minus 20 hex is 96 s earlier than the worked example.
    const auto reply = DecodeTimeReply(Bytes({ 0xD2, 0x3A, 0x5F, 0x20 }));
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->DataValue, 3527040800u);
    EXPECT_EQ(reply->SyncedDate, Utc(2011, 10, 8, 5, 33, 20));
}

TEST(DecodeTimeReplyTest, Empty_ShortAndOversizedAreRefused)
{
    EXPECT_FALSE(DecodeTimeReply(QByteArray()).has_value());
    EXPECT_FALSE(DecodeTimeReply(Bytes({ 0xD2, 0x3A, 0x5F })).has_value());
    EXPECT_FALSE(DecodeTimeReply(Bytes({ 0xD2, 0x3A, 0x5F, 0x80, 0x00 })).has_value());
}

TEST(DecodeTimeReplyTest, Boundary_Origin1990)
{
    // 2 840 140 800 = A9 49 1C 00 is 1990-01-01 00:00:00 itself.
    const auto reply = DecodeTimeReply(Bytes({ 0xA9, 0x49, 0x1C, 0x00 }));
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->SecondsSince1990, 0);
    EXPECT_EQ(reply->SyncedDate, Utc(1990, 1, 1, 0, 0, 0));
}

TEST(DecodeTimeReplyTest, Maximum_EraWrapIn2036)
{
    // The 32-bit count runs out on 2036-02-07 06:28:16 and starts again at 0.
    // FF FF FF FF is the last second of the first era.
    const auto last = DecodeTimeReply(Bytes({ 0xFF, 0xFF, 0xFF, 0xFF }));
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->SyncedDate, Utc(2036, 2, 7, 6, 28, 15));
    EXPECT_EQ(last->SecondsSince1990, 4294967295LL - 2840140800LL);

    const auto wrapped = DecodeTimeReply(Bytes({ 0x00, 0x00, 0x00, 0x00 }));
    ASSERT_TRUE(wrapped.has_value());
    EXPECT_EQ(wrapped->DataValue, 0u);
    EXPECT_EQ(wrapped->SyncedDate, Utc(2036, 2, 7, 6, 28, 16));
    EXPECT_EQ(wrapped->SecondsSince1990, 1454826496);
}

TEST(DecodeTimeReplyTest, Boundary_TopBitSelectsTheEra)
{
    // 80 00 00 00 is the first second with the top bit set: 1968-01-20
    // 03:14:08; 7F FF FF FF the last of the second era, 2104-02-26 09:42:23.
    EXPECT_EQ(
        DecodeTimeReply(Bytes({ 0x80, 0x00, 0x00, 0x00 }))->SyncedDate, Utc(1968, 1, 20, 3, 14, 8));
    EXPECT_EQ(DecodeTimeReply(Bytes({ 0x7F, 0xFF, 0xFF, 0xFF }))->SyncedDate,
        Utc(2104, 2, 26, 9, 42, 23));
}

TEST(ValidTimeRangeTest, DefaultStartsAtTheBuildAndSpansTwentyYears)
{
    const ValidTimeRange range = DefaultValidTimeRange();
    // This build is younger than the worked example and older than the
    // 32-bit wrap plus its twenty years.
    EXPECT_GT(range.Earliest, Utc(2011, 10, 8, 5, 34, 56));
    EXPECT_GE(range.Latest - range.Earliest, days { 20 * 365 + 5 });
    EXPECT_FALSE(range.Contains(Utc(1990, 1, 1, 0, 0, 0)));
    EXPECT_TRUE(range.Contains(range.Earliest));
    EXPECT_TRUE(range.Contains(range.Latest));
    EXPECT_FALSE(range.Contains(range.Latest + seconds { 1 }));
}

TEST(ParseTimeServerTest, Normal_HostAloneUsesPort37)
{
    EXPECT_EQ(ParseTimeServer(QStringLiteral("time.example.net")),
        (TimeServerAddress { QStringLiteral("time.example.net"), 37 }));
    EXPECT_EQ(ParseTimeServer(QStringLiteral("  192.168.1.10 ")),
        (TimeServerAddress { QStringLiteral("192.168.1.10"), 37 }));
    EXPECT_EQ(ParseTimeServer(QStringLiteral("fe80::1")),
        (TimeServerAddress { QStringLiteral("fe80::1"), 37 }));
    EXPECT_EQ(ParseTimeServer(QStringLiteral("[::1]")),
        (TimeServerAddress { QStringLiteral("::1"), 37 }));
}

TEST(ParseTimeServerTest, Normal_ExplicitPort)
{
    EXPECT_EQ(ParseTimeServer(QStringLiteral("127.0.0.1:3737")),
        (TimeServerAddress { QStringLiteral("127.0.0.1"), 3737 }));
    EXPECT_EQ(ParseTimeServer(QStringLiteral("time.example.net:37")),
        (TimeServerAddress { QStringLiteral("time.example.net"), 37 }));
    EXPECT_EQ(ParseTimeServer(QStringLiteral("[::1]:65535")),
        (TimeServerAddress { QStringLiteral("::1"), 65535 }));
    EXPECT_EQ(ParseTimeServer(QStringLiteral("host:1")),
        (TimeServerAddress { QStringLiteral("host"), 1 }));
}

TEST(ParseTimeServerTest, Empty)
{
    EXPECT_FALSE(ParseTimeServer(QString()).has_value());
    EXPECT_FALSE(ParseTimeServer(QStringLiteral("   ")).has_value());
    EXPECT_FALSE(ParseTimeServer(QStringLiteral(":37")).has_value());
    EXPECT_FALSE(ParseTimeServer(QStringLiteral("[]:37")).has_value());
}

TEST(ParseTimeServerTest, Oversized_PortBeyond65535)
{
    EXPECT_FALSE(ParseTimeServer(QStringLiteral("host:65536")).has_value());
    EXPECT_FALSE(ParseTimeServer(QStringLiteral("host:123456")).has_value());
    EXPECT_FALSE(ParseTimeServer(QStringLiteral("host:0")).has_value());
}

TEST(ParseTimeServerTest, Malformed)
{
    EXPECT_FALSE(ParseTimeServer(QStringLiteral("host:")).has_value());
    EXPECT_FALSE(ParseTimeServer(QStringLiteral("host:37a")).has_value());
    EXPECT_FALSE(ParseTimeServer(QStringLiteral("host:-37")).has_value());
    EXPECT_FALSE(ParseTimeServer(QStringLiteral("[::1:37")).has_value());
    EXPECT_FALSE(ParseTimeServer(QStringLiteral("[::1]37")).has_value());
}

TEST(SystemTimeRecordTest, FieldsInOrderDayOfWeekLeftZero)
{
    const struct {
        sys_seconds utc;
        SystemTimeRecord record;
    } cases[] = {
        { Utc(2011, 10, 8, 5, 34, 56), { 2011, 10, 0, 8, 5, 34, 56, 0 } }, // worked example
        { Utc(2024, 2, 29, 23, 59, 59),
            { 2024, 2, 0, 29, 23, 59, 59, 0 } }, // leap day, last second
        { Utc(2060, 1, 1, 0, 0, 0), { 2060, 1, 0, 1, 0, 0, 0, 0 } }, // past the signed 32-bit count
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToSystemTimeRecord(c.utc), c.record);
}
