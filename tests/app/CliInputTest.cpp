// What an operator types on the command line: time forms, satellite names by
// alias, by the part in parentheses or mistyped, and slips in commands.
#include "CliRunner.h"
#include "TleFile.h"

#include "app/cli/CliArgs.h"
#include "app/cli/SatelliteChoice.h"
#include "orbit/Tle.h"

#include <gtest/gtest.h>

using namespace aostrack;
using namespace aostrack::test;
using namespace std::chrono;

namespace {

const sys_seconds kNow
    = sys_days { year { 2024 } / February / 12 } + hours { 14 } + minutes { 3 } + seconds { 27 };

QString UsageErrorOf(const std::function<void()>& run)
{
    try {
        run();
    } catch (const UsageError& error) {
        return QString::fromUtf8(error.what());
    }
    return QStringLiteral("(accepted)");
}

} // namespace

TEST(CliTimes, CommonFormsAcceptedAnythingElseRefusedAsBefore)
{
    const struct {
        const char* text;
        seconds fromNow; // of the accepted time; unused when refused
        bool accepted;
    } cases[] = {
        { "2024-02-12T14:03:27Z", 0s, true },
        { "now", 0s, true },
        { "NOW", 0s, true },
        { "2024-02-12 14:03:27Z", 0s, true }, // a blank for the T
        { "2024-02-12T14:03:27", 0s, true }, // no Z: UTC all the same
        { "2024-02-12T15:03:27+01:00", 0s, true }, // Central European time
        { "2024-02-12T09:03:27-0500", 0s, true },
        { "2024-02-12T19:33:27+05:30", 0s, true }, // a half-hour zone
        { "2024-02-12T14:03:27.999Z", 0s, true }, // fractions cut, not rounded
        { "2024-02-12 23:59:59.5+01", 8h + 56min + 32s, true },
        { "2024-02-12T14:03Z", 0s, false }, // no seconds
        { "2024-02-12T14:03:27+24:00", 0s, false },
        { "2024-02-12T14:03:27+01:60", 0s, false },
        { "2024-02-12  14:03:27Z", 0s, false },
        { "2024-02-12T14:03:27 Z", 0s, false },
        { "2023-02-29T00:00:00Z", 0s, false },
        { "yesterday", 0s, false },
        { "", 0s, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromLatin1(c.text);
        if (c.accepted) {
            EXPECT_EQ(ParseUtcInstant(text, QStringLiteral("--at"), kNow), kNow + c.fromNow);
        } else {
            EXPECT_EQ(UsageErrorOf([&] { ParseUtcInstant(text, QStringLiteral("--at"), kNow); }),
                QStringLiteral("--at: \"%1\" is not a UTC time of the form YYYY-MM-DDTHH:MM:SSZ")
                    .arg(text));
        }
    }
}

// The example station's element file and frequency database.
TEST(CliSatelliteNames, AliasesPartsInParenthesesAndNearestNames)
{
    const QString tle = ExampleFile(QStringLiteral("amateur.txt"));
    QStringList names;
    for (const std::string& name : LoadTleFile(tle.toStdString()).Table.Names())
        names << QString::fromStdString(name);
    const QList<SatelliteAlias> aliases
        = ReadFrequencyAliases(ExampleFile(QStringLiteral("doppler.sql")));
    const struct {
        const char* sat;
        const char* chosen; // empty: refused
        const char* error; // a part of the refusal (its end, where a hint is given)
    } cases[] = {
        { "QO-100", "ES'HAIL 2", "" }, // from the remark of the ES'HAIL 2 rows
        { "qo-100", "ES'HAIL 2", "" },
        { "IO-117", "GREENCUBE", "" }, // the 2024 file's name lacks it
        { "PO-101", "DIWATA-2B", "" }, // key DIWATA-2
        { "so50", "SAUDISAT 1C (SO-50)", "" }, // the part in parentheses, punctuation aside
        { "eshail2", "ES'HAIL 2", "" },
        { "SO-51", "", "; did you mean SO-50 (SAUDISAT 1C)?" },
        { "QO-101", "", "; did you mean PO-101 (DIWATA-2B) or QO-100 (ES'HAIL 2)?" },
        { "ISS (ZARIA)", "", "; did you mean ISS (ZARYA)?" },
        { "NO SUCH SAT", "", "no satellite named \"NO SUCH SAT\" in " },
        { "25544", "", "; for the satellite with catalogue number 25544 use --norad 25544" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sat);
        const QString sat = QString::fromLatin1(c.sat);
        if (*c.chosen) {
            const int index = ChooseSatelliteIndex(sat, names, tle, aliases);
            EXPECT_EQ(names[index].trimmed(), QString::fromLatin1(c.chosen));
        } else {
            const QString error
                = UsageErrorOf([&] { ChooseSatelliteIndex(sat, names, tle, aliases); });
            EXPECT_TRUE(error.contains(QString::fromLatin1(c.error))) << error.toStdString();
        }
    }
}

// As typed in a shell: exit code and the one line on stderr.
TEST(CliHints, SlipsInCommandsAndOptionsGetTheNearestName)
{
    const struct {
        QStringList args;
        int exitCode;
        const char* err; // the whole of stderr
        const char* outStart;
    } cases[] = {
        { { "pases" }, 2, "aostrack-cli: unknown command \"pases\"; did you mean passes?\n", "" },
        { { "orbit" }, 2, "aostrack-cli: unknown command \"orbit\"; try 'aostrack-cli --help'\n",
            "" },
        { { "passes", "--nroad", "25544" }, 2,
            "aostrack-cli: unknown option --nroad; did you mean --norad?\n", "" },
        { { "passes", "-h" }, 0, "", "Usage: aostrack-cli passes" },
        { { "upcoming", "-h" }, 0, "", "Usage: aostrack-cli upcoming" },
        // Through the sat.ini beside the program and its doppler.sql.
        { { "state", "--sat", "QO-100", "--at", "2024-02-12 15:00:00+01:00" }, 0, nullptr,
            "ES'HAIL 2 (record " },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliResult r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        if (c.err) {
            EXPECT_EQ(r.err, QString::fromLatin1(c.err));
        }
        if (*c.outStart) {
            EXPECT_TRUE(r.out.startsWith(QString::fromLatin1(c.outStart))) << r.out.toStdString();
        }
    }
}
