// The tracking core end to end: start-up from a station folder (sat.ini, TLE
// file, frequency file) with fake device links and a fake clock, the start-up
// failures with their boxes and log lines, ticks across AOS and LOS, the
// search after a pass (also when the LOS second had no tick), the retry after
// a fruitless search, failing ticks, and opening another element file.
#include "core/TrackingSession.h"
#include "core/TrackingTexts.h"

#include "FakeClock.h"
#include "PassesFromElements.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "core/EventLog.h"
#include "core/NumberText.h"
#include "core/StationLinks.h"
#include "orbit/Engine.h"
#include "passes/Passes.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace aostrack;
using namespace std::chrono;
using ::testing::_;
using ::testing::InSequence;
using ::testing::Invoke;
using ::testing::NiceMock;
using ::testing::StrictMock;

namespace {

class MockReceiver : public ReceiverLink {
public:
    MOCK_METHOD(void, LoadFrequencyList, (const QString& satName), (override));
    MOCK_METHOD(void, TuneReceiver, (double correctedKHz), (override));
};

class MockRotor : public RotorLink {
public:
    MOCK_METHOD(void, ApplyConfiguration, (const Configuration& config), (override));
    MOCK_METHOD(void, UpdateRotor, (double satAzimuth, double satElevation), (override));
    MOCK_METHOD(void, PassAhead, (const std::vector<PassLook>& track), (override));
};

class MockTimeSync : public TimeSyncLink {
public:
    MOCK_METHOD(void, StartTimeSync, (const QString& timeServer), (override));
};

// Element sets of February 2024 (public NORAD sets).
const char* const kIss = "ISS (ZARYA)             \n"
                         "1 25544U 98067A   24043.00684501  .00020902  00000+0  37609-3 0  9997\n"
                         "2 25544  51.6406 220.6676 0001921 228.7563 273.9440 15.49783958438989\n";
const char* const kEshail
    = "ES'HAIL 2               \n"
      "1 43700U 18090A   24042.85148031  .00000138  00000+0  00000+0 0  9994\n"
      "2 43700   0.0167 109.8976 0001088 207.1551 156.6172  1.00271527 19090\n";
const char* const kFuncube
    = "FUNCUBE-1 (AO-73)       \n"
      "1 39444U 13066AE  24042.84034642  .00010455  00000+0  10685-2 0  9999\n"
      "2 39444  97.7051   4.7902 0049450 198.4018 161.5412 14.89838831551284\n";
// Mean motion 0: no orbit can be computed from it.
const char* const kBroken
    = "BROKEN                  \n"
      "1 99999U 00000A   24043.00000000  .00000000  00000+0  00000+0 0  9990\n"
      "2 99999  51.0000 100.0000 0001000 100.0000 100.0000  0.00000000    10\n";

const char* const kSatIni = "# test station\r\n"
                            "QTH=Test\r\n"
                            "TLEFILE=amateur.txt\r\n"
                            "DOPPLERFILE=doppler.sql\r\n"
                            "TIMESERVER=127.0.0.1\r\n"
                            "QTH_LAT=48.1371\r\n"
                            "QTH_LONG=11.5754\r\n"
                            "QTH_HEIGHT=0.519\r\n"
                            "ROTOR_PORT=3\r\n"
                            "ROTOR_PORT_SETTINGS=9600,n,8,1\r\n"
                            "ROTOR_DEG=5\r\n"
                            "AUTO_PARK=1\r\n";

const sys_seconds kStart = sys_days(year(2024) / February / 12) + hours(12);

// The countdown as an operator reads it: time of day of the signed count,
// whole days dropped.
QString Hms(long long seconds)
{
    const long long s = ((seconds % 86400) + 86400) % 86400;
    return QString::asprintf("%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
}

class TrackerTest : public ::testing::Test {
protected:
    TrackerTest()
        : m_clock(kStart)
        , m_log(m_clock)
        , m_tracker(m_clock, m_log)
    {
    }

    void SetUp() override
    {
        m_savedLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ASSERT_TRUE(m_dir.isValid());
        Write("sat.ini", kSatIni);
        Write("amateur.txt", QByteArray(kIss) + kEshail);
        Write("doppler.sql", ";key,down,up,mode,tone,remark\r\nISS,145800,145200,FM voice,0,x\r\n");
        m_tracker.SetLinks(&m_receiver, &m_rotor, &m_timeSync);
        // The receiver layer fills the tracker's frequency state from the rows.
        ON_CALL(m_receiver, LoadFrequencyList(_)).WillByDefault(Invoke([this](const QString& name) {
            FrequencyState& f = m_tracker.Frequency();
            f = FrequencyState {};
            if (name.contains(QLatin1String("ISS"))) {
                f.NominalFreq = 145800;
                f.TunedFreq = 145800;
                f.FreqNote = QStringLiteral("FM voice");
            }
        }));
    }

    void TearDown() override { QLocale::setDefault(m_savedLocale); }

    void Write(const QString& name, const QByteArray& bytes)
    {
        WriteTestFile(m_dir.filePath(name), bytes);
    }

    QStringList StartupFailure()
    {
        try {
            m_tracker.Startup(m_dir.path());
        } catch (const StartupError& error) {
            return error.Messages();
        }
        return { QStringLiteral("(no failure)") };
    }

    double ElevationAt(sys_seconds t) const
    {
        return ComputeSatellite(m_tracker.CurrentElements(), m_tracker.StationPosition(), t)
            .SatElevation;
    }

    QLocale m_savedLocale;
    QTemporaryDir m_dir;
    FakeClock m_clock;
    EventLog m_log;
    TrackingSession m_tracker;
    TrackingTexts m_texts { m_tracker };
    NiceMock<MockReceiver> m_receiver;
    NiceMock<MockRotor> m_rotor;
    NiceMock<MockTimeSync> m_timeSync;
};

} // namespace

TEST_F(TrackerTest, StartupNormalCallsInOrder)
{
    {
        InSequence order;
        EXPECT_CALL(m_rotor, ApplyConfiguration(_)).WillOnce(Invoke([](const Configuration& c) {
            EXPECT_EQ(c.RotorPort, 3);
            EXPECT_EQ(c.RotorStepDeg, 5);
            EXPECT_EQ(c.AutoPark, true);
        }));
        EXPECT_CALL(m_receiver, LoadFrequencyList(QString("ISS (ZARYA)"))).Times(2);
        EXPECT_CALL(m_timeSync, StartTimeSync(QString("127.0.0.1")));
    }
    QSignalSpy names(&m_tracker, &TrackingSession::satelliteListChanged);
    QSignalSpy qth(&m_texts, &TrackingTexts::qthTextChanged);
    QSignalSpy freqTexts(&m_texts, &TrackingTexts::frequencyTextsChanged);
    QSignalSpy lines(&m_tracker, &TrackingSession::elementLinesChanged);

    m_tracker.Startup(m_dir.path());

    EXPECT_EQ(m_log.Lines(), QStringList { "Rotor at COM3, 9600,n,8,1  (5\u00B0)" });
    ASSERT_EQ(names.count(), 1);
    EXPECT_EQ(names.at(0).at(0).toStringList(), (QStringList { "ISS (ZARYA)", "ES'HAIL 2" }));
    EXPECT_EQ(names.at(0).at(1).toInt(), 0);
    ASSERT_EQ(qth.count(), 1);
    EXPECT_EQ(qth.at(0).at(0).toString(), "48.14/11.58");
    ASSERT_EQ(freqTexts.count(), 1);
    EXPECT_EQ(freqTexts.at(0).at(0).toString(), "145800.000");
    EXPECT_EQ(freqTexts.at(0).at(1).toString(), "0.00");
    ASSERT_EQ(lines.count(), 1);
    EXPECT_EQ(lines.at(0).at(0).toString(),
        "1 25544U 98067A   24043.00684501  .00020902  00000+0  37609-3 0  9997");
    EXPECT_EQ(m_tracker.SelectedName(), "ISS (ZARYA)");
    EXPECT_TRUE(m_tracker.TickTimer().isActive());
    EXPECT_EQ(m_tracker.TickTimer().interval(), 250);
    EXPECT_EQ(m_tracker.TickTimer().objectName(), "Timer1");
    EXPECT_EQ(m_tracker.Config().TleFilePath, m_dir.filePath("amateur.txt"));

    // The next pass: the first whole second above the horizon after now, and
    // the first second below it after that.
    ASSERT_TRUE(m_tracker.AosTime() && m_tracker.LosTime());
    const sys_seconds aos = *m_tracker.AosTime();
    const sys_seconds los = *m_tracker.LosTime();
    EXPECT_GT(aos, kStart);
    EXPECT_LT(aos - kStart, hours(14));
    EXPECT_LE(ElevationAt(aos - seconds(1)), 0);
    EXPECT_GT(ElevationAt(aos), 0);
    EXPECT_LT(ElevationAt(los), 0);
    EXPECT_GE(ElevationAt(los - seconds(1)), 0);
    EXPECT_GT(los - aos, minutes(1));
    EXPECT_LT(los - aos, minutes(15)); // an ISS pass

    // The plot carries one elevation per second of the pass, from AOS to LOS.
    const PassPlotData& plot = m_texts.Plot();
    const long long d = (los - aos).count();
    EXPECT_EQ(plot.DurationSeconds(), d);
    ASSERT_EQ(static_cast<long long>(plot.Elevations.size()), d + 1);
    EXPECT_DOUBLE_EQ(plot.Elevations.front(), ElevationAt(aos));
    EXPECT_DOUBLE_EQ(plot.Elevations[60], ElevationAt(aos + seconds(60)));
    EXPECT_LT(plot.Elevations.back(), 0);
    EXPECT_EQ(plot.DurationText, QString::number(d / 60.0, 'f', 1) + " min");

    // The 24-hour list holds the same pass first, at minute resolution: its
    // AOS is the first whole minute step at or after the found AOS.
    ASSERT_FALSE(m_texts.PassListLines().isEmpty());
    const QString first = m_texts.PassListLines().first();
    const long long stepsToAos = ((aos - kStart).count() + 59) / 60;
    const sys_seconds listedAos = kStart + minutes(stepsToAos);
    const auto listedDay = floor<days>(listedAos);
    const hh_mm_ss<seconds> hms(listedAos - listedDay);
    EXPECT_EQ(first.mid(11, 5),
        QString::asprintf("%02d:%02d", int(hms.hours().count()), int(hms.minutes().count())))
        << first.toStdString();
    EXPECT_TRUE(first.startsWith(QStringLiteral("12.02.2024 ")) || first.startsWith("13.02.2024 "));
}

TEST_F(TrackerTest, StartupWithoutTimeServerOrRotorSettings)
{
    Write("sat.ini", "TLEFILE=amateur.txt\nDOPPLERFILE=doppler.sql\nTIMESERVER=\nROTOR_PORT=3\n");
    EXPECT_CALL(m_timeSync, StartTimeSync(_)).Times(0);
    m_tracker.Startup(m_dir.path());
    // A port alone, without ROTOR_PORT_SETTINGS, logs no rotor line.
    EXPECT_TRUE(m_log.Lines().isEmpty());
    EXPECT_TRUE(m_tracker.TickTimer().isActive());
}

TEST_F(TrackerTest, StartupFromAnotherWorkingDirectory)
{
    const QString saved = QDir::currentPath();
    QDir::setCurrent(QDir::rootPath());
    EXPECT_NO_THROW(m_tracker.Startup(m_dir.path()));
    QDir::setCurrent(saved);
    EXPECT_EQ(m_tracker.SatelliteNames().size(), 2);
}

TEST_F(TrackerTest, StartupFailuresBoxesAndLogLines)
{
    const QByteArray dir = m_dir.path().toUtf8();
    struct Case {
        const char* what;
        QByteArray ini; // empty: no sat.ini at all
        QStringList boxes;
        QStringList log;
    } const cases[] = {
        { "missing sat.ini", "", { "File sat.ini not found: looked for sat.ini in " + dir },
            { "*** ERROR *** no sat.ini found !53" } },
        { "no file names", "QTH=x\n",
            { "No TLE file found: add a line TLEFILE=amateur.txt (your element file) to " + dir
                    + "/sat.ini",
                "No doppler.sql file found: add a line DOPPLERFILE=doppler.sql to " + dir
                    + "/sat.ini" },
            { "*** ERROR *** no TLE file found !", "*** ERROR *** no doppler.sql file found !" } },
        { "no DOPPLERFILE", "TLEFILE=amateur.txt\n",
            { "No doppler.sql file found: add a line DOPPLERFILE=doppler.sql to " + dir
                + "/sat.ini" },
            { "*** ERROR *** no doppler.sql file found !" } },
        { "TLE file missing", "TLEFILE=nothere.txt\nDOPPLERFILE=doppler.sql\n",
            { "No TLE file found: " + dir + "/nothere.txt does not exist: correct TLEFILE in " + dir
                + "/sat.ini" },
            { "*** ERROR *** no TLE file found !" } },
        { "doppler file missing", "TLEFILE=amateur.txt\nDOPPLERFILE=" + dir + "/x.sql\n",
            { "No doppler.sql file found: " + dir + "/x.sql does not exist: correct DOPPLERFILE in "
                + dir + "/sat.ini" },
            { "*** ERROR *** no doppler.sql file found !" } },
        { "TLE file a folder", "TLEFILE=.\nDOPPLERFILE=doppler.sql\n",
            { "No TLE file found: " + dir + "/. is not a file: correct TLEFILE in " + dir
                + "/sat.ini" },
            { "*** ERROR *** no TLE file found !" } },
        { "blank line", "QTH=x\r\nTLEFILE=amateur.txt\r\n\r\nDOPPLERFILE=doppler.sql\r\n",
            { dir + "/sat.ini line 3: no \"=\" in \"\": delete the empty line or begin it with #" },
            {} },
        { "ROTOR_DEG in letters", "ROTOR_DEG=five\n",
            { dir + "/sat.ini line 1: ROTOR_DEG value \"five\" is not a number" }, {} },
        { "AUTO_PARK in letters", "AUTO_PARK=AUTO\n",
            { dir + "/sat.ini line 1: AUTO_PARK value \"AUTO\" is not a number" }, {} },
        { "ROTOR_HOST without a port", "QTH=x\nROTOR_HOST=shack:\n",
            { dir
                + "/sat.ini line 2: ROTOR_HOST value \"shack:\" is not host:port with a port of "
                  "1..65535" },
            {} },
        { "ROTOR_AZ_MAX two turns", "ROTOR_AZ_MAX=720\n",
            { dir + "/sat.ini line 1: ROTOR_AZ_MAX value \"720\" must lie between 360 and 540" },
            {} },
        { "ROTOR_EL_MAX 120", "ROTOR_EL_MAX=120\n",
            { dir + "/sat.ini line 1: ROTOR_EL_MAX value \"120\" must be 90 or 180" }, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(m_dir.filePath("sat.ini"));
        if (!c.ini.isEmpty())
            Write("sat.ini", c.ini);
        const qsizetype logBefore = m_log.Lines().size();
        EXPECT_EQ(StartupFailure(), c.boxes);
        EXPECT_EQ(m_log.Lines().mid(logBefore), c.log);
        EXPECT_FALSE(m_tracker.TickTimer().isActive());
    }
    // The element file is loaded before the missing DOPPLERFILE is noticed.
    EXPECT_EQ(m_tracker.SatelliteNames().size(), 2);
}

TEST_F(TrackerTest, StartupFromIniUnderAnotherName)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("portable"));
    Write("portable/station2.ini", "TLEFILE=../amateur.txt\nDOPPLERFILE=../doppler.sql\n");
    m_tracker.StartupFromIni(m_dir.filePath("portable/station2.ini"));
    EXPECT_EQ(m_tracker.SatelliteNames(), (QStringList { "ISS (ZARYA)", "ES'HAIL 2" }));
    EXPECT_EQ(m_tracker.Config().IniPath, m_dir.filePath("portable/station2.ini"));
    EXPECT_TRUE(m_tracker.TickTimer().isActive());

    TrackingSession second(m_clock, m_log);
    EXPECT_THROW(second.StartupFromIni(m_dir.filePath("portable/absent.ini")), StartupError);
    EXPECT_EQ(m_log.Lines().last(), "*** ERROR *** no absent.ini found !53");
    Write("portable/station2.ini", "QTH=x\nQTH_LAT 51\n");
    try {
        second.StartupFromIni(m_dir.filePath("portable/station2.ini"));
        FAIL() << "no failure";
    } catch (const StartupError& error) {
        EXPECT_EQ(error.Messages(),
            QStringList { m_dir.filePath("portable/station2.ini")
                + " line 2: no \"=\" in \"QTH_LAT 51\": write KEY=value, or begin the line with # "
                  "to make it a comment" });
    }
}

TEST_F(TrackerTest, StartupFailureRotorSettingsRefused)
{
    Write("sat.ini",
        "ROTOR_PORT_SETTINGS=9600,x,8,1\nTLEFILE=amateur.txt\nDOPPLERFILE=doppler.sql\n");
    EXPECT_CALL(m_rotor, ApplyConfiguration(_)).WillOnce(Invoke([](const Configuration&) {
        throw StartupError(QStringLiteral("Invalid port settings \"9600,x,8,1\""));
    }));
    EXPECT_EQ(StartupFailure(), QStringList { "Invalid port settings \"9600,x,8,1\"" });
    EXPECT_TRUE(m_log.Lines().isEmpty()); // refused before the rotor line
}

TEST_F(TrackerTest, StartupFailureEmptyOrBrokenElementFile)
{
    const QStringList noSet { "TLE file " + m_dir.filePath("amateur.txt")
        + " holds no element set" };
    Write("amateur.txt", "");
    EXPECT_EQ(StartupFailure(), noSet);
    // Names without element lines (a text file named as TLEFILE by mistake).
    Write("amateur.txt", "ISS (ZARYA)\r\nAO-7\r\n");
    EXPECT_EQ(StartupFailure(), noSet);
    // A file whose only set is impossible: the set is refused at reading
    // (and logged with its line), so the file holds no element set.
    Write("amateur.txt", kBroken);
    EXPECT_EQ(StartupFailure(), noSet);
    EXPECT_TRUE(m_log.Lines().join("\n").contains(m_dir.filePath("amateur.txt")
        + " line 3: BROKEN: MeanMotion 0 is outside 0.01 to 20 rev/day (record refused)"))
        << m_log.Lines().join("\n").toStdString();
}

// The rotor gets the pass the plot shows, with the azimuths of each second,
// at every search: at start-up and after the LOS.
TEST_F(TrackerTest, RotorGetsThePassAheadWithEverySearch)
{
    std::vector<std::vector<PassLook>> handed;
    EXPECT_CALL(m_rotor, PassAhead(_)).WillRepeatedly(Invoke([&](const std::vector<PassLook>& t) {
        handed.push_back(t);
    }));
    m_tracker.Startup(m_dir.path());
    ASSERT_FALSE(handed.empty());
    const std::vector<PassLook>& track = handed.back();
    const PassPlotData& plot = m_texts.Plot();
    ASSERT_EQ(track.size(), plot.Elevations.size());
    for (std::size_t s = 0; s < track.size(); ++s) {
        EXPECT_EQ(track[s].SatElevation, plot.Elevations[s]) << s;
        const SatelliteState state = ComputeSatellite(m_tracker.CurrentElements(),
            m_tracker.StationPosition(), *plot.AosTime + seconds(static_cast<long long>(s)));
        EXPECT_EQ(track[s].SatAzimuth, state.SatAzimuth) << s;
    }
    const std::size_t before = handed.size();
    m_clock.Set(*m_tracker.LosTime() + seconds(1));
    m_tracker.TrackingTick();
    ASSERT_EQ(handed.size(), before + 1); // the next pass
    EXPECT_EQ(handed.back().size(), m_texts.Plot().Elevations.size());
}

TEST_F(TrackerTest, TicksAcrossAosAndLos)
{
    m_tracker.Startup(m_dir.path());
    const sys_seconds aos = *m_tracker.AosTime();
    const sys_seconds los = *m_tracker.LosTime();
    const long long d = (los - aos).count();
    QSignalSpy marks(&m_tracker, &TrackingSession::plotMark);
    QSignalSpy countdown(&m_texts, &TrackingTexts::countdownChanged);
    QSignalSpy busy(&m_tracker, &TrackingSession::busyChanged);
    QSignalSpy panel(&m_texts, &TrackingTexts::panelChanged);

    // Two seconds before AOS: counting down, no mark, rotor and receiver steps.
    m_clock.Set(aos - seconds(2));
    EXPECT_CALL(m_rotor, UpdateRotor(_, _)).Times(1);
    EXPECT_CALL(m_receiver, TuneReceiver(_)).WillOnce(Invoke([&](double kHz) {
        EXPECT_EQ(FormatPattern(kHz, "0.000"), m_texts.Panel().CentreFreq);
        EXPECT_FALSE(m_texts.Panel().CentreFreq.isEmpty());
    }));
    m_tracker.TrackingTick();
    ::testing::Mock::VerifyAndClearExpectations(&m_rotor);
    ::testing::Mock::VerifyAndClearExpectations(&m_receiver);
    EXPECT_EQ(m_texts.CountdownText(), "Time to AOS: 00:00:02");
    EXPECT_EQ(marks.count(), 0);
    ASSERT_EQ(panel.count(), 1);
    EXPECT_FALSE(m_texts.Panel().AboveHorizon);

    // At AOS: counting to LOS, a mark at the plot's left edge (D seconds before LOS).
    m_clock.Set(aos);
    EXPECT_CALL(m_rotor, UpdateRotor(_, _)).WillOnce(Invoke([&](double az, double el) {
        EXPECT_DOUBLE_EQ(az, m_tracker.State().SatAzimuth);
        EXPECT_DOUBLE_EQ(el, ElevationAt(aos));
    }));
    m_tracker.TrackingTick();
    ::testing::Mock::VerifyAndClearExpectations(&m_rotor);
    EXPECT_EQ(m_texts.CountdownText(), "Time to LOS: " + Hms(d));
    ASSERT_EQ(marks.count(), 1);
    EXPECT_EQ(marks.at(0).at(0).toLongLong(), d);
    EXPECT_DOUBLE_EQ(marks.at(0).at(1).toDouble(), ElevationAt(aos));
    EXPECT_TRUE(m_texts.Panel().AboveHorizon);

    // A minute into the pass the mark lies on the plotted track.
    m_clock.Set(aos + seconds(60));
    m_tracker.TrackingTick();
    m_tracker.TrackingTick(); // the second tick within one second adds the same point
    ASSERT_EQ(marks.count(), 3);
    EXPECT_EQ(marks.at(1).at(0).toLongLong(), d - 60);
    EXPECT_DOUBLE_EQ(marks.at(1).at(1).toDouble(), m_texts.Plot().Elevations[60]);
    EXPECT_EQ(m_texts.CountdownText(), "Time to LOS: " + Hms(d - 60));

    // At LOS: below the horizon, counting (negative, wrapped) to the passed AOS.
    m_clock.Set(los);
    m_tracker.TrackingTick();
    EXPECT_EQ(m_texts.CountdownText(), "Time to AOS: " + Hms(-d));
    EXPECT_EQ(busy.count(), 0);
    EXPECT_EQ(*m_tracker.AosTime(), aos);

    // One second after LOS: the search for the next pass runs once.
    m_clock.Set(los + seconds(1));
    QSignalSpy passes(&m_texts, &TrackingTexts::passChanged);
    m_tracker.TrackingTick();
    EXPECT_EQ(busy.count(), 2);
    EXPECT_EQ(passes.count(), 1);
    EXPECT_EQ(m_texts.CountdownText(), "Time to AOS: " + Hms(-(d + 1))); // switches next tick
    ASSERT_TRUE(m_tracker.AosTime());
    const sys_seconds nextAos = *m_tracker.AosTime();
    EXPECT_GT(nextAos, los + seconds(1));
    EXPECT_GT(*m_tracker.LosTime(), nextAos);
    EXPECT_TRUE(m_tracker.TickTimer().isActive());
    m_tracker.TrackingTick();
    EXPECT_EQ(busy.count(), 2); // once per pass
    EXPECT_EQ(m_texts.CountdownText(), "Time to AOS: " + Hms((nextAos - los - seconds(1)).count()));
    EXPECT_EQ(m_texts.Plot().AosTime, nextAos);
}

TEST_F(TrackerTest, SearchRunsWhenNoTickFellInTheSecondAfterLos)
{
    m_tracker.Startup(m_dir.path());
    const sys_seconds los = *m_tracker.LosTime();
    QSignalSpy busy(&m_tracker, &TrackingSession::busyChanged);
    m_clock.Set(los - seconds(1));
    m_tracker.TrackingTick();
    m_clock.Set(los + seconds(7)); // a long computation held the timer across LOS + 1
    m_tracker.TrackingTick();
    EXPECT_EQ(busy.count(), 2);
    EXPECT_GT(*m_tracker.AosTime(), los + seconds(7));
}

TEST_F(TrackerTest, LongComputationsHoldTimerAndShowHourglass)
{
    m_tracker.Startup(m_dir.path());
    std::vector<std::pair<bool, bool>> seen; // (busy, timer active)
    QObject::connect(&m_tracker, &TrackingSession::busyChanged,
        [&](bool busy) { seen.emplace_back(busy, m_tracker.TickTimer().isActive()); });
    m_tracker.ChooseSatellite(1);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(true, false));
    EXPECT_EQ(seen[1], std::make_pair(false, false)); // started again right after
    EXPECT_TRUE(m_tracker.TickTimer().isActive());
    EXPECT_FALSE(m_tracker.IsBusy());
}

TEST_F(TrackerTest, SatelliteAlwaysUpRetriesOncePerMinute)
{
    m_tracker.Startup(m_dir.path());
    // The geostationary ES'HAIL 2 stands above Munich's horizon all day: the
    // search finds the AOS at the first step and no LOS.
    EXPECT_CALL(m_receiver, LoadFrequencyList(QString("ES'HAIL 2")));
    QSignalSpy lines(&m_tracker, &TrackingSession::elementLinesChanged);
    m_tracker.ChooseSatellite(1);
    ASSERT_EQ(lines.count(), 1);
    EXPECT_EQ(lines.at(0).at(1).toString(),
        "2 43700   0.0167 109.8976 0001088 207.1551 156.6172  1.00271527 19090");
    EXPECT_EQ(m_tracker.AosTime(), kStart + seconds(1));
    EXPECT_EQ(m_tracker.LosTime(), std::nullopt); // not the ISS's LOS
    EXPECT_TRUE(m_texts.Plot().Elevations.empty());
    EXPECT_EQ(m_texts.Plot().DurationText, "");
    EXPECT_TRUE(m_texts.PassListLines().isEmpty()); // no pass ends within 24 hours

    QSignalSpy busy(&m_tracker, &TrackingSession::busyChanged);
    QSignalSpy marks(&m_tracker, &TrackingSession::plotMark);
    m_clock.Set(kStart + seconds(10));
    m_tracker.TrackingTick();
    EXPECT_EQ(m_texts.CountdownText(), "Time to LOS: --:--:--");
    EXPECT_EQ(marks.count(), 0); // nothing to place it on
    m_clock.Set(kStart + seconds(59));
    m_tracker.TrackingTick();
    EXPECT_EQ(busy.count(), 0);
    m_clock.Set(kStart + seconds(60));
    m_tracker.TrackingTick();
    EXPECT_EQ(busy.count(), 2);
    m_clock.Set(kStart + seconds(61));
    m_tracker.TrackingTick();
    EXPECT_EQ(busy.count(), 2);
    // The time synchronisation set the clock back an hour: no hour-long wait.
    m_clock.Set(kStart - hours(1));
    m_tracker.TrackingTick();
    EXPECT_EQ(busy.count(), 4);
    EXPECT_EQ(m_tracker.AosTime(), kStart - hours(1) + seconds(1));
}

TEST_F(TrackerTest, SatelliteNeverUpShowsNoPass)
{
    // From 150 degrees west the geostationary satellite at 26 degrees east
    // never rises.
    Write("sat.ini", "TLEFILE=amateur.txt\nDOPPLERFILE=doppler.sql\nQTH_LAT=20\nQTH_LONG=-150\n");
    Write("amateur.txt", kEshail);
    m_tracker.Startup(m_dir.path());
    EXPECT_EQ(m_tracker.AosTime(), std::nullopt);
    EXPECT_EQ(m_tracker.LosTime(), std::nullopt);
    m_clock.Advance(seconds(1));
    m_tracker.TrackingTick();
    EXPECT_EQ(m_texts.CountdownText(), "Time to AOS: --:--:--");
    EXPECT_LT(m_tracker.State().SatElevation, 0);
}

TEST_F(TrackerTest, FailingTickLoggedOnceAndNextTickRuns)
{
    m_tracker.Startup(m_dir.path());
    m_clock.Advance(seconds(1));
    EXPECT_CALL(m_rotor, UpdateRotor(_, _)).WillRepeatedly(Invoke([](double, double) {
        throw std::runtime_error("serial port gone");
    }));
    EXPECT_CALL(m_receiver, TuneReceiver(_)).Times(0); // the step after the failure is skipped
    for (int i = 0; i < 4; ++i)
        m_tracker.TrackingTick();
    EXPECT_EQ(m_log.Lines().size(), 2);
    EXPECT_TRUE(m_log.Lines().last().endsWith(": tracking: serial port gone"));
    EXPECT_TRUE(m_log.Lines().last().startsWith("2/12/24 12:00:01"))
        << m_log.Lines().last().toStdString();
    ::testing::Mock::VerifyAndClearExpectations(&m_rotor);
    ::testing::Mock::VerifyAndClearExpectations(&m_receiver);

    EXPECT_CALL(m_receiver, TuneReceiver(_)).Times(1);
    m_tracker.TrackingTick(); // the link is back
    EXPECT_EQ(m_log.Lines().size(), 2);
}

TEST_F(TrackerTest, BrokenElementSetRefusedAtLoad)
{
    // Mean motion 0 used to be listed and fail at every computation; now the
    // reader refuses it, says where, and the catalogue keeps the good sets.
    Write("amateur.txt", QByteArray(kIss) + kBroken + kFuncube);
    m_tracker.Startup(m_dir.path());
    EXPECT_EQ(m_tracker.SatelliteNames(), (QStringList { "ISS (ZARYA)", "FUNCUBE-1 (AO-73)" }));
    EXPECT_TRUE(m_log.Lines().join("\n").contains(m_dir.filePath("amateur.txt")
        + " line 6: BROKEN: MeanMotion 0 is outside 0.01 to 20 rev/day (record refused)"))
        << m_log.Lines().join("\n").toStdString();
    m_tracker.ChooseSatellite(1);
    m_tracker.TrackingTick();
    EXPECT_TRUE(m_tracker.AosTime().has_value());
    EXPECT_TRUE(m_tracker.TickTimer().isActive());
}

TEST_F(TrackerTest, ListKeepsItsRoomTheTableTakesEveryRecord)
{
    // 15002 records: the list shows 15000 and the log says how many more the
    // table holds (the overview and the commands read the table).
    QByteArray text(kIss);
    for (int i = 0; i < SatTable::ListCapacity + 1; ++i)
        text += kEshail;
    Write("amateur.txt", text);
    m_tracker.Startup(m_dir.path());
    EXPECT_EQ(m_tracker.SatelliteNames().size(), SatTable::ListCapacity);
    EXPECT_EQ(m_tracker.Table().SatCount(), SatTable::ListCapacity + 2);
    EXPECT_TRUE(m_log.Lines().join("\n").contains(m_dir.filePath("amateur.txt")
        + ": 2 satellites beyond the first 15000 left out of the satellite list"))
        << m_log.Lines().join("\n").toStdString();
}

TEST_F(TrackerTest, RecordWithoutElementLinesPredictsNothing)
{
    // A name line alone is listed but predicts nothing; a line 2 without its
    // line 1 (the epoch would read 0) is refused by the reader.
    const QByteArray iss(kIss);
    const QByteArray line2Only = "SO-50\n" + iss.mid(iss.indexOf("\n2 ") + 1);
    Write("amateur.txt", iss + "AO-7\n" + line2Only);
    m_tracker.Startup(m_dir.path());
    EXPECT_EQ(m_tracker.SatelliteNames(), (QStringList { "ISS (ZARYA)", "AO-7" }));
    EXPECT_TRUE(
        m_log.Lines().join("\n").contains(" line 5: SO-50: line 1 is missing (record refused)"))
        << m_log.Lines().join("\n").toStdString();
    m_clock.Advance(seconds(1));
    m_tracker.TrackingTick();
    const SatelliteState issState = m_tracker.State();

    for (int index : { 1 }) {
        const QString name = m_tracker.SatelliteNames()[index];
        SCOPED_TRACE(name.toStdString());
        QSignalSpy panel(&m_texts, &TrackingTexts::panelChanged);
        QSignalSpy countdown(&m_texts, &TrackingTexts::countdownChanged);
        QSignalSpy passes(&m_texts, &TrackingTexts::passChanged);
        QSignalSpy busy(&m_tracker, &TrackingSession::busyChanged);
        EXPECT_CALL(m_rotor, UpdateRotor(_, _)).Times(0);
        EXPECT_CALL(m_receiver, TuneReceiver(_)).Times(0);
        m_tracker.ChooseSatellite(index);
        const QString logged = m_log.Lines().last();
        EXPECT_TRUE(logged.startsWith("2/12/24 12:00:01")) << logged.toStdString();
        EXPECT_TRUE(logged.endsWith(
            ": " + name + " has no complete element set in " + m_dir.filePath("amateur.txt")))
            << logged.toStdString();
        ASSERT_EQ(panel.count(), 1);
        EXPECT_EQ(panel.at(0).at(0).value<DataPanelTexts>(), DataPanelTexts {});
        ASSERT_EQ(countdown.count(), 1);
        EXPECT_EQ(countdown.at(0).at(0).toString(), "");
        ASSERT_EQ(passes.count(), 1);
        EXPECT_EQ(passes.at(0).at(0).value<PassPlotData>(), PassPlotData {});
        EXPECT_TRUE(m_texts.PassListLines().isEmpty());
        EXPECT_EQ(m_tracker.AosTime(), std::nullopt);
        EXPECT_EQ(busy.count(), 0); // no search was run

        m_tracker.TrackingTick();
        EXPECT_EQ(panel.count(), 1);
        EXPECT_EQ(m_tracker.State(), issState);
        ::testing::Mock::VerifyAndClearExpectations(&m_rotor);
        ::testing::Mock::VerifyAndClearExpectations(&m_receiver);
    }

    m_tracker.ChooseSatellite(0);
    QSignalSpy panel(&m_texts, &TrackingTexts::panelChanged);
    m_tracker.TrackingTick();
    EXPECT_EQ(panel.count(), 1);
    EXPECT_TRUE(m_tracker.AosTime().has_value());
}

TEST_F(TrackerTest, ChoiceOutOfRangeIgnored)
{
    m_tracker.Startup(m_dir.path());
    m_tracker.ChooseSatellite(2);
    m_tracker.ChooseSatellite(-1);
    EXPECT_EQ(m_tracker.SelectedIndex(), 0);
}

TEST_F(TrackerTest, OpenElementFile)
{
    m_tracker.Startup(m_dir.path());
    const QStringList before = m_tracker.SatelliteNames();
    QSignalSpy names(&m_tracker, &TrackingSession::satelliteListChanged);

    EXPECT_FALSE(m_tracker.OpenElementFile(m_dir.filePath("missing.txt")));
    EXPECT_FALSE(m_tracker.OpenElementFile(m_dir.path())); // a folder
    Write("empty.txt", "\n\n");
    EXPECT_FALSE(m_tracker.OpenElementFile(m_dir.filePath("empty.txt")));
    Write("notes.txt", "Pass notes\nISS good at 12:19\n2 meters quiet\n");
    EXPECT_FALSE(m_tracker.OpenElementFile(m_dir.filePath("notes.txt")));
    EXPECT_EQ(m_tracker.SatelliteNames(), before);
    EXPECT_EQ(m_tracker.Config().TleFilePath, m_dir.filePath("amateur.txt"));
    EXPECT_EQ(names.count(), 0);
    // "2 meters quiet" reads as a line 2: its record is refused, and said so.
    ASSERT_EQ(m_log.Lines().size(), 6);
    EXPECT_TRUE(m_log.Lines()[4].endsWith(m_dir.filePath("notes.txt")
        + " line 2: ISS good at 12:19: line 1 is missing (record refused)"))
        << m_log.Lines()[4].toStdString();
    EXPECT_TRUE(m_log.Lines()[5].endsWith(
        ": TLE file " + m_dir.filePath("notes.txt") + " holds no element set; satellite list kept"))
        << m_log.Lines()[5].toStdString();
    EXPECT_TRUE(m_log.Lines()[1].endsWith("satellite list kept")) << m_log.Lines()[1].toStdString();
    EXPECT_TRUE(m_log.Lines()[1].contains("missing.txt"));

    Write("other.txt", kFuncube);
    EXPECT_CALL(m_receiver, LoadFrequencyList(QString("FUNCUBE-1 (AO-73)")));
    EXPECT_TRUE(m_tracker.OpenElementFile(m_dir.filePath("other.txt")));
    EXPECT_EQ(m_tracker.SatelliteNames(), QStringList { "FUNCUBE-1 (AO-73)" });
    ASSERT_EQ(names.count(), 1);
    EXPECT_EQ(m_tracker.SelectedIndex(), 0);
    EXPECT_EQ(m_tracker.Config().TleFilePath, m_dir.filePath("other.txt"));
    ASSERT_TRUE(m_tracker.AosTime());
    EXPECT_GT(ElevationAt(*m_tracker.AosTime()), 0);
    ::testing::Mock::VerifyAndClearExpectations(&m_receiver);

    // The element update rewrote the file: reloading reads it again.
    Write("other.txt", QByteArray(kFuncube) + kIss);
    EXPECT_TRUE(m_tracker.ReloadElementFile());
    EXPECT_EQ(m_tracker.SatelliteNames().size(), 2);
}

// Reading the same file again keeps the operator's satellite: by its
// catalogue number, else by its name; another file starts at its first one.
TEST_F(TrackerTest, ReloadKeepsTheChosenSatellite)
{
    const QByteArray renamed = QByteArray(kEshail).replace("ES'HAIL 2  ", "QO-100     ");
    const QByteArray renumbered = QByteArray(kEshail).replace("1 43700U", "1 99999U");
    const struct {
        const char* what;
        QByteArray file; // the TLE file as the update left it; empty: deleted
        int selected;
        QString name;
    } cases[] = {
        { "nothing changed", QByteArray(kIss) + kEshail, 1, "ES'HAIL 2" },
        { "a set added in front", QByteArray(kFuncube) + kIss + kEshail, 2, "ES'HAIL 2" },
        { "renamed, same catalogue number", QByteArray(kIss) + renamed, 1, "QO-100" },
        { "same name, other number", QByteArray(kFuncube) + renumbered, 1, "ES'HAIL 2" },
        { "no longer in the file", QByteArray(kFuncube) + kIss, 0, "FUNCUBE-1 (AO-73)" },
        { "update failed, file gone", QByteArray(), 1, "ES'HAIL 2" },
    };
    m_tracker.Startup(m_dir.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write("amateur.txt", QByteArray(kIss) + kEshail);
        ASSERT_TRUE(m_tracker.ReloadElementFile());
        m_tracker.ChooseSatellite(1);
        if (c.file.isEmpty())
            QFile::remove(m_dir.filePath("amateur.txt"));
        else
            Write("amateur.txt", c.file);
        QSignalSpy lists(&m_tracker, &TrackingSession::satelliteListChanged);
        EXPECT_EQ(m_tracker.ReloadElementFile(), !c.file.isEmpty());
        EXPECT_EQ(m_tracker.SelectedIndex(), c.selected);
        EXPECT_EQ(m_tracker.SelectedName(), c.name);
        if (!c.file.isEmpty()) {
            // The window's list shows the kept satellite as the chosen one.
            ASSERT_EQ(lists.count(), 1);
            EXPECT_EQ(lists.first().at(1).toInt(), c.selected);
        } else {
            EXPECT_EQ(lists.count(), 0);
        }
    }

    // "Open Kep File" with another file that holds the same satellite starts
    // at that file's first satellite.
    Write("amateur.txt", QByteArray(kIss) + kEshail);
    m_tracker.ChooseSatellite(1);
    Write("other.txt", QByteArray(kIss) + kEshail);
    EXPECT_TRUE(m_tracker.OpenElementFile(m_dir.filePath("other.txt")));
    EXPECT_EQ(m_tracker.SelectedIndex(), 0);
}

TEST(CountdownText, HorizonAndUnsetTimes)
{
    const sys_seconds now = kStart;
    const std::optional<sys_seconds> aos = now + seconds(3600);
    const std::optional<sys_seconds> los = now + seconds(59);
    EXPECT_EQ(TrackingTexts::CountdownText(-1, now, aos, los), "Time to AOS: 01:00:00");
    EXPECT_EQ(TrackingTexts::CountdownText(0, now, aos, los), "Time to LOS: 00:00:59");
    EXPECT_EQ(
        TrackingTexts::CountdownText(-1, now, now + seconds(86399), los), "Time to AOS: 23:59:59");
    EXPECT_EQ(
        TrackingTexts::CountdownText(-1, now, now + seconds(86400), los), "Time to AOS: 00:00:00");
    EXPECT_EQ(
        TrackingTexts::CountdownText(-1, now, now - seconds(5), los), "Time to AOS: 23:59:55");
    EXPECT_EQ(
        TrackingTexts::CountdownText(-1, now, std::nullopt, std::nullopt), "Time to AOS: --:--:--");
    EXPECT_EQ(
        TrackingTexts::CountdownText(5, now, std::nullopt, std::nullopt), "Time to LOS: --:--:--");
}

namespace {
// ISS's set with its perigee put 150 km under the ground (16.5 rev/day,
// eccentricity 0.05) and the satellite at perigee at the epoch: SGP4 finds
// it decayed, Plan13 draws its ellipse anyway.
const char* const kSgp4Refused
    = "REFUSED                 \n"
      "1 25544U 98067A   24043.00684501  .00020902  00000+0  37609-3 0  9997\n"
      "2 25544  51.6406 220.6676 0500000 228.7563 000.0000 16.50000000438985\n";

QByteArray WithOrbitModel(const char* model)
{
    return QByteArray(kSatIni) + "ORBIT_MODEL=" + model + "\r\n";
}
} // namespace

TEST_F(TrackerTest, OrbitModelFromSatIni)
{
    // sgp4 in any case; absent means Plan13.
    Write("sat.ini", WithOrbitModel("sgp4"));
    QSignalSpy models(&m_tracker, &TrackingSession::orbitModelChanged);
    m_tracker.Startup(m_dir.path());
    EXPECT_EQ(m_tracker.ModelKind(), OrbitModelKind::Sgp4);
    ASSERT_GE(models.size(), 1);
    EXPECT_EQ(models.last().at(0).toString(), "SGP4");
    const NextPass sgp4 = FindNextPass(
        m_tracker.CurrentElements(), m_tracker.StationPosition(), kStart, OrbitModelKind::Sgp4);
    EXPECT_EQ(m_tracker.AosTime(), sgp4.AosTime);
    EXPECT_EQ(m_tracker.LosTime(), sgp4.LosTime);

    TrackingSession plain(m_clock, m_log);
    Write("sat.ini", kSatIni);
    plain.Startup(m_dir.path());
    EXPECT_EQ(plain.ModelKind(), OrbitModelKind::Plan13);
}

TEST_F(TrackerTest, SwitchingModelsWhileTracking)
{
    m_tracker.Startup(m_dir.path());
    m_tracker.TrackingTick();
    const ElementSet iss = m_tracker.CurrentElements();
    const Station qth = m_tracker.StationPosition();
    EXPECT_EQ(m_tracker.State(), OrbitModel(iss, qth).Compute(kStart, 145800));

    QSignalSpy models(&m_tracker, &TrackingSession::orbitModelChanged);
    QSignalSpy lists(&m_texts, &TrackingTexts::passListChanged);
    m_clock.Advance(seconds(1));
    EXPECT_TRUE(m_tracker.SetOrbitModel(OrbitModelKind::Sgp4));
    ASSERT_EQ(models.size(), 1);
    EXPECT_EQ(models.at(0).at(0).toString(), "SGP4");
    EXPECT_EQ(lists.size(), 1); // the pass list again, from the new theory
    const sys_seconds now = kStart + seconds(1);
    EXPECT_EQ(m_tracker.AosTime(), FindNextPass(iss, qth, now, OrbitModelKind::Sgp4).AosTime);
    m_tracker.TrackingTick();
    EXPECT_EQ(m_tracker.State(), OrbitModel(iss, qth, OrbitModelKind::Sgp4).Compute(now, 145800));
    EXPECT_FALSE(std::isnan(m_tracker.State().SatAzimuth));

    EXPECT_TRUE(m_tracker.SetOrbitModel(OrbitModelKind::Sgp4)); // no change, nothing rebuilt
    EXPECT_EQ(lists.size(), 1);
    EXPECT_TRUE(m_tracker.SetOrbitModel(OrbitModelKind::Plan13));
    m_tracker.TrackingTick();
    EXPECT_EQ(m_tracker.State(), OrbitModel(iss, qth).Compute(now, 145800));
    EXPECT_EQ(m_tracker.AosTime(), FindNextPass(iss, qth, now).AosTime);
    EXPECT_EQ(m_log.Lines().size(), 1); // the rotor line of the start-up only
}

TEST_F(TrackerTest, SetRefusedBySgp4KeepsThePreviousSatellite)
{
    Write("sat.ini", WithOrbitModel("SGP4"));
    Write("amateur.txt", QByteArray(kIss) + kSgp4Refused);
    m_tracker.Startup(m_dir.path());
    m_tracker.TrackingTick();
    const SatelliteState before = m_tracker.State();
    QSignalSpy lists(&m_tracker, &TrackingSession::satelliteListChanged);
    m_tracker.ChooseSatellite(1);
    EXPECT_EQ(m_tracker.SelectedName(), "ISS (ZARYA)");
    ASSERT_EQ(m_log.Lines().size(), 2);
    EXPECT_TRUE(m_log.Lines().last().endsWith(": REFUSED: SGP4 error 6: the satellite has decayed "
                                              "(0.0 min from the epoch); ISS (ZARYA) kept"))
        << m_log.Lines().last().toStdString();
    ASSERT_EQ(lists.size(), 1); // the list shows the tracked satellite again
    EXPECT_EQ(lists.at(0).at(1).toInt(), 0);
    m_clock.Advance(seconds(1));
    m_tracker.TrackingTick();
    EXPECT_NE(m_tracker.State(), before); // still tracking
    EXPECT_EQ(m_log.Lines().size(), 2);

    // On Plan13 the set is taken; switching to SGP4 then is refused.
    EXPECT_TRUE(m_tracker.SetOrbitModel(OrbitModelKind::Plan13));
    m_tracker.ChooseSatellite(1);
    EXPECT_EQ(m_tracker.SelectedName(), "REFUSED");
    QSignalSpy models(&m_tracker, &TrackingSession::orbitModelChanged);
    EXPECT_FALSE(m_tracker.SetOrbitModel(OrbitModelKind::Sgp4));
    EXPECT_EQ(m_tracker.ModelKind(), OrbitModelKind::Plan13);
    ASSERT_EQ(models.size(), 1);
    EXPECT_EQ(models.at(0).at(0).toString(), "Plan13"); // the menu goes back
    EXPECT_TRUE(m_log.Lines().last().endsWith("; Plan13 kept"))
        << m_log.Lines().last().toStdString();
}

// The ISS set of February 2024 is 1029 days old on 2026-12-07: SGP4 takes it
// at its epoch but has it decayed by now. The clock and countdown go on, the
// satellite's fields are empty with the reason, the log says it once.
TEST_F(TrackerTest, TheoryRefusingTheSetNowStillTicks)
{
    m_clock.Set(sys_days(year(2026) / December / 7) + hours(12));
    m_tracker.Startup(m_dir.path());
    const qsizetype logBefore = m_log.Lines().size();
    EXPECT_CALL(m_receiver, TuneReceiver(_)).Times(0); // no Doppler is known
    EXPECT_TRUE(m_tracker.SetOrbitModel(OrbitModelKind::Sgp4));
    QSignalSpy countdowns(&m_texts, &TrackingTexts::countdownChanged);
    for (int second = 1; second <= 8; ++second) {
        m_clock.Advance(seconds(1));
        m_tracker.TrackingTick();
        EXPECT_EQ(m_texts.Panel().Time, QStringLiteral("12:00:0%1 UTC").arg(second));
        EXPECT_EQ(m_texts.Panel().Azimuth, QString());
        EXPECT_EQ(m_texts.Panel().Info, "refused by SGP4: the satellite has decayed");
    }
    EXPECT_EQ(countdowns.size(), 8);
    ASSERT_EQ(m_log.Lines().size(), logBefore + 1);
    EXPECT_TRUE(m_log.Lines().last().endsWith("); SGP4 predicts nothing for this set"));
    ::testing::Mock::VerifyAndClearExpectations(&m_receiver);

    EXPECT_TRUE(m_tracker.SetOrbitModel(OrbitModelKind::Plan13)); // and back
    m_tracker.TrackingTick();
    EXPECT_FALSE(m_texts.Panel().Azimuth.isEmpty());
    EXPECT_EQ(m_log.Lines().size(), logBefore + 1);
}
