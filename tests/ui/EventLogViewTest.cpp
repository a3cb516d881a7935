// The event log list: lines in the order written, the newest one kept whole
// in view while the operator has not scrolled back, the newest line selected
// only on request.
#include "FakeClock.h"
#include "QtPrinters.h"

#include "core/EventLog.h"
#include "ui/EventLogView.h"

#include <QApplication>
#include <QListWidget>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using namespace std::chrono;

QStringList Items(const QListWidget& list)
{
    QStringList items;
    for (int i = 0; i < list.count(); ++i)
        items << list.item(i)->text();
    return items;
}

class EventLogViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { QLocale::setDefault(m_saved); }
    QLocale m_saved;
    FakeClock clock { sys_days(year(2024) / February / 12) };
    EventLog log { clock };
    QListWidget list;
};

TEST_F(EventLogViewTest, NormalLinesInOrderWithoutSelection)
{
    log.LogEvent(QStringLiteral("Rotor at COM3, 9600,n,8,1  (5°)"), false);
    BindEventLog(log, &list);
    // A line written before the window bound the log is shown too.
    ASSERT_EQ(list.count(), 1);
    log.LogEvent(QStringLiteral(": winsock connection made"), true);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(Items(list), log.Lines());
    // Midnight exactly: the date alone before the text.
    EXPECT_EQ(list.item(1)->text(), "2/12/24: winsock connection made");
    EXPECT_EQ(list.currentRow(), -1);
    EXPECT_TRUE(list.selectedItems().isEmpty());
}

TEST_F(EventLogViewTest, SelectLastLogLineSelectsTheNewest)
{
    BindEventLog(log, &list);
    for (int i = 0; i < 50; ++i)
        log.LogEvent(QStringLiteral(": line %1").arg(i), true);
    log.SelectLastLogLine();
    EXPECT_EQ(list.currentRow(), 49);
    ASSERT_EQ(list.selectedItems().size(), 1);
    EXPECT_TRUE(list.selectedItems().first()->text().endsWith(": line 49"));
    log.LogEvent(QStringLiteral(": one more"), true);
    EXPECT_EQ(list.currentRow(), 49);
}

TEST_F(EventLogViewTest, NewestLineStaysWholeInViewUnlessTheOperatorScrolledBack)
{
    // Room for five and a half lines: the half line must not be the newest.
    list.resize(400, 5 * list.fontMetrics().height() + list.fontMetrics().height() / 2 + 8);
    list.show();
    BindEventLog(log, &list);
    const auto newestWhollyVisible = [this] {
        QApplication::processEvents();
        const QRect last = list.visualItemRect(list.item(list.count() - 1));
        return list.viewport()->rect().contains(last);
    };
    for (int i = 0; i < 30; ++i) {
        log.LogEvent(QStringLiteral(": line %1").arg(i), true);
        EXPECT_TRUE(newestWhollyVisible()) << i;
    }
    EXPECT_TRUE(list.selectedItems().isEmpty()); // followed, not selected

    // Scrolled back to read: new lines do not pull the view away.
    list.verticalScrollBar()->setValue(0);
    log.LogEvent(QStringLiteral(": while reading"), true);
    QApplication::processEvents();
    EXPECT_EQ(list.verticalScrollBar()->value(), 0);
    EXPECT_FALSE(newestWhollyVisible());

    // Back at the end: following again.
    list.scrollToBottom();
    log.LogEvent(QStringLiteral(": back at the end"), true);
    EXPECT_TRUE(newestWhollyVisible());
}

TEST_F(EventLogViewTest, EmptyLogSelectsNothing)
{
    BindEventLog(log, &list);
    log.SelectLastLogLine();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.currentRow(), -1);
}

} // namespace
} // namespace aostrack
