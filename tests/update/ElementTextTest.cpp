// Page text: decoding, tag removal, joining and the element-set check that
// decides whether a download may replace the TLE file.
#include "update/ElementText.h"
#include "update/TleSources.h"

#include "HttpFolderServer.h"

#include <gtest/gtest.h>

namespace aostrack {
namespace {

const QString Iss
    = QStringLiteral("ISS (ZARYA)             \n"
                     "1 25544U 98067A   24043.00684501  .00020902  00000+0  37609-3 0  9997\n"
                     "2 25544  51.6406 220.6676 0001921 228.7563 273.9440 15.49783958438989\n");

TEST(TleSourcesTest, ServerUrlsNormal)
{
    EXPECT_EQ(ServerUrls(QStringLiteral("https://celestrak.org")),
        QStringList({ "https://celestrak.org/NORAD/elements/amateur.txt",
            "https://celestrak.org/NORAD/elements/cubesat.txt",
            "https://celestrak.org/NORAD/elements/tle-new.txt" }));
    EXPECT_EQ(ArchiveUrl(QStringLiteral("https://www.amsat.org")),
        QStringLiteral("https://www.amsat.org/amsat/ftp/keps/current/nasa.all"));
}

TEST(TleSourcesTest, TrailingSlashAndBlanksDropped)
{
    EXPECT_EQ(ServerUrls(QStringLiteral(" http://127.0.0.1:8080// ")).first(),
        QStringLiteral("http://127.0.0.1:8080/NORAD/elements/amateur.txt"));
    EXPECT_EQ(ArchiveUrl(QStringLiteral("https://www.amsat.org/")),
        QStringLiteral("https://www.amsat.org/amsat/ftp/keps/current/nasa.all"));
}

TEST(ElementSetCountTest, RealFilesNormal)
{
    // Real amateur.txt files as served: 101 and 74 element sets, every one complete.
    const QString dataDir = QStringLiteral(AOSTRACK_SOURCE_DIR "/tests/orbit/data/");
    const QByteArray current = test::ReadAll(dataDir + "amateur.txt");
    const QByteArray old = test::ReadAll(dataDir + "amateur-2017.txt");
    ASSERT_FALSE(current.isEmpty() || old.isEmpty())
        << "sample element files missing in " << dataDir.toStdString();
    EXPECT_EQ(CountCompleteElementSets(DecodePage(current)), 101);
    EXPECT_EQ(CountCompleteElementSets(DecodePage(old)), 74);
}

TEST(ElementSetCountTest, OneSetAnyLineEnd)
{
    EXPECT_EQ(CountCompleteElementSets(Iss), 1);
    QString crlf = Iss;
    crlf.replace("\n", "\r\n");
    EXPECT_EQ(CountCompleteElementSets(crlf), 1);
    QString cr = Iss;
    cr.replace("\n", "\r");
    EXPECT_EQ(CountCompleteElementSets(cr), 1);
    QString noEnd = Iss;
    noEnd.chop(1);
    EXPECT_EQ(CountCompleteElementSets(noEnd), 1);
}

TEST(ElementSetCountTest, Empty)
{
    EXPECT_EQ(CountCompleteElementSets(QString()), 0);
    EXPECT_EQ(CountCompleteElementSets(QStringLiteral("\r\n  \r\n")), 0);
    EXPECT_TRUE(IsBlankText(QStringLiteral(" \r\n\t\n")));
    EXPECT_FALSE(IsBlankText(Iss));
}

TEST(ElementSetCountTest, Malformed)
{
    const QStringList lines = Iss.split('\n');
    // A name without its element lines, or with only one of them.
    EXPECT_EQ(CountCompleteElementSets(lines[0] + "\n"), 0);
    EXPECT_EQ(CountCompleteElementSets(lines[0] + "\n" + lines[1] + "\n"), 0);
    // Element lines before any name line belong to no record.
    EXPECT_EQ(CountCompleteElementSets(lines[1] + "\n" + lines[2] + "\n"), 0);
    // Line 2 before line 1 is still a complete set for the reader.
    EXPECT_EQ(CountCompleteElementSets(lines[0] + "\n" + lines[2] + "\n" + lines[1] + "\n"), 1);
    // A blank in front of "1 " makes a name line.
    EXPECT_EQ(CountCompleteElementSets(lines[0] + "\n " + lines[1] + "\n" + lines[2] + "\n"), 0);
    // Two names, the second complete: one set.
    EXPECT_EQ(CountCompleteElementSets(QStringLiteral("NO ELEMENTS\n") + Iss), 1);
}

TEST(ElementSetCountTest, ErrorPagesHoldNone)
{
    const QString notFound = QStringLiteral(
        "<!DOCTYPE HTML>\n<html><head><title>404 Not Found</title></head>\n"
        "<body><h1>Not Found</h1>\n<p>The requested URL was not found on this server.</p>\n"
        "</body></html>\n");
    EXPECT_EQ(CountCompleteElementSets(notFound), 0);
    EXPECT_EQ(CountCompleteElementSets(notFound.toUpper()), 0);
    // The text a busy element server sends instead of the file.
    EXPECT_EQ(CountCompleteElementSets(
                  QStringLiteral("GP data has not updated since your last successful download of "
                                 "GROUP=amateur at 2024-02-12 10:02:47 UTC.\n")),
        0);
}

TEST(PreTagsTest, RemovedInUpperCaseOnly)
{
    EXPECT_EQ(RemovePreTags(QStringLiteral("<PRE>AO-7\n</PRE>")), QStringLiteral("AO-7\n"));
    EXPECT_EQ(RemovePreTags(QStringLiteral("<PRE><PRE>X</PRE></PRE>")), QStringLiteral("X"));
    // Removal is by exact text: the caller upper-cases first where wanted.
    EXPECT_EQ(RemovePreTags(QStringLiteral("<pre>X</pre>")), QStringLiteral("<pre>X</pre>"));
    EXPECT_EQ(RemovePreTags(QString()), QString());
}

TEST(JoinPageTextTest, LineBreakOnlyWhereMissing)
{
    EXPECT_EQ(JoinPageText(QString(), QStringLiteral("A\n")), QStringLiteral("A\n"));
    EXPECT_EQ(JoinPageText(QStringLiteral("A\n"), QStringLiteral("B\n")), QStringLiteral("A\nB\n"));
    EXPECT_EQ(JoinPageText(QStringLiteral("A\r"), QStringLiteral("B")), QStringLiteral("A\rB"));
    EXPECT_EQ(JoinPageText(QStringLiteral("A"), QStringLiteral("B")), QStringLiteral("A\r\nB"));
    EXPECT_EQ(JoinPageText(QStringLiteral("A"), QString()), QStringLiteral("A"));
    // Two pages that each end without a line break still give two whole sets.
    QString first = Iss;
    first.chop(1);
    EXPECT_EQ(CountCompleteElementSets(JoinPageText(first, first)), 2);
}

TEST(DecodePageTest, Utf8AndLatin1)
{
    EXPECT_EQ(DecodePage(QByteArray("ES'HAIL 2\n")), QStringLiteral("ES'HAIL 2\n"));
    EXPECT_EQ(DecodePage(QByteArray("\xC3\x84MS\n")), QString::fromUtf8("\xC3\x84MS\n"));
    // A lone 0xC4 is not UTF-8: read as Latin-1, the same letter, nothing lost.
    EXPECT_EQ(DecodePage(QByteArray("\xC4MS\n")), QString::fromUtf8("\xC3\x84MS\n"));
    EXPECT_EQ(DecodePage(QByteArray()), QString());
}

} // namespace
} // namespace aostrack
