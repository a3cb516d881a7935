// aostrack-cli with today's element data: the six-digit JAMX01 of the example
// CSV chosen by --norad, and convert between the four forms.
#include "CliRunner.h"
#include "TleFile.h"

#include "core/ElementFile.h"
#include "orbit/Engine.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace aostrack;
using namespace aostrack::test;
using namespace std::chrono;

namespace {

const QStringList kMunich = { "--lat", "48.1371", "--lon", "11.5754", "--height", "0.519" };
const Station kMunichStation { 48.1371, 11.5754, 0.519 };
const QString kJamx = QStringLiteral("JAMX01 (JING'AN DREAM STAR)");

QString ExampleCsv()
{
    return ExampleFile(QStringLiteral("amateur.csv"));
}

QJsonObject StateJson(const QString& tle, const QStringList& choice)
{
    const CliResult c
        = RunCli(QStringList { "state", "--tle", tle, "--at", "2026-09-21T12:00:00Z", "--json" }
            + choice + kMunich);
    EXPECT_EQ(c.exitCode, 0) << c.err.toStdString();
    return QJsonDocument::fromJson(c.out.toUtf8()).object();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

TEST(CliNorad, StateOfJamx01FromTheExampleCsv)
{
    const QJsonObject o = StateJson(ExampleCsv(), { "--norad", "100465" });
    EXPECT_EQ(o["Name"].toString(), kJamx);
    EXPECT_EQ(o["CatalogNumber"].toInt(), 100465);

    const TleLoad load = LoadTleFile(ExampleCsv());
    ASSERT_EQ(load.SatCount, 96);
    const SatRecord& jamx = load.Table.Record(96);
    const SatelliteState s
        = ComputeSatellite(jamx.Elements, kMunichStation, sys_days(2026y / September / 21) + 12h);
    EXPECT_EQ(o["SatAzimuth"].toDouble(), s.SatAzimuth);
    EXPECT_EQ(o["SatElevation"].toDouble(), s.SatElevation);
    EXPECT_EQ(o["OrbitNumber"].toInt(), s.OrbitNumber);

    // The same satellite by its record number, and a five-digit one by number.
    EXPECT_EQ(StateJson(ExampleCsv(), { "--sat", "96" }), o);
    EXPECT_EQ(StateJson(ExampleCsv(), { "--norad", "7530" })["Name"].toString(),
        QStringLiteral("OSCAR 7 (AO-7)"));
}

TEST(CliNorad, NextPassAndPassesTakeIt)
{
    for (const char* command : { "next-pass", "passes" }) {
        SCOPED_TRACE(command);
        const QStringList common
            = QStringList { command, "--tle", ExampleCsv(), "--from", "2026-09-21T12:00:00Z" }
            + kMunich;
        const CliResult byNumber = RunCli(common + QStringList { "--norad", "100465" });
        const CliResult byRecord = RunCli(common + QStringList { "--sat", "96" });
        ASSERT_EQ(byNumber.exitCode, 0) << byNumber.err.toStdString();
        EXPECT_FALSE(byNumber.out.isEmpty());
        EXPECT_EQ(byNumber.out, byRecord.out);
    }
}

struct BadNoradRow {
    QStringList Args;
    QString Error;
};

TEST(CliNorad, BadNumbersAreUsageErrors)
{
    const BadNoradRow rows[] = {
        { { "--norad", "JAMX01" },
            "--norad: \"JAMX01\" is not a catalogue number (1 to 999999999)" },
        { { "--norad", "1234567890" },
            "--norad: \"1234567890\" is not a catalogue number (1 to 999999999)" },
        { { "--norad", "0" }, "--norad: \"0\" is not a catalogue number (1 to 999999999)" },
        { { "--norad", "100466" }, "--norad: no satellite numbered 100466 in " + ExampleCsv() },
        { { "--norad", "100465", "--sat", "1" }, "--sat and --norad: give one of them" },
    };
    for (const BadNoradRow& row : rows) {
        SCOPED_TRACE(row.Args.join(' ').toStdString());
        const CliResult c
            = RunCli(QStringList { "state", "--tle", ExampleCsv(), "--at", "2026-09-21T12:00:00Z" }
                + row.Args + kMunich);
        EXPECT_EQ(c.exitCode, 2);
        EXPECT_EQ(c.ErrLines(), QStringList { "aostrack-cli: " + row.Error });
    }
}

TEST(CliConvert, EveryFormReadsBackToTheSameState)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QJsonObject original = StateJson(ExampleCsv(), { "--norad", "100465" });
    // upcoming reads every form too (JSON and XML used to be refused).
    const auto upcoming = [](const QString& tle) {
        return RunCli(QStringList { "upcoming", "--tle", tle, "--from", "2026-09-21T12:00:00Z",
                          "--hours", "2" }
            + kMunich)
            .out;
    };
    const QString passes = upcoming(ExampleCsv());
    EXPECT_GT(passes.count(QLatin1Char('\n')), 10);
    for (const char* format : { "csv", "json", "xml", "tle" }) {
        SCOPED_TRACE(format);
        const QString out = dir.filePath(QStringLiteral("converted.") + format);
        const CliResult c
            = RunCli({ "convert", "--tle", ExampleCsv(), "--to", format, "--out", out });
        ASSERT_EQ(c.exitCode, 0) << c.err.toStdString();
        EXPECT_TRUE(c.out.isEmpty());
        EXPECT_TRUE(c.err.isEmpty()) << c.err.toStdString();
        const QJsonObject back = StateJson(out, { "--norad", "100465" });
        if (QByteArray(format) != "tle") {
            EXPECT_EQ(back, original);
            EXPECT_EQ(upcoming(out), passes);
            continue;
        }
        // Two-line columns round the epoch to 1e-8 day: within a thousandth of a degree.
        EXPECT_EQ(back["Name"], original["Name"]);
        EXPECT_EQ(back["CatalogNumber"], original["CatalogNumber"]);
        EXPECT_NEAR(back["SatAzimuth"].toDouble(), original["SatAzimuth"].toDouble(), 1e-3);
        EXPECT_NEAR(back["SatElevation"].toDouble(), original["SatElevation"].toDouble(), 1e-3);
        const QByteArray text = ReadFile(out);
        EXPECT_EQ(text.count("\r\n"), 96 * 3);
        EXPECT_TRUE(text.contains("\r\n1 A0465U 26195A   26263.63732165 "));
    }
}

TEST(CliConvert, NumbersAboveAlpha5LeftOutOfTwoLineOutputAndNamed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray csv = ReadFile(ExampleCsv());
    csv.replace(",U,100465,", ",U,400001,");
    const QString input = dir.filePath("future.csv");
    QFile file(input);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(csv);
    file.close();

    const CliResult c = RunCli({ "convert", "--tle", input, "--to", "tle" });
    EXPECT_EQ(c.exitCode, 0);
    EXPECT_EQ(c.ErrLines(),
        QStringList {
            "aostrack-cli: numbered above 339999, left out of two-line output: " + kJamx });
    EXPECT_EQ(c.out.count(QStringLiteral("\r\n")), 95 * 3);
    EXPECT_FALSE(c.out.contains(QStringLiteral("JAMX01")));
}

TEST(CliConvert, FullDiskNamesTheSystemsReason)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("converted.xml"));
    // A file-size limit of 512 bytes fails the write as a full disk does
    // (EFBIG instead of ENOSPC), with the signal that would end the program ignored.
    const CliResult c = RunProgram(QStringLiteral("/bin/sh"),
        { "-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\"",
            QStringLiteral(AOSTRACK_BIN_DIR "/aostrack-cli"), "convert", "--tle", ExampleCsv(),
            "--to", "xml", "--out", out });
    EXPECT_EQ(c.exitCode, 1);
    EXPECT_EQ(
        c.ErrLines(), QStringList { "aostrack-cli: cannot write " + out + ": File too large" });
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

TEST(CliConvert, BadArgumentsExitTwo)
{
    const QStringList rows[] = {
        { "convert", "--tle", ExampleCsv() },
        { "convert", "--tle", ExampleCsv(), "--to", "yaml" },
        { "convert", "--to", "csv" },
        { "convert", "--tle", "/nonexistent/file.csv", "--to", "csv" },
    };
    for (const QStringList& args : rows) {
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_EQ(RunCli(args).exitCode, 2);
    }
}

} // namespace
