// An installed aostrack-cli: no sat.ini beside it, settings in the XDG
// folders, the example station in the shared data folder. `init` writes the
// station, then the computing commands work from there; --locator stands for
// --lat and --lon. The man page names every option the tool's help names.
#include "CliRunner.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace aostrack::test;

namespace {

class InstalledCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir root(m_dir.path());
        ASSERT_TRUE(root.mkpath(QStringLiteral("usr/bin")));
        ASSERT_TRUE(root.mkpath(QStringLiteral("usr/share/aostrack")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(AOSTRACK_BIN_DIR "/aostrack-cli"), Cli()));
        for (const char* example : { "sat.ini", "amateur.csv", "doppler.sql" })
            ASSERT_TRUE(QFile::copy(ExampleFile(QLatin1String(example)),
                Path(QStringLiteral("usr/share/aostrack/") + QLatin1String(example))));
    }
    QString Path(const QString& sub) const { return QDir(m_dir.path()).filePath(sub); }
    QString Cli() const { return Path(QStringLiteral("usr/bin/aostrack-cli")); }
    CliResult Run(const QStringList& args) const
    {
        return RunProgram(Cli(), args, 60000,
            { QStringLiteral("XDG_CONFIG_HOME=") + Path(QStringLiteral("home/.config")),
                QStringLiteral("XDG_DATA_HOME=") + Path(QStringLiteral("home/.local/share")),
                QStringLiteral("XDG_DATA_DIRS=") + Path(QStringLiteral("usr/share")) });
    }

    QTemporaryDir m_dir;
};

const QStringList kFrom = { QStringLiteral("--from"), QStringLiteral("2026-09-21T12:00:00Z"),
    QStringLiteral("--sat"), QStringLiteral("SO-50") };

} // namespace

TEST_F(InstalledCli, InitThenUpcomingWorkFromTheUsersSettings)
{
    const QString userIni = Path(QStringLiteral("home/.config/aostrack/sat.ini"));
    const CliResult before = Run(QStringList { QStringLiteral("next-pass") } + kFrom);
    EXPECT_EQ(before.exitCode, 2);
    EXPECT_TRUE(before.err.contains(userIni + QStringLiteral(" not found")))
        << before.err.toStdString();

    const CliResult init = Run({ QStringLiteral("init"), QStringLiteral("--locator"),
        QStringLiteral("JN58SD"), QStringLiteral("--height"), QStringLiteral("0.519") });
    ASSERT_EQ(init.exitCode, 0) << init.err.toStdString();
    EXPECT_EQ(init.out, userIni + QLatin1Char('\n'));

    // The element file of the example is found in the shared folder, and the
    // station is the centre of JN58SD.
    const CliResult fromInit = Run(QStringList { QStringLiteral("next-pass") } + kFrom);
    const CliResult byHand
        = Run(QStringList { QStringLiteral("next-pass"), QStringLiteral("--tle"),
                  ExampleFile(QStringLiteral("amateur.csv")), QStringLiteral("--lat"),
                  QStringLiteral("48.145833"), QStringLiteral("--lon"), QStringLiteral("11.541667"),
                  QStringLiteral("--height"), QStringLiteral("0.519") }
            + kFrom);
    ASSERT_EQ(fromInit.exitCode, 0) << fromInit.err.toStdString();
    EXPECT_EQ(fromInit.out, byHand.out);
    EXPECT_TRUE(fromInit.out.startsWith(QStringLiteral("AOS 2026-09-2")))
        << fromInit.out.toStdString();

    // A sat.ini beside the program (a portable copy) then wins, and init writes there.
    QFile::copy(ExampleFile(QStringLiteral("sat.ini")), Path(QStringLiteral("usr/bin/sat.ini")));
    const CliResult portable = Run({ QStringLiteral("init"), QStringLiteral("--lat"),
        QStringLiteral("-33.9"), QStringLiteral("--lon"), QStringLiteral("18.4") });
    EXPECT_EQ(portable.out, Path(QStringLiteral("usr/bin/sat.ini")) + QLatin1Char('\n'));
}

TEST_F(InstalledCli, LocatorOptionRefusals)
{
    struct Case {
        QStringList args;
        const char* err;
    };
    const Case cases[] = {
        { { QStringLiteral("--locator"), QStringLiteral("JN58sd"), QStringLiteral("--lat"),
              QStringLiteral("48") },
            "give either --locator or --lat and --lon, not both" },
        { { QStringLiteral("--locator"), QStringLiteral("JN5") },
            "--locator \"JN5\": a locator has 4, 6 or 8 characters, as JN58 or JN58sd" },
    };
    for (const Case& c : cases) {
        for (const char* command : { "next-pass", "upcoming", "init" }) {
            QStringList args = QStringList { QLatin1String(command) } + c.args;
            if (QLatin1String(command) != QLatin1String("init"))
                args << QStringLiteral("--tle") << ExampleFile(QStringLiteral("amateur.txt"))
                     << QStringLiteral("--height") << QStringLiteral("0");
            const CliResult result = Run(args);
            EXPECT_EQ(result.exitCode, 2) << command;
            EXPECT_EQ(result.err, QStringLiteral("aostrack-cli: %1\n").arg(QLatin1String(c.err)))
                << command;
        }
    }
    const CliResult metres = Run({ QStringLiteral("init"), QStringLiteral("--locator"),
        QStringLiteral("JN58"), QStringLiteral("--height"), QStringLiteral("519") });
    EXPECT_EQ(metres.exitCode, 2);
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("home/.config/aostrack/sat.ini"))));
}

TEST(ManPage, NamesEveryCommandAndOptionOfTheHelp)
{
    QFile page(QStringLiteral(AOSTRACK_SOURCE_DIR "/packaging/aostrack-cli.1"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString man = QString::fromUtf8(page.readAll()).remove(QLatin1Char('\\'));
    const QRegularExpression command(QStringLiteral("^  ([a-z-]+) {2,}"));
    const QRegularExpression option(QStringLiteral("(--[a-z][a-z-]*)"));
    for (const QString& line : RunCli({ QStringLiteral("--help") }).OutLines()) {
        const QRegularExpressionMatch named = command.match(line);
        if (!named.hasMatch())
            continue;
        const QString name = named.captured(1);
        const QRegularExpression entry(
            QStringLiteral("^\\.B[IR]? %1( |$)").arg(name), QRegularExpression::MultilineOption);
        EXPECT_TRUE(man.contains(entry)) << name.toStdString();
        const QString help = RunCli({ name, QStringLiteral("--help") }).out;
        for (auto it = option.globalMatch(help); it.hasNext();) {
            const QString flag = it.next().captured(1);
            EXPECT_TRUE(man.contains(flag)) << name.toStdString() << " " << flag.toStdString();
        }
    }
}
