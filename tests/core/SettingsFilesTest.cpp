// Where the settings are found and how sat.ini is written back: the search
// order (--config, beside the program, XDG), the lookup of the files it names,
// and rewriting that keeps the operator's comments, order and unknown keys.
#include "TestFiles.h"
#include "core/SettingsLocation.h"
#include "core/StationSetup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace aostrack;

namespace {

// The XDG folders of one test, each in a temporary folder.
class SettingsFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* sub : { "program", "config/aostrack", "data/aostrack", "shared/aostrack" })
            ASSERT_TRUE(QDir(m_dir.path()).mkpath(QLatin1String(sub)));
        qputenv("XDG_CONFIG_HOME", Path("config").toUtf8());
        qputenv("XDG_DATA_HOME", Path("data").toUtf8());
        qputenv("XDG_DATA_DIRS", (Path("nowhere") + QLatin1Char(':') + Path("shared")).toUtf8());
    }
    QString Path(const char* sub) const { return QDir(m_dir.path()).filePath(QLatin1String(sub)); }
    QString Read(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SettingsFolders, SettingsFileSearchOrder)
{
    const QString beside = Path("program/sat.ini");
    const QString xdg = Path("config/aostrack/sat.ini");
    // Nothing anywhere: the user's folder, where the first run writes.
    EXPECT_EQ(FindSettingsFile(QString(), Path("program")), xdg);
    WriteTestFile(xdg, "QTH=home\n");
    EXPECT_EQ(FindSettingsFile(QString(), Path("program")), xdg);
    // A sat.ini beside the program wins over the user's (a build or portable copy).
    WriteTestFile(beside, "QTH=portable\n");
    EXPECT_EQ(FindSettingsFile(QString(), Path("program")), beside);
    // --config wins over both, even when it names no file (reported at start-up).
    EXPECT_EQ(FindSettingsFile(QStringLiteral("/x/other.ini"), Path("program")),
        QStringLiteral("/x/other.ini"));
}

TEST_F(SettingsFolders, FilesNamedInSatIniAreLookedUpBesideItThenDownloadsThenShared)
{
    const QString ini = Path("config/aostrack");
    struct Case {
        const char* name;
        const char* present; // where the file lies, or null
        const char* expected;
    };
    const Case cases[] = {
        { "a.txt", "config/aostrack/a.txt", "config/aostrack/a.txt" },
        { "b.txt", "data/aostrack/b.txt", "data/aostrack/b.txt" },
        { "c.txt", "shared/aostrack/c.txt", "shared/aostrack/c.txt" },
        { "d.txt", nullptr, "config/aostrack/d.txt" }, // nowhere: named beside sat.ini
    };
    for (const Case& c : cases) {
        if (c.present)
            WriteTestFile(Path(c.present), "x");
        EXPECT_EQ(LookUpDataFile(QLatin1String(c.name), ini), Path(c.expected)) << c.name;
    }
    // A download in the user's folder shadows the package's copy.
    WriteTestFile(Path("shared/aostrack/b.txt"), "old");
    EXPECT_EQ(LookUpDataFile(QStringLiteral("b.txt"), ini), Path("data/aostrack/b.txt"));
    EXPECT_EQ(LookUpDataFile(QStringLiteral("/abs/e.txt"), ini), QStringLiteral("/abs/e.txt"));
    // The installed example station is the first run's template.
    WriteTestFile(Path("shared/aostrack/sat.ini"), "TLEFILE=a.txt\n");
    EXPECT_EQ(ExampleSettingsFile(Path("program")), Path("shared/aostrack/sat.ini"));
}

TEST_F(SettingsFolders, DownloadsGoToTheUsersFolderWhenTheFileCannotBeReplaced)
{
    const QString own = Path("config/aostrack/amateur.txt");
    EXPECT_EQ(WritableDataPath(own), own);
    // A folder that does not exist (or is not the operator's) is not written.
    EXPECT_EQ(WritableDataPath(QStringLiteral("/nonexistent/aostrack/amateur.txt")),
        Path("data/aostrack/amateur.txt"));
}

TEST(SettingsText, RewritingKeepsCommentsOrderLineEndsAndUnknownKeys)
{
    struct Case {
        const char* text;
        QList<SettingChange> changes;
        const char* expected;
        const char* why;
    };
    const Case cases[] = {
        { "# my station\r\nQTH_LAT=1\r\nMY_KEY=x\r\n", { { "QTH_LAT", "48.5" } },
            "# my station\r\nQTH_LAT=48.5\r\nMY_KEY=x\r\n", "CR LF, comment, unknown key" },
        { "#QTH_LAT=5\nQTH_LAT=1\n", { { "QTH_LAT", "2" } }, "#QTH_LAT=5\nQTH_LAT=2\n",
            "a commented-out key stays a comment" },
        { " QTH_LAT = 1\n", { { "QTH_LAT", "2" } }, "QTH_LAT=2\n", "blanks around the key" },
        { "QTH_LAT=1\nA=b\nQTH_LAT=3\n", { { "QTH_LAT", "2" } }, "QTH_LAT=2\nA=b\nQTH_LAT=2\n",
            "a key given twice reads the same after" },
        { "A=b", { { "QTH", "Munich" } }, "A=b\nQTH=Munich\n", "new key after a last line" },
        { "A=b\r\nROTOR_HOST=x:1\r\nC=d\r\n", { { "ROTOR_HOST", std::nullopt } }, "A=b\r\nC=d\r\n",
            "a removed key" },
        { "TLE_SERVER=https://a.org/?x=1\n", { { "QTH", "a=b" } },
            "TLE_SERVER=https://a.org/?x=1\nQTH=a=b\n", "values holding =" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(RewriteSettingsText(QString::fromLatin1(c.text), c.changes),
            QString::fromLatin1(c.expected))
            << c.why;
    EXPECT_EQ(SettingValue(QStringLiteral("QTH=a\n#QTH=b\nQTH = c=d \n"), QStringLiteral("QTH")),
        QStringLiteral("c=d"));
}

TEST_F(SettingsFolders, WriteStationFromTheExampleOrIntoTheOperatorsFile)
{
    const QString example = Path("shared/aostrack/sat.ini");
    WriteTestFile(example, "# example\nQTH=Munich\nTLEFILE=amateur.txt\nQTH_LAT=48.1\n");
    const QString ini = Path("config/aostrack/sat.ini");
    const StationEntry lisbon { QStringLiteral("Lisbon"), 38.72, -9.1395, 0.1 };
    ASSERT_TRUE(WriteStation(ini, lisbon, example).Ok());
    EXPECT_EQ(Read(ini),
        QStringLiteral("# example\nQTH=Lisbon\nTLEFILE=amateur.txt\nQTH_LAT=38.72\n"
                       "QTH_LONG=-9.1395\nQTH_HEIGHT=0.1\n"));

    // The operator's own file keeps its lines; the example plays no part.
    WriteTestFile(ini, "# mine\nROTOR_HOST=127.0.0.1:4533\nQTH_LONG=1\n");
    ASSERT_TRUE(WriteStation(ini, lisbon, example).Ok());
    EXPECT_EQ(Read(ini),
        QStringLiteral("# mine\nROTOR_HOST=127.0.0.1:4533\nQTH_LONG=-9.1395\nQTH=Lisbon\n"
                       "QTH_LAT=38.72\nQTH_HEIGHT=0.1\n"));

    // Refused entries write nothing: metres for kilometres, a line start-up refuses.
    const QString before = Read(ini);
    const Result<void> metres = WriteStation(ini, { QStringLiteral("x"), 48, 11, 519 }, example);
    EXPECT_EQ(metres.Error(),
        QStringLiteral(
            "the height 519 km is outside -0.5 to 9 km (give kilometres: 519 m is 0.519)"));
    WriteTestFile(ini, "QTH=x\n\nQTH_LAT=1\n");
    EXPECT_FALSE(WriteStation(ini, lisbon, example).Ok());
    EXPECT_EQ(Read(ini), QStringLiteral("QTH=x\n\nQTH_LAT=1\n"));
    EXPECT_NE(before, QString());
}
