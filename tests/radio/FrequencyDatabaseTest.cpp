// Reading doppler.sql: which rows belong to a satellite, and what is skipped.
#include <gtest/gtest.h>

#include "RadioTestSupport.h"
#include "radio/FrequencyDatabase.h"

namespace aostrack {
namespace {

using test::kDopplerRows;
using test::WriteFile;

class FrequencyDatabaseTest : public ::testing::Test {
protected:
    QString Write(const QByteArray& bytes)
    {
        return WriteFile(m_dir, QStringLiteral("doppler.sql"), bytes);
    }
    QTemporaryDir m_dir;
    QLocale m_c = QLocale::c();
};

TEST_F(FrequencyDatabaseTest, NormalKeyIsSubstringAndFileOrderIsKept)
{
    const QString path = Write(kDopplerRows);
    const FrequencyRows ao7 = ReadFrequencyRows(path, QStringLiteral("AO-7"), m_c);
    ASSERT_TRUE(ao7.Opened);
    EXPECT_EQ(ao7.Rows,
        (QStringList { QStringLiteral("AO-7,145975,432125,USB,LSB,REV,0,0"),
            QStringLiteral("AO-7,29500,145850,  CW ,USB,NOR,0,0") }));
    EXPECT_TRUE(ao7.Skipped.isEmpty());

    // AO-7 is a piece of AO-73: its rows come first because they come first in the file.
    const FrequencyRows ao73 = ReadFrequencyRows(path, QStringLiteral("AO-73"), m_c);
    EXPECT_EQ(ao73.Rows,
        (QStringList { QStringLiteral("AO-7,145975,432125,USB,LSB,REV,0,0"),
            QStringLiteral("AO-73,145950,435140,  BPSK  ,LSB,REV,0,0"),
            QStringLiteral("AO-7,29500,145850,  CW ,USB,NOR,0,0") }));
}

TEST_F(FrequencyDatabaseTest, KeysAreCaseSensitive)
{
    const QString path = Write(kDopplerRows);
    EXPECT_EQ(ReadFrequencyRows(path, QStringLiteral("ao-7"), m_c).Rows,
        QStringList { QStringLiteral("ao-7,29502,432125,CW,LSB,REV,0,0") });
    EXPECT_TRUE(ReadFrequencyRows(path, QStringLiteral("Ao-7"), m_c).Rows.isEmpty());
}

TEST_F(FrequencyDatabaseTest, BlanksOfTheKeyCount)
{
    // Catalogue names are padded with blanks to 24 characters.
    const QString path = Write("AO-7 ,145975,432125,USB,LSB,REV\n");
    EXPECT_EQ(
        ReadFrequencyRows(path, QStringLiteral("AO-7                    "), m_c).Rows.size(), 1);
    EXPECT_TRUE(
        ReadFrequencyRows(path, QStringLiteral("AO-73                   "), m_c).Rows.isEmpty());
    EXPECT_TRUE(ReadFrequencyRows(path, QStringLiteral("AO-7"), m_c).Rows.isEmpty());
}

TEST_F(FrequencyDatabaseTest, EmptyKeyBelongsToEverySatellite)
{
    const QString path = Write(",145800,145800,FM,FM,NOR\nSO-50,436795,145850,FM,FM,NOR\n");
    EXPECT_EQ(ReadFrequencyRows(path, QStringLiteral("ISS (ZARYA)"), m_c).Rows,
        QStringList { QStringLiteral(",145800,145800,FM,FM,NOR") });
    EXPECT_EQ(ReadFrequencyRows(path, QStringLiteral("SO-50"), m_c).Rows.size(), 2);
    EXPECT_EQ(ReadFrequencyRows(path, QString(), m_c).Rows.size(), 1);
}

TEST_F(FrequencyDatabaseTest, EmptyFileAndSatelliteWithoutRows)
{
    const FrequencyRows empty = ReadFrequencyRows(Write(""), QStringLiteral("AO-7"), m_c);
    EXPECT_TRUE(empty.Opened);
    EXPECT_TRUE(empty.Rows.isEmpty());
    EXPECT_TRUE(empty.Skipped.isEmpty());
    EXPECT_TRUE(
        ReadFrequencyRows(Write(kDopplerRows), QStringLiteral("FO-29"), m_c).Rows.isEmpty());
}

TEST_F(FrequencyDatabaseTest, OnlyTheFirstCharacterMakesAComment)
{
    const QString path = Write(";AO-7,1,2,3,4,5\n"
                               "  ;AO-7 old\n"
                               "AO-7,145975,432125,USB,LSB,REV\n");
    const FrequencyRows rows = ReadFrequencyRows(path, QStringLiteral("AO-7"), m_c);
    EXPECT_EQ(rows.Rows, QStringList { QStringLiteral("AO-7,145975,432125,USB,LSB,REV") });
    // The indented line is a row, and a short one.
    ASSERT_EQ(rows.Skipped.size(), 1);
    EXPECT_EQ(rows.Skipped[0],
        (SkippedFrequencyLine {
            2, QStringLiteral("  ;AO-7 old"), QStringLiteral("fewer than six fields") }));
}

TEST_F(FrequencyDatabaseTest, MalformedRowsAreSkippedWithLineNumbers)
{
    const QString path = Write("AO-7,145975,432125,USB,LSB\n" // five fields
                               "\n" // blank: passed over
                               "   \n"
                               "AO-7,abc,432125,USB,LSB,REV\n" // not a number
                               "AO-7,,432125,USB,LSB,REV\n" // empty number
                               "AO-7,29500,145850,CW,USB,NOR\n");
    const FrequencyRows rows = ReadFrequencyRows(path, QStringLiteral("AO-7"), m_c);
    EXPECT_EQ(rows.Rows, QStringList { QStringLiteral("AO-7,29500,145850,CW,USB,NOR") });
    ASSERT_EQ(rows.Skipped.size(), 3);
    EXPECT_EQ(rows.Skipped[0].LineNumber, 1);
    EXPECT_EQ(rows.Skipped[0].Reason, QStringLiteral("fewer than six fields"));
    EXPECT_EQ(rows.Skipped[1].LineNumber, 4);
    EXPECT_EQ(rows.Skipped[1].Reason, QStringLiteral("frequency \"abc\" is not a number"));
    EXPECT_EQ(rows.Skipped[2].LineNumber, 5);
}

TEST_F(FrequencyDatabaseTest, LineEndsCrLfLfAndCrReadAlike)
{
    const QByteArray lf = "AO-7,145975,432125,USB,LSB,REV\nx\nAO-7,29500,145850,CW,USB,NOR";
    QByteArray crlf = lf;
    crlf.replace("\n", "\r\n");
    QByteArray cr = lf;
    cr.replace("\n", "\r");
    const QStringList expected { QStringLiteral("AO-7,145975,432125,USB,LSB,REV"),
        QStringLiteral("AO-7,29500,145850,CW,USB,NOR") };
    for (const QByteArray& bytes : { lf, crlf, cr }) {
        const FrequencyRows rows = ReadFrequencyRows(Write(bytes), QStringLiteral("AO-7"), m_c);
        EXPECT_EQ(rows.Rows, expected) << bytes.toStdString();
        ASSERT_EQ(rows.Skipped.size(), 1);
        EXPECT_EQ(rows.Skipped[0].LineNumber, 2);
    }
}

TEST_F(FrequencyDatabaseTest, MissingFileAndEmptyName)
{
    const FrequencyRows missing = ReadFrequencyRows(
        m_dir.filePath(QStringLiteral("none.sql")), QStringLiteral("AO-7"), m_c);
    EXPECT_FALSE(missing.Opened);
    EXPECT_EQ(missing.OpenError, QStringLiteral("No such file or directory"));
    const FrequencyRows unnamed = ReadFrequencyRows(QString(), QStringLiteral("AO-7"), m_c);
    EXPECT_FALSE(unnamed.Opened);
    EXPECT_EQ(unnamed.OpenError, QStringLiteral("no file name given"));
}

TEST_F(FrequencyDatabaseTest, RowFieldsFrequencyAndTrimmedNote)
{
    EXPECT_EQ(ParseFrequencyRow(QStringLiteral("AO-73,145950,435140,  BPSK  ,LSB,REV,0,0"), m_c),
        (FrequencyRowFields { 145950, QStringLiteral("BPSK") }));
    EXPECT_EQ(ParseFrequencyRow(QStringLiteral("X, 145935.5 ,0,FM,0,0"), m_c),
        (FrequencyRowFields { 145935.5, QStringLiteral("FM") }));
    EXPECT_EQ(ParseFrequencyRow(QStringLiteral("X,145935,0,,0,0"), m_c),
        (FrequencyRowFields { 145935, QString() }));
    EXPECT_FALSE(ParseFrequencyRow(QStringLiteral("X,145935,0,FM,0"), m_c));
    // With a decimal comma in the regional settings a full stop in the file is
    // still the decimal point, never a thousands separator.
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(ParseFrequencyRow(QStringLiteral("AO-7,435.100,0,FM,0,0"), german),
        (FrequencyRowFields { 435.1, QStringLiteral("FM") }));
    EXPECT_EQ(ParseFrequencyRow(QStringLiteral("AO-7,145975,0,FM,0,0"), german),
        (FrequencyRowFields { 145975, QStringLiteral("FM") }));
}

TEST_F(FrequencyDatabaseTest, AnsiNotesSurvive)
{
    // "Bake 0.5°" in the Windows code page: the degree sign is byte 176.
    const QString path = Write("AO-7,145975,0,Bake 0.5\xb0,0,0\n");
    const FrequencyRows rows = ReadFrequencyRows(path, QStringLiteral("AO-7"), m_c);
    ASSERT_EQ(rows.Rows.size(), 1);
    EXPECT_EQ(ParseFrequencyRow(rows.Rows[0], m_c)->Note, QStringLiteral("Bake 0.5\u00b0"));
}

} // namespace
} // namespace aostrack
