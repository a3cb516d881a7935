// Event-log lines: timed lines carry the UTC date and time in the regional
// general form, the date alone at midnight; plain lines carry the text alone.
#include "core/EventLog.h"

#include "FakeClock.h"

#include "QtPrinters.h"
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace aostrack;
using namespace std::chrono;

namespace {

sys_seconds At(int y, unsigned mo, unsigned d, int h, int mi, int s)
{
    return sys_days(year(y) / month(mo) / day(d)) + hours(h) + minutes(mi) + seconds(s);
}

class EventLogTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void TearDown() override { QLocale::setDefault(m_saved); }
    QLocale m_saved;
};

} // namespace

TEST_F(EventLogTest, TimedLineCarriesDateAndTime)
{
    FakeClock clock(At(2026, 3, 14, 9, 5, 7));
    EventLog log(clock);
    log.LogEvent(": winsock connection made", true);
    ASSERT_EQ(log.Lines().size(), 1);
    EXPECT_EQ(log.Lines()[0], "14.03.26 09:05:07: winsock connection made");
}

TEST_F(EventLogTest, TimedLineAtMidnightCarriesDateAlone)
{
    FakeClock clock(At(2026, 1, 2, 0, 0, 0));
    EventLog log(clock);
    log.LogEvent(": port opened", true);
    EXPECT_EQ(log.Lines().at(0), "02.01.26: port opened");
    clock.Advance(seconds(1));
    log.LogEvent(": port closed", true);
    EXPECT_EQ(log.Lines().at(1), "02.01.26 00:00:01: port closed");
}

TEST_F(EventLogTest, PlainLineCarriesNoTime)
{
    FakeClock clock(At(2026, 3, 14, 9, 5, 7));
    EventLog log(clock);
    QSignalSpy added(&log, &EventLog::lineAdded);
    QSignalSpy selected(&log, &EventLog::lastLineSelected);
    log.LogEvent("Rotor at COM3, 9600,n,8,1  (5\u00B0)", false);
    EXPECT_EQ(log.Lines(), QStringList { "Rotor at COM3, 9600,n,8,1  (5\u00B0)" });
    ASSERT_EQ(added.count(), 1);
    EXPECT_EQ(added.at(0).at(0).toString(), "Rotor at COM3, 9600,n,8,1  (5\u00B0)");
    EXPECT_EQ(selected.count(), 0); // writing never selects
    log.SelectLastLogLine();
    EXPECT_EQ(selected.count(), 1);
}

TEST(GeneralDateTimeText, EnglishForm)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QString text = GeneralDateTimeText(At(2026, 12, 7, 14, 3, 27), english);
    EXPECT_TRUE(text.startsWith("12/7/26 2:03:27")) << text.toStdString();
    EXPECT_FALSE(text.contains("UTC") || text.contains("GMT")) << text.toStdString();
}
