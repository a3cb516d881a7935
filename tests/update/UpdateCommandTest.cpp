// aostrack-cli update, run as cron would run it: the real executable against
// a loopback http.server, checked by exit code, printed lines and the files.
#include "core/ElementFile.h"
#include "orbit/Omm.h"

#include "HttpFolderServer.h"
#include "QtPrinters.h"
#include "UpdatePages.h"

#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using test::ReadAll;
using test::WriteAll;

struct CliResult {
    int ExitCode = -1;
    QStringList Lines; // stdout, one entry per line
    QString Error; // stderr
};

CliResult RunCli(const QStringList& args)
{
    QProcess process;
    process.start(
        QStringLiteral(AOSTRACK_BIN_DIR "/aostrack-cli"), QStringList { "update" } + args);
    CliResult result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    QString out = QString::fromUtf8(process.readAllStandardOutput());
    if (out.endsWith('\n'))
        out.chop(1);
    result.Lines = out.isEmpty() ? QStringList() : out.split('\n');
    result.Error = QString::fromUtf8(process.readAllStandardError());
    return result;
}

class UpdateCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.Start()) << "python3 -m http.server did not start";
        test::PutSourcePages(m_server);
        WriteAll(TlePath(), test::OldTleFile);
        WriteIni(m_server.BaseUrl());
    }
    void WriteIni(const QString& base, const QByteArray& tleLine = "TLEFILE=keps.txt\n")
    {
        WriteAll(IniPath(),
            "# test station\nQTH=TEST\n" + tleLine
                + "DOPPLERFILE=doppler.sql\n"
                  "QTH_LAT=48.1\nQTH_LONG=11.6\nQTH_HEIGHT=0.5\nTLE_SERVER="
                + base.toUtf8() + "\nTLE_ARCHIVE=" + base.toUtf8() + "\n");
    }
    QString IniPath() const { return m_station.filePath("sat.ini"); }
    QString TlePath() const { return m_station.filePath("keps.txt"); }
    QString Url(const char* path) const { return m_server.BaseUrl() + path; }

    test::HttpFolderServer m_server;
    QTemporaryDir m_station;
};

TEST_F(UpdateCommandTest, NoFlagMeansServer)
{
    const CliResult result = RunCli({ "--config", IniPath() });
    EXPECT_EQ(result.ExitCode, 0) << result.Error.toStdString();
    EXPECT_EQ(result.Lines,
        QStringList({ "open " + Url("/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle"), "ok",
            "open " + Url("/NORAD/elements/gp.php?GROUP=cubesat&FORMAT=tle"), "ok",
            "open " + Url("/NORAD/elements/gp.php?GROUP=last-30-days&FORMAT=tle"), "ok",
            "save old TLE file", "write new TLE file", "... done" }));
    EXPECT_EQ(ReadAll(TlePath()), test::ServerText + "\r\n");
    EXPECT_EQ(ReadAll(TlePath() + "_old"), test::OldTleFile);
}

TEST_F(UpdateCommandTest, ArchiveAndBoth)
{
    CliResult result = RunCli({ "--config", IniPath(), "--archive" });
    EXPECT_EQ(result.ExitCode, 0) << result.Error.toStdString();
    EXPECT_EQ(result.Lines.first(), "open " + Url("/amsat/ftp/keps/current/nasa.all"));
    EXPECT_EQ(ReadAll(TlePath()), test::ArchiveText + "\r\n");

    // Three hours later (the server's pages are newer than the file by then).
    const QDateTime earlier = QDateTime::currentDateTimeUtc().addSecs(-3 * 3600);
    test::SetModified(TlePath(), earlier);
    test::SetModified(TlePath() + "_old", earlier);
    result = RunCli({ "--server", "--archive", "--config=" + IniPath() });
    EXPECT_EQ(result.ExitCode, 0) << result.Error.toStdString();
    EXPECT_EQ(result.Lines.size(), 11);
    EXPECT_EQ(ReadAll(TlePath()), test::ServerText + "\r\n" + test::ArchiveText + "\r\n");
    EXPECT_EQ(ReadAll(TlePath() + "_old"), test::ArchiveText + "\r\n");
}

TEST_F(UpdateCommandTest, FailedPageExitsOneAndKeepsFile)
{
    QFile::remove(m_server.Folder() + test::GpPagePath("cubesat", "tle"));
    const CliResult result = RunCli({ "--config", IniPath() });
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Lines.mid(3),
        QStringList({ "failed " + Url("/NORAD/elements/gp.php?GROUP=cubesat&FORMAT=tle")
                + ": HTTP 404 File not found",
            "TLE file unchanged: " + TlePath() }));
    EXPECT_EQ(ReadAll(TlePath()), test::OldTleFile);
    EXPECT_FALSE(QFile::exists(TlePath() + "_old"));
}

TEST_F(UpdateCommandTest, SilentServerTimesOut)
{
    QTcpServer silent; // the child process connects; this one never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort());
    WriteIni(base);
    const CliResult result = RunCli({ "--config", IniPath(), "--timeout", "0.5" });
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Lines.value(1),
        "failed " + base
            + "/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle: no answer within 0.5 s");
    EXPECT_EQ(ReadAll(TlePath()), test::OldTleFile);
}

TEST_F(UpdateCommandTest, BadArgumentsAndConfigExitTwo)
{
    EXPECT_EQ(RunCli({ "--config", m_station.filePath("absent.ini") }).ExitCode, 2);
    EXPECT_EQ(RunCli({ "--config", IniPath(), "--mirror" }).ExitCode, 2);
    EXPECT_EQ(RunCli({ "--config", IniPath(), "--timeout", "never" }).ExitCode, 2);
    WriteIni(m_server.BaseUrl(), "");
    const CliResult noTle = RunCli({ "--config", IniPath() });
    EXPECT_EQ(noTle.ExitCode, 2);
    EXPECT_TRUE(noTle.Error.contains("TLEFILE")) << noTle.Error.toStdString();
    EXPECT_TRUE(noTle.Lines.isEmpty());
    EXPECT_EQ(ReadAll(TlePath()), test::OldTleFile);
}

TEST_F(UpdateCommandTest, CsvCatalogueFetchesGpPagesAndWritesOneMergedCsv)
{
    const QByteArray header
        = "OBJECT_NAME,OBJECT_ID,EPOCH,MEAN_MOTION,ECCENTRICITY,INCLINATION,RA_OF_ASC_NODE,"
          "ARG_OF_PERICENTER,MEAN_ANOMALY,EPHEMERIS_TYPE,CLASSIFICATION_TYPE,NORAD_CAT_ID,"
          "ELEMENT_SET_NO,REV_AT_EPOCH,BSTAR,MEAN_MOTION_DOT,MEAN_MOTION_DDOT\r\n";
    const QByteArray ao7 = "OSCAR 7 (AO-7),1974-089B,2026-09-21T06:54:49.497696,12.53699625,"
                           ".00119878,101.9920,278.5390,309.0150,62.1343,0,U,7530,999,37256,"
                           ".5696261E-4,-.37E-6,0\r\n";
    const QByteArray jamx = "JAMX01 (JING'AN DREAM STAR),2026-195A,2026-09-20T15:17:44.590560,"
                            "15.09406534,.00137213,97.5374,336.9926,161.6899,198.4827,0,U,100465,"
                            "999,399,.19965673E-3,.3134E-4,0\r\n";
    const QByteArray ao7Newer = QByteArray(ao7).replace("2026-09-21T06", "2026-09-22T06");
    m_server.Put(test::GpPagePath("amateur", "csv"), header + ao7 + jamx);
    m_server.Put(test::GpPagePath("cubesat", "csv"), header + ao7Newer);
    m_server.Put(test::GpPagePath("last-30-days", "csv"), header);
    const QString csvPath = m_station.filePath("keps.csv");
    const QByteArray old = header + QByteArray(ao7).replace("2026-09-21T06", "2026-09-18T06");
    WriteAll(csvPath, old);
    WriteIni(m_server.BaseUrl(), "TLEFILE=keps.csv\n");

    const CliResult result = RunCli({ "--config", IniPath() });
    EXPECT_EQ(result.ExitCode, 0) << result.Error.toStdString();
    const QString gp = Url("/NORAD/elements/gp.php?GROUP=");
    EXPECT_EQ(result.Lines,
        QStringList({ "open " + gp + "amateur&FORMAT=csv", "ok",
            "open " + gp + "cubesat&FORMAT=csv", "ok", "open " + gp + "last-30-days&FORMAT=csv",
            "ok", "save old TLE file", "write new TLE file", "... done" }));
    EXPECT_EQ(ReadAll(csvPath + "_old"), old);
    EXPECT_EQ(ReadAll(csvPath).count("OBJECT_NAME,"), 1);
    const TleLoad merged = LoadTleFile(csvPath);
    ASSERT_EQ(merged.SatCount, 2);
    EXPECT_EQ(ShownLines(merged.Table.Record(1)).first.substr(0, 32),
        "1 07530U 74089B   26265.28807289"); // the newer AO-7
    EXPECT_EQ(merged.Table.Record(2).Elements.CatalogNumber, 100465);
    // The two-line catalogue beside it is not touched.
    EXPECT_EQ(ReadAll(TlePath()), test::OldTleFile);
}

// As cron runs it against today's service: the GP queries, then nothing
// asked within two hours, then --force asking only for something newer, then
// a refusal in the service's words on stderr.
TEST_F(UpdateCommandTest, GpServiceRulesFromTheCommandLine)
{
    CliResult result = RunCli({ "--config", IniPath() });
    EXPECT_EQ(result.ExitCode, 0) << result.Error.toStdString();
    EXPECT_EQ(ReadAll(TlePath()), test::ServerText + "\r\n");
    QStringList asked;
    for (const QString& request : m_server.Requests())
        asked << request.section('\t', 0, 0);
    EXPECT_EQ(asked, QStringList(std::begin(test::GpTlePaths), std::end(test::GpTlePaths)));

    result = RunCli({ "--config", IniPath() });
    EXPECT_EQ(result.ExitCode, 0) << result.Error.toStdString();
    ASSERT_EQ(result.Lines.size(), 1);
    EXPECT_TRUE(result.Lines[0].startsWith("elements fetched ")) << result.Lines[0].toStdString();
    EXPECT_TRUE(result.Lines[0].contains(", 0 minutes ago; the service publishes new sets every "
                                         "2 hours; next update after "));
    EXPECT_EQ(m_server.Requests().size(), 3);

    // The pages served are older than the file: the forced update hears 304.
    const QDateTime earlier = QDateTime::currentDateTimeUtc().addSecs(-3600);
    for (const QString& path : test::GpTlePaths)
        test::SetModified(m_server.Folder() + QString(path).replace('?', '/'), earlier);
    const QByteArray fetched = ReadAll(TlePath());
    result = RunCli({ "--config", IniPath(), "--force" });
    EXPECT_EQ(result.ExitCode, 0) << result.Error.toStdString();
    EXPECT_TRUE(result.Lines.value(1).startsWith("unchanged since "))
        << result.Lines.join('\n').toStdString();
    EXPECT_EQ(m_server.Requests().size(), 4);
    EXPECT_EQ(ReadAll(TlePath()), fetched);

    m_server.Answer(test::GpPagePath("amateur", "tle"),
        "HTTP/1.1 403 Forbidden\r\nContent-Length: 28\r\n\r\nGP data has not updated...\r\n");
    result = RunCli({ "--config", IniPath(), "--force" });
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Error,
        "aostrack-cli: failed " + Url("/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle")
            + ": HTTP 403 Forbidden: GP data has not updated...\n");
    EXPECT_EQ(ReadAll(TlePath()), fetched);
}

// The transmitter list: a trimmed real dump replaces the file (the previous
// one kept as _old); a page cut short, an HTML page served with 200 and an
// HTTP error leave it as it was; the local rows are never touched.
TEST_F(UpdateCommandTest, TransmitterListReplacedOnlyByAWholeList)
{
    const QByteArray dump = ReadAll(AOSTRACK_SOURCE_DIR "/examples/transmitters.json");
    ASSERT_GT(dump.size(), 10000);
    const QString listPath = m_station.filePath("transmitters.json");
    const QString localPath = m_station.filePath("transmitters.local.json");
    const QByteArray old = "[{\"uuid\": \"old\"}]";
    const QByteArray local = "[{\"uuid\": \"mine\"}]";
    WriteAll(listPath, old);
    WriteAll(localPath, local);
    WriteAll(IniPath(),
        "TLEFILE=keps.txt\nTRANSMITTERS=transmitters.json\n"
        "TRANSMITTERS_LOCAL=transmitters.local.json\nTRANSMITTER_SERVER="
            + m_server.BaseUrl().toUtf8() + "/\n");
    const QString page = "/api/transmitters/format=json";
    const QString url = Url("/api/transmitters/?format=json");
    struct Case {
        const char* name;
        QByteArray body; // served with 200
        QByteArray raw; // or this whole answer
        int exitCode;
        QString verdict;
        QByteArray file;
    };
    const Case cases[] = {
        { "real dump", dump, {}, 0, "... done", dump },
        { "cut short", dump.left(dump.size() / 2), {}, 1, "refused " + url + ": not JSON: ", dump },
        { "HTML with 200", "<html><body>Server Error</body></html>", {}, 1,
            "refused " + url + ": not JSON: illegal value at byte 1", dump },
        { "no uuid", "[{\"uuid\": \"a\"}, {\"description\": \"b\"}]", {}, 1,
            "refused " + url + ": row 2 is not a transmitter with a uuid", dump },
        { "HTTP 502", {}, "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 12\r\n\r\n<html></html>", 1,
            "failed " + url + ": HTTP 502 Bad Gateway", dump },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(m_server.Folder() + page + ".answer");
        if (c.raw.isEmpty())
            m_server.Put(page, c.body);
        else
            m_server.Answer(page, c.raw);
        const CliResult result = RunCli({ "--config", IniPath(), "--transmitters" });
        EXPECT_EQ(result.ExitCode, c.exitCode) << result.Error.toStdString();
        const QString last = result.Lines.value(c.exitCode == 0 ? 4 : 1);
        EXPECT_TRUE(last.startsWith(c.verdict)) << last.toStdString();
        EXPECT_EQ(ReadAll(listPath), c.file);
        EXPECT_EQ(ReadAll(listPath + "_old"), old);
        EXPECT_EQ(ReadAll(localPath), local);
    }
}

TEST_F(UpdateCommandTest, HelpExitsZero)
{
    const CliResult result = RunCli({ "--help" });
    EXPECT_EQ(result.ExitCode, 0);
    EXPECT_TRUE(result.Lines.value(0).startsWith("Usage: aostrack-cli update"))
        << result.Lines.value(0).toStdString();
}

} // namespace
} // namespace aostrack
