// aostrack-cli upcoming as scripts call it: the JSON held to the library's
// own search, the text lines, the filters, skipped records and bad input.
#include "CliRunner.h"
#include "TleFile.h"

#include "app/cli/UpcomingLines.h"
#include "orbit/Tle.h"
#include "passes/UpcomingPasses.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

using namespace aostrack;
using namespace aostrack::test;
using namespace std::chrono;

namespace {

const QStringList kMunich
    = { QStringLiteral("--lat"), QStringLiteral("48.1371"), QStringLiteral("--lon"),
          QStringLiteral("11.5754"), QStringLiteral("--height"), QStringLiteral("0.519") };
const Station kMunichStation { 48.1371, 11.5754, 0.519 };
const sys_seconds kFrom = sys_days { 2024y / February / 12 } + 12h;

QStringList Upcoming(const QString& tle, QStringList more)
{
    QStringList args { QStringLiteral("upcoming"), QStringLiteral("--tle"), tle };
    args << kMunich << QStringLiteral("--from") << QStringLiteral("2024-02-12T12:00:00Z") << more;
    return args;
}

QString Utc(sys_seconds t)
{
    const sys_days d = floor<days>(t);
    const year_month_day ymd { d };
    const hh_mm_ss hms { t - d };
    return QString::asprintf("%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(ymd.year()),
        static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
        static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
        static_cast<int>(hms.seconds().count()));
}

TEST(UpcomingCommand, JsonIsTheLibrarysSearch)
{
    const QString tle = ExampleFile(QStringLiteral("amateur.txt"));
    const CliResult r = RunCli(Upcoming(tle, { QStringLiteral("--json") }));
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8());
    ASSERT_TRUE(doc.isObject());
    EXPECT_EQ(doc.object().keys(), QStringList { QStringLiteral("Passes") });
    const QJsonArray passes = doc.object().value(QStringLiteral("Passes")).toArray();

    const TleLoad load = LoadTleFile(tle.toStdString());
    std::vector<ElementSet> sets;
    for (int i = 1; i <= load.SatCount; ++i)
        sets.push_back(load.Table.Record(i).Elements);
    const std::vector<UpcomingPass> expected
        = SortedByAos(FindUpcomingPasses(sets, kMunichStation, kFrom, UpcomingWindow, 1));
    ASSERT_EQ(passes.size(), static_cast<qsizetype>(expected.size()));
    ASSERT_GT(passes.size(), 500);

    const QStringList keys = { QStringLiteral("AosAzimuth"), QStringLiteral("AosTime"),
        QStringLiteral("CatalogNumber"), QStringLiteral("LosAzimuth"), QStringLiteral("LosTime"),
        QStringLiteral("MaxElevation"), QStringLiteral("MaxElevationTime"),
        QStringLiteral("Name") };
    for (qsizetype k = 0; k < passes.size(); ++k) {
        const QJsonObject o = passes[k].toObject();
        const UpcomingPass& p = expected[static_cast<std::size_t>(k)];
        ASSERT_EQ(o.keys(), keys) << k;
        EXPECT_EQ(o.value(QStringLiteral("Name")).toString().toStdString(),
            load.Table.Record(p.Satellite + 1).SatName);
        EXPECT_EQ(o.value(QStringLiteral("AosTime")).toString(), Utc(p.AosTime));
        ASSERT_TRUE(p.LosTime);
        EXPECT_EQ(o.value(QStringLiteral("LosTime")).toString(), Utc(*p.LosTime));
        EXPECT_EQ(o.value(QStringLiteral("MaxElevationTime")).toString(), Utc(p.MaxElevationTime));
        // 17 significant digits: the very same doubles.
        EXPECT_EQ(o.value(QStringLiteral("MaxElevation")).toDouble(), p.MaxElevation);
        EXPECT_EQ(o.value(QStringLiteral("AosAzimuth")).toDouble(), p.AosAzimuth);
        EXPECT_EQ(o.value(QStringLiteral("LosAzimuth")).toDouble(), p.LosAzimuth);
    }
    // The ISS's catalogue number from its line 1.
    bool seenIss = false;
    for (const QJsonValue& v : passes) {
        if (v.toObject().value(QStringLiteral("Name")).toString()
            == QStringLiteral("ISS (ZARYA)")) {
            EXPECT_EQ(v.toObject().value(QStringLiteral("CatalogNumber")).toInt(), 25544);
            seenIss = true;
        }
    }
    EXPECT_TRUE(seenIss);
}

TEST(UpcomingCommand, TextLinesSortedWithWholeWindowReport)
{
    const CliResult r = RunCli(Upcoming(ExampleFile(QStringLiteral("amateur.txt")), {}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.OutLines();
    // The ISS's first pass over Munich after 12:00 (the engine's own values).
    EXPECT_TRUE(lines.contains(QStringLiteral(
        "2024-02-12T12:18:53Z  2024-02-12T12:29:52Z  max 77.8° at 12:24:24  Az 292.2° -> 118.4°  "
        "ISS (ZARYA)")))
        << r.out.toStdString();
    // Geostationary ES'HAIL 2 never sets; two low-inclination satellites never rise.
    EXPECT_EQ(
        lines.at(lines.size() - 2), QStringLiteral("in view for the whole window: ES'HAIL 2"));
    EXPECT_EQ(lines.last(), QStringLiteral("never in view: 2 satellites"));
    QString previous;
    for (const QString& line : lines.mid(0, lines.size() - 2)) {
        EXPECT_GE(line.left(20), previous) << line.toStdString();
        previous = line.left(20);
    }
}

TEST(UpcomingCommand, WindowAndMinimumElevation)
{
    const CliResult r = RunCli(Upcoming(ExampleFile(QStringLiteral("amateur.txt")),
        { QStringLiteral("--hours"), QStringLiteral("6"), QStringLiteral("--min-el"),
            QStringLiteral("30"), QStringLiteral("--json") }));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray passes = QJsonDocument::fromJson(r.out.toUtf8())
                                  .object()
                                  .value(QStringLiteral("Passes"))
                                  .toArray();
    ASSERT_GT(passes.size(), 5);
    for (const QJsonValue& v : passes) {
        const QJsonObject o = v.toObject();
        EXPECT_GE(o.value(QStringLiteral("MaxElevation")).toDouble(), 30.0);
        EXPECT_LE(
            o.value(QStringLiteral("AosTime")).toString(), QStringLiteral("2024-02-12T18:00:00Z"));
    }
}

TEST(UpcomingCommand, RecordsWithoutElementsSkippedWithOneLine)
{
    // ISS under the "alpha-5" number A0001 (100001), a name without element
    // lines, another one, and SO-50: two records skipped, one line.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mixed.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const TleLoad load = LoadTleFile(ExampleFile(QStringLiteral("amateur.txt")).toStdString());
    auto record = [&](const std::string& name) -> const SatRecord& {
        for (int i = 1; i <= load.SatCount; ++i)
            if (load.Table.Record(i).SatName == name)
                return load.Table.Record(i);
        throw std::runtime_error(name);
    };
    std::string issLine1 = record("ISS (ZARYA)").Line1;
    issLine1.replace(2, 5, "A0001");
    // A sound record under its new number: no checksum warning on stderr.
    issLine1.back() = static_cast<char>('0' + TleChecksum(issLine1));
    const SatRecord& so50 = record("SAUDISAT 1C (SO-50)");
    file.write(("ISS (ZARYA)\n" + issLine1 + "\n" + record("ISS (ZARYA)").Line2
        + "\nNAME ONLY\nANOTHER NAME\n" + so50.SatName + "\n" + so50.Line1 + "\n" + so50.Line2
        + "\n")
                   .c_str());
    file.close();

    const CliResult r = RunCli(Upcoming(path, { QStringLiteral("--json") }));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_EQ(r.ErrLines().size(), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("2 records without element lines skipped")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("record 2 \"NAME ONLY\""))) << r.err.toStdString();
    const QJsonArray passes = QJsonDocument::fromJson(r.out.toUtf8())
                                  .object()
                                  .value(QStringLiteral("Passes"))
                                  .toArray();
    int iss = 0, so = 0;
    for (const QJsonValue& v : passes) {
        const QJsonObject o = v.toObject();
        if (o.value(QStringLiteral("Name")).toString() == QStringLiteral("ISS (ZARYA)")) {
            EXPECT_EQ(o.value(QStringLiteral("CatalogNumber")).toInt(), 100001);
            ++iss;
        } else {
            EXPECT_EQ(o.value(QStringLiteral("CatalogNumber")).toInt(), 27607);
            ++so;
        }
    }
    EXPECT_GT(iss, 3);
    EXPECT_GT(so, 3);
}

TEST(UpcomingLines, JoinedByAosThenSatellite)
{
    // Each satellite's passes as its worker wrote them; equal AOS go in
    // catalogue order, and a span too long to count by seconds sorts alike.
    for (const seconds late : { 300s, 10 * 86400s }) {
        auto written = [&](std::vector<std::pair<seconds, std::string>> passes) {
            WrittenPasses w;
            for (const auto& [aos, text] : passes) {
                w.Text += text;
                w.Ends.push_back(w.Text.size());
                w.Aos.push_back(kFrom + aos);
            }
            return w;
        };
        const std::vector<WrittenPasses> satellites { written({ { 100s, "a" }, { late, "b" } }),
            written({ { 100s, "c" }, { 200s, "d" } }), written({}), written({ { 50s, "e" } }) };
        for (const std::string_view separator : { ", ", "" }) {
            std::string joined;
            JoinByAos(satellites, separator, [&](std::string_view piece) { joined += piece; });
            EXPECT_EQ(joined, separator.empty() ? "eacdb" : "e, a, c, d, b") << late.count();
        }
    }
    // No pass at all (every one below --min-el): nothing, not a stray separator.
    const std::vector<WrittenPasses> none(3);
    std::string joined;
    JoinByAos(none, ", ", [&](std::string_view piece) { joined += piece; });
    EXPECT_EQ(joined, "");
}

TEST(UpcomingCommand, SameOutputForAnyThreadCount)
{
    // The search and the writing are shared among threads; the bytes are not.
    const QString tle = ExampleFile(QStringLiteral("amateur.txt"));
    const QStringList forms[] = { {}, { QStringLiteral("--json") },
        { QStringLiteral("--model"), QStringLiteral("sgp4") } };
    for (const QStringList& form : forms) {
        const CliResult one = RunCli(Upcoming(tle, form + QStringList { "--threads", "1" }));
        ASSERT_EQ(one.exitCode, 0) << one.err.toStdString();
        ASSERT_GT(one.out.size(), 10000) << one.out.toStdString();
        for (const char* n : { "2", "8" }) {
            const CliResult many = RunCli(Upcoming(tle, form + QStringList { "--threads", n }));
            EXPECT_EQ(many.out, one.out) << n << " " << form.join(' ').toStdString();
            EXPECT_EQ(many.err, one.err) << n;
        }
    }
}

TEST(UpcomingCommand, OutputLostOnAFullDiskFailsTheCommand)
{
    // A scheduler reading the list from a file must not take a cut list for
    // the whole day: /dev/full refuses every byte as a full disk does.
    for (const QStringList& form : { QStringList {}, QStringList { QStringLiteral("--json") } }) {
        QProcess process;
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        process.start(QStringLiteral(AOSTRACK_BIN_DIR "/aostrack-cli"),
            Upcoming(ExampleFile(QStringLiteral("amateur.txt")), form));
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 1) << form.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError())
                        .startsWith(QStringLiteral("aostrack-cli: cannot write the passes: ")));
    }
}

TEST(UpcomingCommand, RecordsPastTheWindowsListAreRead)
{
    // The window's list shows 15000 records; the commands take every one:
    // the ISS as record 15001 has its passes, and convert writes all 15001.
    const TleLoad load = LoadTleFile(ExampleFile(QStringLiteral("amateur.txt")).toStdString());
    const std::vector<std::string> all = load.Table.Names();
    const auto at = std::find(all.begin(), all.end(), "ISS (ZARYA)");
    ASSERT_NE(at, all.end());
    const SatRecord& iss = load.Table.Record(static_cast<int>(at - all.begin()) + 1);
    std::string names, copies;
    for (int i = 1; i <= SatTable::ListCapacity; ++i) {
        names += "NAME " + std::to_string(i) + "\n";
        copies += "COPY " + std::to_string(i) + "\n" + iss.Line1 + "\n" + iss.Line2 + "\n";
    }
    const std::string last = "ISS (ZARYA)\n" + iss.Line1 + "\n" + iss.Line2 + "\n";
    QTemporaryDir dir;
    auto write = [&](const QString& name, const std::string& text) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.c_str());
        return dir.filePath(name);
    };

    const CliResult up = RunCli(Upcoming(write(QStringLiteral("names.txt"), names + last), {}));
    ASSERT_EQ(up.exitCode, 0) << up.err.toStdString();
    EXPECT_TRUE(up.err.contains(QStringLiteral("15000 records without element lines skipped")));
    EXPECT_TRUE(up.out.contains(QStringLiteral(
        "2024-02-12T12:18:53Z  2024-02-12T12:29:52Z  max 77.8° at 12:24:24  Az 292.2° -> 118.4°  "
        "ISS (ZARYA)")))
        << up.out.left(2000).toStdString();

    const CliResult converted = RunCli({ QStringLiteral("convert"), QStringLiteral("--tle"),
        write(QStringLiteral("copies.txt"), copies + last), QStringLiteral("--to"),
        QStringLiteral("csv") });
    ASSERT_EQ(converted.exitCode, 0) << converted.err.toStdString();
    EXPECT_EQ(converted.OutLines().size(), 1 + SatTable::ListCapacity + 1); // header and rows
    EXPECT_TRUE(converted.OutLines().last().startsWith(QStringLiteral("ISS (ZARYA),")));
}

TEST(UpcomingCommand, BadArgumentsExitTwo)
{
    const QString tle = ExampleFile(QStringLiteral("amateur.txt"));
    const struct {
        QStringList Args;
        const char* Says;
    } rows[] = {
        { { QStringLiteral("--hours"), QStringLiteral("0") }, "--hours" },
        { { QStringLiteral("--hours"), QStringLiteral("500") }, "--hours" },
        { { QStringLiteral("--min-el"), QStringLiteral("ten") }, "--min-el" },
        { { QStringLiteral("--sat"), QStringLiteral("1") }, "unknown option --sat" },
        { { QStringLiteral("--threads"), QStringLiteral("0") }, "--threads" },
        { { QStringLiteral("--threads"), QStringLiteral("1.5") }, "--threads" },
    };
    for (const auto& row : rows) {
        const CliResult r = RunCli(Upcoming(tle, row.Args));
        EXPECT_EQ(r.exitCode, 2) << row.Says;
        EXPECT_EQ(r.ErrLines().size(), 1);
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(row.Says))) << r.err.toStdString();
    }
    const CliResult bad = RunCli({ QStringLiteral("upcoming"), QStringLiteral("--tle"), tle,
        QStringLiteral("--lat"), QStringLiteral("48"), QStringLiteral("--lon"),
        QStringLiteral("11"), QStringLiteral("--height"), QStringLiteral("0"),
        QStringLiteral("--from"), QStringLiteral("2024-02-12 12:00") });
    EXPECT_EQ(bad.exitCode, 2);
}

} // namespace

// Old sets are counted in one line on stderr, the oldest named.
TEST(UpcomingCommand, WarnsOnceOfOldSets)
{
    const struct {
        const char* file;
        const char* from;
        const char* warning; // empty: none
    } rows[] = {
        { "amateur.txt", "2024-02-12T12:00:00Z", "" }, // a week old at most
        { "amateur.txt", "2026-12-07T12:00:00Z",
            "101 sets older than 14 days, the oldest 1035 days: GREENCUBE" },
        { "amateur.csv", "2026-12-07T12:00:00Z",
            "96 sets older than 14 days, the oldest 78 days: LASARSAT" },
    };
    for (const auto& row : rows) {
        const QString tle = ExampleFile(QString::fromLatin1(row.file));
        const CliResult r = RunCli(
            QStringList { "upcoming", "--tle", tle, "--from", row.from, "--hours", "1" } + kMunich);
        EXPECT_EQ(r.err,
            *row.warning ? QStringLiteral("aostrack-cli: %1: %2; run 'aostrack-cli update'\n")
                               .arg(tle, QString::fromLatin1(row.warning))
                         : QString());
    }

    // The oldest set's name comes out as the file writes it, in any script.
    QFile example(ExampleFile(QStringLiteral("amateur.txt")));
    ASSERT_TRUE(example.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = example.readAll().split('\n');
    QTemporaryDir dir;
    const QString tle = dir.filePath(QStringLiteral("named.txt"));
    QFile named(tle);
    ASSERT_TRUE(named.open(QIODevice::WriteOnly));
    named.write(QStringLiteral("ЮБИЛЕЙНЫЙ\n").toUtf8() + lines[1] + '\n' + lines[2] + '\n');
    named.close();
    const CliResult r = RunCli(
        QStringList { "upcoming", "--tle", tle, "--from", "2026-12-07T12:00:00Z", "--hours", "1" }
        + kMunich);
    EXPECT_EQ(r.err,
        QStringLiteral("aostrack-cli: %1: 1 set older than 14 days, the oldest 1029 days: "
                       "ЮБИЛЕЙНЫЙ; run 'aostrack-cli update'\n")
            .arg(tle));
}
