// Reading the SatNOGS DB transmitter list: the real August 2026 dump, older
// dumps, the status filter, local rows and damaged files.
#include <gtest/gtest.h>

#include "RadioTestSupport.h"
#include "radio/TransmitterList.h"

#include <QFile>

namespace aostrack {
namespace {

using test::WriteFile;

const QString kDump
    = QStringLiteral(AOSTRACK_SOURCE_DIR "/tests/radio/data/satnogs-transmitters-2026-08.json");

// Counts taken from the dump with python's json module, not from this reader.
TEST(TransmitterListTest, RealDumpReadsEveryRow)
{
    const Result<TransmitterList> list = ReadTransmitterList(kDump);
    ASSERT_TRUE(list.Ok()) << list.Error().toStdString();
    EXPECT_EQ(list->Rows.size(), 2910);
    EXPECT_EQ(list->SkippedByStatus, 0);
    EXPECT_EQ(list->SkippedDamaged, 0);
    int followed = 0, noDownlinkHigh = 0, noUplink = 0, transponders = 0, inverting = 0;
    for (const Transmitter& t : list->Rows) {
        followed += t.CatalogNumber != t.ListedCatalogNumber;
        noDownlinkHigh += !t.DownlinkHighHz.has_value();
        noUplink += !t.UplinkLowHz.has_value();
        transponders += t.Type == QLatin1String("Transponder");
        inverting += t.Type == QLatin1String("Transponder") && t.Invert;
    }
    // 331 rows carry norad_follow_id; one of them repeats its norad_cat_id.
    EXPECT_EQ(followed, 330);
    EXPECT_EQ(noDownlinkHigh, 2880);
    EXPECT_EQ(noUplink, 2800);
    EXPECT_EQ(transponders, 30);
    EXPECT_EQ(inverting, 11);

    // A provisional number 99672 followed to 48964.
    const QList<Transmitter> followedRows = TransmittersOf(*list, 48964);
    const auto fsk = std::find_if(followedRows.begin(), followedRows.end(),
        [](const Transmitter& t) { return t.Uuid == QLatin1String("YHVFKvLdZaAbXSX3Xyo8u5"); });
    ASSERT_NE(fsk, followedRows.end());
    EXPECT_EQ(fsk->ListedCatalogNumber, 99672);
    EXPECT_TRUE(TransmittersOf(*list, 99672).isEmpty());

    // RS-44: five rows, the transponder first.
    const QList<Transmitter> rs44 = TransmittersOf(*list, 44909);
    ASSERT_EQ(rs44.size(), 5);
    EXPECT_EQ(rs44[0].Description, QStringLiteral("Mode V/U - Transponder"));
    EXPECT_TRUE(rs44[0].Invert);
    EXPECT_EQ(rs44[0].UplinkLowHz, 145935000);
    EXPECT_EQ(rs44[0].UplinkHighHz, 145995000);
    EXPECT_EQ(rs44[0].DownlinkLowHz, 435610000);
    EXPECT_EQ(rs44[0].DownlinkHighHz, 435670000);
    EXPECT_EQ(rs44[0].UplinkMode, QStringLiteral("LSB"));
    EXPECT_EQ(rs44[1].Description, QStringLiteral("Mode U - Beacon"));
    EXPECT_FALSE(rs44[1].UplinkLowHz.has_value());

    // SO-50: the FM voice row with its tone taken from the description.
    const QList<Transmitter> so50 = TransmittersOf(*list, 27607);
    ASSERT_EQ(so50.size(), 2);
    EXPECT_EQ(so50[0].UplinkLowHz, 145850000);
    EXPECT_EQ(so50[0].DownlinkLowHz, 436795000);
    EXPECT_EQ(so50[0].ToneHz, 67.0);
    EXPECT_FALSE(so50[1].ToneHz.has_value());
}

// An older dump: no norad_follow_id, "coordination" instead of
// "iaru_coordination", catalogue number as text; the status filter.
TEST(TransmitterListTest, OlderDumpAndStatusFilter)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("old.json"),
        R"([{"uuid":"a","description":"FM","type":"Transceiver","uplink_low":145850000,
            "downlink_low":436795000,"mode":"FM","invert":false,"norad_cat_id":"27607",
            "status":"active","coordination":"IARU"},
           {"uuid":"b","description":"old beacon","downlink_low":145800000,
            "norad_cat_id":27607,"status":"invalid"},
           {"uuid":"c","downlink_low":29400000,"norad_cat_id":7530},
           42, {"description":"no uuid"}])");
    const Result<TransmitterList> active = ReadTransmitterList(path);
    ASSERT_TRUE(active.Ok());
    ASSERT_EQ(active->Rows.size(), 2);
    EXPECT_EQ(active->Rows[0].CatalogNumber, 27607);
    EXPECT_EQ(active->Rows[0].UplinkLowHz, 145850000);
    EXPECT_EQ(active->Rows[1].Uuid, QStringLiteral("c"));
    EXPECT_EQ(active->SkippedByStatus, 1);
    EXPECT_EQ(active->SkippedDamaged, 2);
    const Result<TransmitterList> all = ReadTransmitterList(path, true);
    ASSERT_TRUE(all.Ok());
    EXPECT_EQ(all->Rows.size(), 3);
}

TEST(TransmitterListTest, LocalRowsReplaceByUuidAndAdd)
{
    QTemporaryDir dir;
    const Result<TransmitterList> imported = ReadTransmitterList(kDump);
    const Result<TransmitterList> local
        = ReadTransmitterList(WriteFile(dir, QStringLiteral("local.json"),
            R"([{"uuid":"Y9P45XRJH8yAsbDDe4qHnE","description":"SO-50 as I hear it",
             "type":"Transceiver","uplink_low":145850000,"downlink_low":436793000,
             "norad_cat_id":27607,"status":"active"},
            {"uuid":"mine","description":"my own beacon","downlink_low":145825000,
             "norad_cat_id":27607,"status":"active"}])"));
    ASSERT_TRUE(imported.Ok() && local.Ok());
    const TransmitterList merged = MergeLocalTransmitters(*imported, *local);
    EXPECT_EQ(merged.Rows.size(), 2911);
    const QList<Transmitter> so50 = TransmittersOf(merged, 27607);
    ASSERT_EQ(so50.size(), 3);
    EXPECT_EQ(so50[0].Description, QStringLiteral("SO-50 as I hear it"));
    EXPECT_EQ(so50[0].DownlinkLowHz, 436793000);
    EXPECT_EQ(so50[2].Uuid, QStringLiteral("mine"));
}

TEST(TransmitterListTest, DamagedFilesNameFileAndReason)
{
    QTemporaryDir dir;
    QFile dump(kDump);
    ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
    const struct {
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        { dump.read(100000), "not a transmitter list: " }, // cut short by a failed download
        { R"({"detail":"Throttled"})", "a JSON array of objects is expected" },
        { "<html>502 Bad Gateway</html>", "not a transmitter list: " },
    };
    for (const auto& c : cases) {
        const QString path = WriteFile(dir, QStringLiteral("transmitters.json"), c.bytes);
        const Result<TransmitterList> list = ReadTransmitterList(path);
        ASSERT_FALSE(list.Ok());
        EXPECT_TRUE(list.Error().startsWith(path + QStringLiteral(": ")))
            << list.Error().toStdString();
        EXPECT_TRUE(list.Error().contains(QLatin1String(c.reason))) << list.Error().toStdString();
    }
    const Result<TransmitterList> missing = ReadTransmitterList(dir.filePath("none.json"));
    EXPECT_TRUE(missing.Error().startsWith(dir.filePath("none.json") + QStringLiteral(": ")));
}

} // namespace
} // namespace aostrack
