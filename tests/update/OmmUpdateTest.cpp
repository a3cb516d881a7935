// The update of an OMM catalogue (.csv, .json, .xml) against a loopback
// server that answers the GP service's queries: three groups in the
// catalogue's own form, the archive's two-line text converted, all merged by
// catalogue number into one file of that form, the old one kept as backup.
#include "core/ElementFile.h"
#include "update/ElementUpdate.h"

#include "HttpFolderServer.h"
#include "UpdatePages.h"
#include "UpdateRun.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using test::ReadAll;
using test::WriteAll;

// Records of the real 2026-09 download, chosen by catalogue number, with
// another epoch where a page should carry an older or newer set.
SatRecord RealRecord(int number, double epochShiftDays = 0)
{
    static const TleLoad load
        = LoadTleFile(QStringLiteral(AOSTRACK_SOURCE_DIR "/tests/orbit/data/amateur-2026-09.csv"));
    for (int i = 1; i <= load.Table.SatCount(); ++i) {
        SatRecord record = load.Table.Record(i);
        if (record.Elements.CatalogNumber == number) {
            record.Elements.Epoch += epochShiftDays;
            return record;
        }
    }
    ADD_FAILURE() << "no record " << number;
    return {};
}

QByteArray Page(const std::vector<SatRecord>& records, ElementFormat format)
{
    return WriteElementData(records, format).Data;
}

std::vector<int> Numbers(const TleLoad& load)
{
    std::vector<int> numbers;
    for (int i = 1; i <= load.Table.SatCount(); ++i)
        numbers.push_back(load.Table.Record(i).Elements.CatalogNumber);
    return numbers;
}

class OmmUpdateTest : public ::testing::TestWithParam<ElementFormat> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.Start()) << "python3's http.server did not start";
        // AO-7 (7530) is on two pages, newer on the second; JAMX01 (100465)
        // is on two, older on the third; LUSAT (20442) and MARINA (69920) once.
        Put("amateur", { RealRecord(7530), RealRecord(100465) });
        Put("cubesat", { RealRecord(20442), RealRecord(7530, 0.5) });
        Put("last-30-days", { RealRecord(100465, -1.0), RealRecord(69920) });
        m_server.Put("/amsat/ftp/keps/current/nasa.all", test::ArchivePage);
        m_old = Page({ RealRecord(7530, -3.0) }, GetParam());
        WriteAll(CataloguePath(), m_old);
    }
    void Put(const char* group, const std::vector<SatRecord>& records)
    {
        m_server.Put(test::GpPagePath(group, Format()), Page(records, GetParam()));
    }
    QString Format() const { return QString::fromLatin1(ElementFormatName(GetParam()).data()); }
    QString CataloguePath() const { return m_station.filePath("keps." + Format()); }
    QString GpUrl(const char* group) const
    {
        return m_server.BaseUrl()
            + QStringLiteral("/NORAD/elements/gp.php?GROUP=%1&FORMAT=%2").arg(group, Format());
    }
    UpdateRequest Request(bool archive) const
    {
        return { CataloguePath(), m_server.BaseUrl(), m_server.BaseUrl(), true, archive };
    }

    test::HttpFolderServer m_server;
    QTemporaryDir m_station;
    QByteArray m_old;
};

TEST_P(OmmUpdateTest, GroupsMergedIntoOneFileOfTheCataloguesForm)
{
    ElementUpdate update;
    const test::Outcome outcome = test::RunUpdate(update, Request(true));
    ASSERT_TRUE(outcome.Finished);
    EXPECT_TRUE(outcome.Replaced) << outcome.Progress.join('\n').toStdString();
    EXPECT_EQ(outcome.Progress,
        QStringList({ "open " + GpUrl("amateur"), "ok", "open " + GpUrl("cubesat"), "ok",
            "open " + GpUrl("last-30-days"), "ok",
            "open " + m_server.BaseUrl() + "/amsat/ftp/keps/current/nasa.all", "ok",
            "save old TLE file", "write new TLE file", "... done" }));

    const TleLoad merged = LoadTleFile(CataloguePath());
    EXPECT_EQ(merged.Format, GetParam());
    EXPECT_TRUE(merged.Refused.empty());
    // Order of first appearance; RS-44 (44909) comes from the archive's two lines.
    EXPECT_EQ(Numbers(merged), (std::vector<int> { 7530, 100465, 20442, 69920, 44909 }));
    // The newer AO-7 (its epoch back from microseconds), not the older JAMX01.
    EXPECT_NEAR(merged.Table.Record(1).Elements.Epoch, RealRecord(7530).Elements.Epoch + 0.5, 1e-9);
    EXPECT_EQ(merged.Table.Record(2).Elements, RealRecord(100465).Elements);
    EXPECT_EQ(merged.Table.Record(5).SatName, "Rs-44");
    EXPECT_EQ(ReadAll(CataloguePath() + "_old"), m_old);

    // One document: one header, one array, one <ndm>.
    const QByteArray bytes = ReadAll(CataloguePath());
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    switch (GetParam()) {
    case ElementFormat::Csv:
        EXPECT_EQ(bytes.count("OBJECT_NAME,"), 1);
        break;
    case ElementFormat::Json:
        EXPECT_EQ(bytes.count("["), 1);
        break;
    default:
        EXPECT_EQ(bytes.count("<ndm"), 1);
        break;
    }
}

TEST_P(OmmUpdateTest, PageWithoutElementSetsLeavesTheCatalogueAlone)
{
    for (const QByteArray& page : { QByteArray("No GP data found\r\n"), test::HtmlErrorPage }) {
        SCOPED_TRACE(page.left(20).toStdString());
        m_server.Put(test::GpPagePath("cubesat", Format()), page);
        ElementUpdate update;
        const test::Outcome outcome = test::RunUpdate(update, Request(false));
        ASSERT_TRUE(outcome.Finished);
        EXPECT_FALSE(outcome.Replaced);
        // Said as the reader found it: a name without element lines, no NDM root.
        EXPECT_TRUE(outcome.Progress.value(3).startsWith("refused " + GpUrl("cubesat") + ": "))
            << outcome.Progress.join('\n').toStdString();
        // The address once, not again as the reader's source name.
        EXPECT_EQ(outcome.Progress.value(3).count(GpUrl("cubesat")), 1)
            << outcome.Progress.value(3).toStdString();
        EXPECT_EQ(outcome.Progress.value(4), "TLE file unchanged: " + CataloguePath());
        EXPECT_EQ(ReadAll(CataloguePath()), m_old);
        EXPECT_FALSE(QFile::exists(CataloguePath() + "_old"));
    }
}

TEST_P(OmmUpdateTest, EmptyGroupAddsNothing)
{
    // A header alone, "[]" or an <ndm> without records: a group with no object today.
    m_server.Put(test::GpPagePath("cubesat", Format()), Page({}, GetParam()));
    ElementUpdate update;
    const test::Outcome outcome = test::RunUpdate(update, Request(false));
    ASSERT_TRUE(outcome.Finished);
    EXPECT_TRUE(outcome.Replaced) << outcome.Progress.join('\n').toStdString();
    EXPECT_EQ(Numbers(LoadTleFile(CataloguePath())), (std::vector<int> { 7530, 100465, 69920 }));
}

TEST_P(OmmUpdateTest, CutOffPage)
{
    const QByteArray whole = Page({ RealRecord(20442), RealRecord(7530, 0.5) }, GetParam());
    m_server.Put(test::GpPagePath("cubesat", Format()), whole.left(whole.size() - 30));
    ElementUpdate update;
    const test::Outcome outcome = test::RunUpdate(update, Request(false));
    ASSERT_TRUE(outcome.Finished);
    if (GetParam() == ElementFormat::Csv) {
        // Read line by line, the cut last line is a damaged record: the page
        // was damaged, and the catalogue keeps its last good contents.
        EXPECT_FALSE(outcome.Replaced);
        EXPECT_EQ(outcome.Progress.value(3).toStdString(),
            ("refused " + GpUrl("cubesat")
                + ": line 3: OSCAR 7 (AO-7): fields are 14, the header names 17")
                .toStdString());
        EXPECT_EQ(ReadAll(CataloguePath()), m_old);
        return;
    }
    // A JSON or XML document that does not end is refused whole.
    EXPECT_FALSE(outcome.Replaced);
    EXPECT_TRUE(outcome.Progress.value(3).startsWith("refused " + GpUrl("cubesat") + ": "))
        << outcome.Progress.join('\n').toStdString();
    EXPECT_EQ(ReadAll(CataloguePath()), m_old);
}

INSTANTIATE_TEST_SUITE_P(Forms, OmmUpdateTest,
    ::testing::Values(ElementFormat::Csv, ElementFormat::Json, ElementFormat::Xml),
    [](const ::testing::TestParamInfo<ElementFormat>& form) {
        return std::string(ElementFormatName(form.param));
    });

} // namespace
} // namespace aostrack
