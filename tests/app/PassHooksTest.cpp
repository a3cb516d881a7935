// aostrack-cli track --on-aos / --on-los on the simulated clock: the ISS's
// pass over the example station (AOS 12:18:53, LOS 12:29:52, 77.8 degrees)
// rehearsed at 200 times speed; the commands write what they were given.
#include "CliRunner.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace aostrack;
using namespace aostrack::test;

namespace {

QStringList FileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

TEST(PassHooks, CommandsRunAtAosAndLosWithThePassInTheirEnvironment)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(CopyTwoLineExampleStation(dir.path()));
    const QString aosFile = dir.filePath(QStringLiteral("aos.txt"));
    const QString losFile = dir.filePath(QStringLiteral("los.txt"));
    const CliResult r
        = RunCli({ QStringLiteral("track"), QStringLiteral("--config"),
                     dir.filePath(QStringLiteral("sat.ini")), QStringLiteral("--sat"),
                     QStringLiteral("ISS (ZARYA)"), QStringLiteral("--start"),
                     QStringLiteral("2024-02-12T12:18:30Z"), QStringLiteral("--speed"),
                     QStringLiteral("200"), QStringLiteral("--for"), QStringLiteral("700"),
                     QStringLiteral("--plain"), QStringLiteral("--on-aos"),
                     QStringLiteral("env | grep '^AOSTRACK_' | sort > '%1'").arg(aosFile),
                     QStringLiteral("--on-los"),
                     QStringLiteral("env | grep '^AOSTRACK_' | sort > '%1'; exit 3").arg(losFile) },
            120000);
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    const QStringList expected = {
        QStringLiteral("AOSTRACK_AOS=2024-02-12T12:18:53Z"),
        QStringLiteral("AOSTRACK_LOS=2024-02-12T12:29:52Z"),
        QStringLiteral("AOSTRACK_MAX_EL=77.82"),
        QStringLiteral("AOSTRACK_NORAD=25544"),
        QStringLiteral("AOSTRACK_SAT=ISS (ZARYA)"),
    };
    const QString joined = expected.join(QLatin1Char('|'));
    EXPECT_EQ(FileLines(aosFile).join(QLatin1Char('|')).toStdString(), joined.toStdString());
    EXPECT_EQ(FileLines(losFile).join(QLatin1Char('|')).toStdString(), joined.toStdString());

    // Started at the tick of AOS and of LOS; each exit status in the log.
    const QStringList log = r.ErrLines();
    auto logged = [&](const QString& text) {
        for (const QString& line : log)
            if (line.contains(text))
                return line;
        return QString();
    };
    EXPECT_TRUE(logged(QStringLiteral(": on-aos command for ISS (ZARYA)")).contains("12:18:53"))
        << r.err.toStdString();
    EXPECT_FALSE(logged(QStringLiteral(": on-aos command exited with status 0")).isEmpty())
        << r.err.toStdString();
    EXPECT_TRUE(logged(QStringLiteral(": on-los command for ISS (ZARYA)")).contains("12:29:52"))
        << r.err.toStdString();
    EXPECT_FALSE(logged(QStringLiteral(": on-los command exited with status 3")).isEmpty())
        << r.err.toStdString();
    // The tick never waited: every simulated second has its line.
    EXPECT_EQ(r.OutLines().size(), 700);
}

TEST(PassHooks, CommandThatCannotStartIsLogged)
{
    QTemporaryDir dir;
    ASSERT_TRUE(CopyTwoLineExampleStation(dir.path()));
    const CliResult r
        = RunCli({ QStringLiteral("track"), QStringLiteral("--config"),
                     dir.filePath(QStringLiteral("sat.ini")), QStringLiteral("--sat"),
                     QStringLiteral("ISS (ZARYA)"), QStringLiteral("--start"),
                     QStringLiteral("2024-02-12T12:18:50Z"), QStringLiteral("--speed"),
                     QStringLiteral("100"), QStringLiteral("--for"), QStringLiteral("10"),
                     QStringLiteral("--plain"), QStringLiteral("--on-aos"),
                     QStringLiteral("/nonexistent/aostrack-hook") },
            60000);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The shell runs and reports 127: command not found.
    EXPECT_TRUE(r.err.contains(QStringLiteral(": on-aos command exited with status 127")))
        << r.err.toStdString();
}

} // namespace
