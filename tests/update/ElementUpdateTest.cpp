// The element update against a real HTTP server (Python's http.server on a
// loopback port) and against a server that accepts and never answers.
#include "update/ElementUpdate.h"
#include "update/ElementText.h"
#include "update/TleSources.h"

#include "HttpFolderServer.h"
#include "UpdatePages.h"
#include "UpdateRun.h"

#include <QDir>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using namespace std::chrono_literals;
using test::Outcome;
using test::ReadAll;
using test::RunUpdate;
using test::WriteAll;

class ElementUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.Start()) << "python3 -m http.server did not start";
        test::PutSourcePages(m_server);
        WriteAll(TlePath(), test::OldTleFile);
    }
    QString TlePath() const { return m_station.filePath("keps.txt"); }
    QString BackupPath() const { return TlePath() + "_old"; }
    UpdateRequest Request(bool server, bool archive) const
    {
        return { TlePath(), m_server.BaseUrl(), m_server.BaseUrl(), server, archive };
    }
    QString Url(const char* path) const { return m_server.BaseUrl() + path; }

    test::HttpFolderServer m_server;
    QTemporaryDir m_station;
};

TEST_F(ElementUpdateTest, ServerOnlyNormal)
{
    ElementUpdate update;
    const Outcome outcome = RunUpdate(update, Request(true, false));
    ASSERT_TRUE(outcome.Finished);
    EXPECT_TRUE(outcome.Replaced);
    EXPECT_EQ(outcome.Progress,
        QStringList({ "open " + Url("/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle"), "ok",
            "open " + Url("/NORAD/elements/gp.php?GROUP=cubesat&FORMAT=tle"), "ok",
            "open " + Url("/NORAD/elements/gp.php?GROUP=last-30-days&FORMAT=tle"), "ok",
            "save old TLE file", "write new TLE file", "... done" }));
    EXPECT_EQ(ReadAll(TlePath()), test::ServerText + "\r\n");
    EXPECT_EQ(ReadAll(BackupPath()), test::OldTleFile);
    EXPECT_EQ(update.CollectedText(), QString::fromLatin1(test::ServerText));
    EXPECT_FALSE(update.IsRunning());
    // Only the file and its backup in the station folder: no temporary left.
    EXPECT_EQ(
        QDir(m_station.path()).entryList(QDir::Files), QStringList({ "keps.txt", "keps.txt_old" }));
}

TEST_F(ElementUpdateTest, BothSourcesGoIntoTheFile)
{
    ElementUpdate update;
    const Outcome outcome = RunUpdate(update, Request(true, true));
    ASSERT_TRUE(outcome.Replaced);
    EXPECT_EQ(outcome.Progress.mid(6),
        QStringList({ "open " + Url("/amsat/ftp/keps/current/nasa.all"), "ok", "save old TLE file",
            "write new TLE file", "... done" }));
    // The last server page ends without a line break: one goes in before the
    // archive's first name line.
    EXPECT_EQ(ReadAll(TlePath()), test::ServerText + "\r\n" + test::ArchiveText + "\r\n");
    EXPECT_EQ(ReadAll(BackupPath()), test::OldTleFile);
}

TEST_F(ElementUpdateTest, ArchiveOnly)
{
    ElementUpdate update;
    const Outcome outcome = RunUpdate(update, Request(false, true));
    ASSERT_TRUE(outcome.Replaced);
    EXPECT_EQ(outcome.Progress,
        QStringList({ "open " + Url("/amsat/ftp/keps/current/nasa.all"), "ok", "save old TLE file",
            "write new TLE file", "... done" }));
    EXPECT_EQ(ReadAll(TlePath()), test::ArchiveText + "\r\n");
}

TEST_F(ElementUpdateTest, NotFoundOnSecondPathLeavesFileAlone)
{
    WriteAll(BackupPath(), "ANCIENT\n");
    test::SetModified(BackupPath(), QDateTime::currentDateTimeUtc().addDays(-30));
    QFile::remove(m_server.Folder() + test::GpPagePath("cubesat", "tle"));
    ElementUpdate update;
    const Outcome outcome = RunUpdate(update, Request(true, false));
    ASSERT_TRUE(outcome.Finished);
    EXPECT_FALSE(outcome.Replaced);
    ASSERT_EQ(outcome.Progress.size(), 5);
    EXPECT_EQ(
        outcome.Progress[2], "open " + Url("/NORAD/elements/gp.php?GROUP=cubesat&FORMAT=tle"));
    // python's http.server: "404 File not found".
    EXPECT_EQ(outcome.Progress[3],
        "failed " + Url("/NORAD/elements/gp.php?GROUP=cubesat&FORMAT=tle")
            + ": HTTP 404 File not found");
    EXPECT_EQ(outcome.Progress[4], "TLE file unchanged: " + TlePath());
    EXPECT_EQ(ReadAll(TlePath()), test::OldTleFile);
    EXPECT_EQ(ReadAll(BackupPath()), QByteArray("ANCIENT\n"));
}

TEST_F(ElementUpdateTest, HtmlErrorPageRefused)
{
    m_server.Put(test::GpPagePath("last-30-days", "tle"), test::HtmlErrorPage);
    ElementUpdate update;
    const Outcome outcome = RunUpdate(update, Request(true, false));
    ASSERT_TRUE(outcome.Finished);
    EXPECT_FALSE(outcome.Replaced);
    EXPECT_EQ(outcome.Progress.mid(5),
        QStringList({ "refused " + Url("/NORAD/elements/gp.php?GROUP=last-30-days&FORMAT=tle")
                + ": no element set in the page",
            "TLE file unchanged: " + TlePath() }));
    EXPECT_EQ(ReadAll(TlePath()), test::OldTleFile);
    EXPECT_FALSE(QFile::exists(BackupPath()));
}

TEST_F(ElementUpdateTest, EmptyPagesAloneRefused)
{
    m_server.Put(test::GpPagePath("amateur", "tle"), "");
    m_server.Put(test::GpPagePath("cubesat", "tle"), "\n");
    m_server.Put(test::GpPagePath("last-30-days", "tle"), "<pre></pre>\n");
    ElementUpdate update;
    const Outcome outcome = RunUpdate(update, Request(true, false));
    EXPECT_FALSE(outcome.Replaced);
    EXPECT_EQ(outcome.Progress.mid(6),
        QStringList(
            { "refused: the pages hold no element set", "TLE file unchanged: " + TlePath() }));
    EXPECT_EQ(ReadAll(TlePath()), test::OldTleFile);
}

TEST_F(ElementUpdateTest, EmptyPageBesideFullOnesAccepted)
{
    // A list of new launches may well be empty for a while.
    m_server.Put(test::GpPagePath("last-30-days", "tle"), "");
    ElementUpdate update;
    ASSERT_TRUE(RunUpdate(update, Request(true, false)).Replaced);
    EXPECT_EQ(CountCompleteElementSets(QString::fromLatin1(ReadAll(TlePath()))), 2);
}

TEST_F(ElementUpdateTest, RedirectFollowed)
{
    // http.server answers a folder without its final slash with 301 to the
    // slashed address and then serves the folder's index.html.
    QFile::remove(m_server.Folder() + "/NORAD/elements/amateur.txt");
    m_server.Put("/NORAD/elements/amateur.txt/index.html", test::AmateurPage);
    UpdateRequest legacy = Request(true, false);
    legacy.LegacyPaths = true;
    ElementUpdate update;
    ASSERT_TRUE(RunUpdate(update, legacy).Replaced);
    EXPECT_EQ(ReadAll(TlePath()), test::ServerText + "\r\n");
}

TEST_F(ElementUpdateTest, OversizedPageRefused)
{
    ElementUpdate update(std::make_unique<HttpPageFetcher>(30000ms, 100));
    const Outcome outcome = RunUpdate(update, Request(true, false));
    EXPECT_FALSE(outcome.Replaced);
    EXPECT_EQ(outcome.Progress.value(1),
        "failed " + Url("/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle")
            + ": page larger than 100 bytes");
    EXPECT_EQ(ReadAll(TlePath()), test::OldTleFile);
}

TEST(ElementUpdateRefusalTest, EmptyPathAndNoSource)
{
    ElementUpdate update;
    Outcome outcome
        = RunUpdate(update, { QString(), "http://127.0.0.1:9", "http://127.0.0.1:9", true, false });
    EXPECT_TRUE(outcome.Finished);
    EXPECT_FALSE(outcome.Replaced);
    EXPECT_EQ(outcome.Progress,
        QStringList({ "no TLE file loaded: open a TLE file first, nothing updated" }));

    QTemporaryDir dir;
    outcome = RunUpdate(update, { dir.filePath("k.txt"), "http://127.0.0.1:9", "", false, false });
    EXPECT_FALSE(outcome.Replaced);
    EXPECT_EQ(outcome.Progress, QStringList({ "no source ticked, nothing to update" }));
    EXPECT_FALSE(QFile::exists(dir.filePath("k.txt")));
}

// A server that accepts the connection and never says a word.
class ElementUpdateSilentServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_silent.listen(QHostAddress::LocalHost, 0));
        m_base = QStringLiteral("http://127.0.0.1:%1").arg(m_silent.serverPort());
        WriteAll(Tle(), test::OldTleFile);
    }
    QString Tle() const { return m_dir.filePath("keps.txt"); }
    UpdateRequest Request() const { return { Tle(), m_base, m_base, true, false }; }
    QString FirstUrl() const { return m_base + "/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle"; }

    QTcpServer m_silent;
    QTemporaryDir m_dir;
    QString m_base;
};

TEST_F(ElementUpdateSilentServerTest, TimeOutLeavesFileAlone)
{
    ElementUpdate update(std::make_unique<HttpPageFetcher>(300ms));
    const Outcome outcome = RunUpdate(update, Request());
    ASSERT_TRUE(outcome.Finished);
    EXPECT_FALSE(outcome.Replaced);
    EXPECT_EQ(outcome.Progress,
        QStringList({ "open " + FirstUrl(), "failed " + FirstUrl() + ": no answer within 0.3 s",
            "TLE file unchanged: " + Tle() }));
    EXPECT_EQ(ReadAll(Tle()), test::OldTleFile);
    EXPECT_FALSE(QFile::exists(Tle() + "_old"));
}

TEST_F(ElementUpdateSilentServerTest, ClosedPortReported)
{
    m_silent.close(); // nothing listens there any more
    ElementUpdate update;
    const Outcome outcome = RunUpdate(update, Request());
    EXPECT_FALSE(outcome.Replaced);
    EXPECT_EQ(outcome.Progress.value(1), "failed " + FirstUrl() + ": Connection refused");
    EXPECT_EQ(ReadAll(Tle()), test::OldTleFile);
}

TEST_F(ElementUpdateSilentServerTest, SecondStartRefusedWhileRunningAndAbort)
{
    ElementUpdate update;
    QStringList progress;
    QObject::connect(&update, &ElementUpdate::progressLine,
        [&progress](const QString& line) { progress << line; });
    QSignalSpy finished(&update, &ElementUpdate::finished);
    ASSERT_TRUE(update.Start(Request()));
    EXPECT_TRUE(update.IsRunning());
    EXPECT_FALSE(update.Start(Request()));
    update.Abort();
    EXPECT_FALSE(update.IsRunning());
    ASSERT_EQ(finished.size(), 1);
    EXPECT_FALSE(finished.first().first().toBool());
    EXPECT_EQ(progress,
        QStringList({ "open " + FirstUrl(), "update cancelled", "TLE file unchanged: " + Tle() }));
    EXPECT_EQ(ReadAll(Tle()), test::OldTleFile);
}

} // namespace
} // namespace aostrack

namespace aostrack {
namespace {

TEST(ElementUpdateTlsTest, UntrustedCertificateLeavesFileAlone)
{
    test::HttpFolderServer server;
    if (!server.StartTls())
        GTEST_SKIP() << "openssl or python3's ssl module not available";
    server.Put("/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle", test::AmateurPage);
    QTemporaryDir dir;
    const QString tle = dir.filePath("keps.txt");
    WriteAll(tle, test::OldTleFile);

    ElementUpdate update;
    const Outcome outcome
        = RunUpdate(update, { tle, server.BaseUrl(), server.BaseUrl(), true, false });
    ASSERT_TRUE(outcome.Finished);
    EXPECT_FALSE(outcome.Replaced);
    ASSERT_EQ(outcome.Progress.size(), 3);
    // Qt's words: "SSL handshake failed: The certificate is self-signed, and untrusted".
    const QString prefix = "failed " + server.BaseUrl()
        + "/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle: SSL handshake failed";
    EXPECT_TRUE(outcome.Progress[1].startsWith(prefix)) << outcome.Progress[1].toStdString();
    EXPECT_EQ(ReadAll(tle), test::OldTleFile);
    EXPECT_FALSE(QFile::exists(tle + "_old"));
}

} // namespace
} // namespace aostrack
