// The "Upcoming passes" dock, the sky plot and the AOS alarm on the real main
// window after a whole start-up on a fake clock (the example station's
// element file over Munich, 2024-02-12 12:00 UTC).
#include "FakeClock.h"
#include "TestFiles.h"

#include "core/EventLog.h"
#include "core/PassOverview.h"
#include "core/TrackingSession.h"
#include "station/StationSession.h"
#include "ui/Dialogs.h"
#include "ui/DockPlacement.h"
#include "ui/GroundMap.h"
#include "ui/GroundMapBinding.h"
#include "ui/MainWindow.h"
#include "ui/PassOverviewBinding.h"
#include "ui/SkyPlot.h"
#include "ui/StationView.h"
#include "ui/UpcomingPassesDock.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using namespace std::chrono;

const sys_seconds Noon = sys_days(year(2024) / February / 12) + hours(12);

class NoChooser : public FileChooser {
public:
    QString ChooseFile(QWidget*, const QString&, const QString&) override { return {}; }
};
class QuietSink : public MessageSink {
public:
    void Warn(const QString&, const QString& text) override { texts << text; }
    QStringList texts;
};

class UpcomingPassesWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(
            true); // the dock's shown flag stays out of the user's settings
        ASSERT_TRUE(m_dir.isValid());
        WriteTestFile(m_dir.filePath("sat.ini"),
            "TLEFILE=amateur.txt\r\nDOPPLERFILE=doppler.sql\r\n"
            "QTH_LAT=48.1371\r\nQTH_LONG=11.5754\r\nQTH_HEIGHT=0.519\r\n");
        WriteTestFile(m_dir.filePath("doppler.sql"),
            ";key,down,up,mode,tone,remark\r\nISS,145800,145200,FM,0,x\r\n");
        ASSERT_TRUE(QFile::copy(QStringLiteral(AOSTRACK_SOURCE_DIR "/examples/amateur.txt"),
            m_dir.filePath("amateur.txt")));
        BindStation(m_station, m_window, nullptr);
        m_sky = m_window.Controls().Sky;
        m_binding = new PassOverviewBinding(m_tracker, m_window, m_overview, m_clock, m_log);
        m_map = new GroundMapBinding(m_tracker, m_window, m_overview, m_binding->Dock());
        ASSERT_EQ(StartStation(m_station, m_window, m_dir.path(), m_sink), 0);
        m_tracker.TickTimer().stop();
        m_overview.WaitForIdle();
        m_binding->Dock()->show();
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
        InFront(m_binding->Dock());
    }

    // On the small test screen the docks are tabs (the world map's too):
    // the tab that holds dock in front.
    void InFront(QWidget* dock)
    {
        QTabWidget* pages = m_window.Controls().Pages;
        for (int i = 0; i < pages->count(); ++i)
            if (pages->widget(i)->isAncestorOf(dock))
                pages->setCurrentIndex(i);
    }

    int RowOf(const QString& name) const
    {
        const QAbstractItemModel* model = m_binding->Dock()->Table()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            if (model->index(r, UpcomingPassesModel::Satellite).data().toString() == name)
                return r;
        return -1;
    }

    QTemporaryDir m_dir;
    FakeClock m_clock { Noon };
    StationSession m_station { m_clock, { .RotorLink = false, .ClockSync = false } };
    EventLog& m_log = m_station.Log();
    TrackingSession& m_tracker = m_station.Tracking();
    PassOverview m_overview { m_clock };
    NoChooser m_chooser;
    QuietSink m_sink;
    MainWindow m_window { m_chooser };
    SkyPlot* m_sky = nullptr;
    PassOverviewBinding* m_binding = nullptr;
    GroundMapBinding* m_map = nullptr;
};

TEST(UpcomingPassesTable, EachSecondOnlyTheCountdownsAndHiddenNothing)
{
    // Two passes; a second in which nothing begins changes the countdown
    // column alone, the second of an AOS also that pass's row.
    UpcomingPassesModel model;
    const auto pass = [](sys_seconds aos) {
        OverviewRow row;
        row.Pass.AosTime = aos;
        row.Pass.LosTime = aos + 10min;
        return row;
    };
    model.SetRows({ pass(Noon + 10s), pass(Noon + 1h) });
    model.SetNow(Noon);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const auto columns = [&](int k) {
        return std::pair { changed[k][0].toModelIndex().column(),
            changed[k][1].toModelIndex().column() };
    };
    model.SetNow(Noon + 5s);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(columns(0), std::pair(int(UpcomingPassesModel::Countdown), 6));
    changed.clear();
    model.SetNow(Noon + 10s); // the first pass begins
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed[1][0].toModelIndex().row(), 0);
    EXPECT_EQ(columns(1), std::pair(0, UpcomingPassesModel::ColumnCount - 1));

    // A dock that is not shown leaves its table alone until it is shown.
    UpcomingPassesDock dock;
    dock.ShowRows({ pass(Noon + 10s) }, {}, {}, false);
    QSignalSpy hidden(&dock.Model(), &QAbstractItemModel::dataChanged);
    dock.SetNow(Noon + 20s);
    EXPECT_EQ(hidden.size(), 0);
    dock.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dock));
    EXPECT_GE(hidden.size(), 1);
    EXPECT_EQ(
        dock.Model().index(0, UpcomingPassesModel::Countdown).data().toString(), "LOS in 00:09:50");
}

TEST_F(UpcomingPassesWindow, DockListsEveryPassSortedByAos)
{
    auto* dock = m_window.findChild<UpcomingPassesDock*>(QStringLiteral("UpcomingPasses"));
    ASSERT_NE(dock, nullptr);
    const QAbstractItemModel* model = dock->Table()->model();
    // The same passes the command line and the library find, sorted by AOS.
    std::vector<ElementSet> sets;
    for (int i = 1; i <= m_tracker.Table().SatCount(); ++i)
        sets.push_back(m_tracker.Table().Record(i).Elements);
    const std::vector<UpcomingPass> expected
        = SortedByAos(FindUpcomingPasses(sets, m_tracker.StationPosition(), Noon));
    ASSERT_EQ(model->rowCount(), static_cast<int>(expected.size()));
    for (int r = 1; r < model->rowCount(); ++r)
        ASSERT_LE(model->index(r - 1, UpcomingPassesModel::Aos)
                      .data(UpcomingPassesModel::SortRole)
                      .toLongLong(),
            model->index(r, UpcomingPassesModel::Aos)
                .data(UpcomingPassesModel::SortRole)
                .toLongLong());

    // The ISS's first pass: AOS 12:18:53, maximum 77.8 degrees.
    const int iss = RowOf(QStringLiteral("ISS (ZARYA)"));
    ASSERT_GE(iss, 0);
    // Today's times stand alone, tomorrow's carry the date.
    EXPECT_EQ(model->index(iss, UpcomingPassesModel::Aos).data().toString(), "12:18:53");
    const qlonglong midnight = (Noon + 12h).time_since_epoch().count();
    const int last = model->rowCount() - 1;
    ASSERT_GE(model->index(last, UpcomingPassesModel::Aos)
                  .data(UpcomingPassesModel::SortRole)
                  .toLongLong(),
        midnight);
    EXPECT_TRUE(
        model->index(last, UpcomingPassesModel::Aos).data().toString().startsWith("13.02. "));
    EXPECT_EQ(
        model->index(iss, UpcomingPassesModel::Countdown).data().toString(), "AOS in 00:18:53");

    // Sorted by maximum elevation, highest first, on a click of the header.
    dock->Table()->sortByColumn(UpcomingPassesModel::MaxElevation, Qt::DescendingOrder);
    EXPECT_GE(model->index(0, UpcomingPassesModel::MaxElevation)
                  .data(UpcomingPassesModel::SortRole)
                  .toDouble(),
        model->index(1, UpcomingPassesModel::MaxElevation)
            .data(UpcomingPassesModel::SortRole)
            .toDouble());
    EXPECT_GT(model->index(0, UpcomingPassesModel::MaxElevation)
                  .data(UpcomingPassesModel::SortRole)
                  .toDouble(),
        85);

    // The filter box keeps the matching names.
    auto* filter = dock->findChild<QLineEdit*>(QStringLiteral("UpcomingFilter"));
    ASSERT_NE(filter, nullptr);
    filter->setText(QStringLiteral("zarya"));
    ASSERT_GT(model->rowCount(), 3);
    for (int r = 0; r < model->rowCount(); ++r)
        EXPECT_EQ(model->index(r, 0).data().toString(), "ISS (ZARYA)");
}

// Wherever the dock stands, every time, angle and countdown shows whole and
// no column lies past the table's right edge.
TEST_F(UpcomingPassesWindow, EveryColumnShowsItsTextsWhole)
{
    QTableView* table = m_binding->Dock()->Table();
    QApplication::processEvents();
    ASSERT_TRUE(table->isVisible());
    EXPECT_LE(table->horizontalHeader()->length(), table->viewport()->width());
    const QAbstractItemModel* model = table->model();
    ASSERT_GT(model->rowCount(), 0);
    for (int c = UpcomingPassesModel::Aos; c < UpcomingPassesModel::ColumnCount; ++c) {
        for (int r = 0; r < model->rowCount(); ++r) {
            const QString text = model->index(r, c).data().toString();
            ASSERT_LE(table->fontMetrics().horizontalAdvance(text) + 6, table->columnWidth(c))
                << text.toStdString();
        }
    }
}

// The test screen (800 x 600) has room for the table only as a tab. Another
// tab in view hides the table, not the dock: the menu entry stays ticked.
TEST_F(UpcomingPassesWindow, OnASmallScreenTheMenuEntryShowsAndHidesTheTab)
{
    QTabWidget* pages = m_window.Controls().Pages;
    QAction* entry = m_binding->Dock()->toggleViewAction();
    ASSERT_EQ(pages->count(), 3); // Tracking, Upcoming passes, World map
    EXPECT_TRUE(pages->isTabVisible(1));
    EXPECT_EQ(pages->currentIndex(), 1);
    pages->setCurrentIndex(0);
    EXPECT_TRUE(entry->isChecked());
    EXPECT_FALSE(m_binding->Dock()->Table()->isVisible());
    entry->trigger();
    EXPECT_FALSE(pages->isTabVisible(1));
    EXPECT_FALSE(entry->isChecked());
    entry->trigger();
    EXPECT_TRUE(pages->isTabVisible(1));
    EXPECT_EQ(pages->currentIndex(), 1);
    EXPECT_TRUE(m_binding->Dock()->Table()->isVisible());
}

TEST(DockPlacement, BesideBelowOrAsATabAsTheScreenAllows)
{
    const QSize window(993, 536);
    const QSize dock(650, 150);
    const struct {
        QSize room; // the screen's free area less the title bar and borders
        DockPlace expected;
    } cases[] = {
        { { 1008, 552 }, DockPlace::Tab }, // 1024 x 600
        { { 1350, 720 }, DockPlace::Below }, // 1366 x 768
        { { 1904, 1032 }, DockPlace::Beside }, // 1920 x 1080
        { { 1700, 600 }, DockPlace::Beside }, // wide and low
        { { 1200, 650 }, DockPlace::Tab }, // neither wide nor tall enough
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseDockPlace(c.room, window, dock), c.expected) << c.room.width();
}

TEST_F(UpcomingPassesWindow, PassInProgressHighlightedAndEndedPassesHidden)
{
    // 12:20: the ISS is up (12:18:53 to 12:29:52).
    m_clock.Set(Noon + 20min);
    m_tracker.TrackingTick();
    QTableView* table = m_binding->Dock()->Table();
    const int iss = RowOf(QStringLiteral("ISS (ZARYA)"));
    ASSERT_GE(iss, 0);
    EXPECT_TRUE(table->model()->index(iss, 0).data(UpcomingPassesModel::InProgressRole).toBool());
    EXPECT_EQ(table->model()->index(iss, UpcomingPassesModel::Countdown).data().toString(),
        "LOS in 00:09:52");
    EXPECT_TRUE(table->model()->index(iss, 0).data(Qt::BackgroundRole).isValid());
    // After its LOS the pass leaves the table.
    const int before = table->model()->rowCount();
    m_clock.Set(Noon + 31min);
    m_tracker.TrackingTick();
    EXPECT_LT(table->model()->rowCount(), before);
    const int next = RowOf(QStringLiteral("ISS (ZARYA)"));
    ASSERT_GE(next, 0);
    EXPECT_FALSE(table->model()->index(next, 0).data(UpcomingPassesModel::InProgressRole).toBool());
}

TEST_F(UpcomingPassesWindow, DoubleClickChoosesTheSatelliteAsCombo1Does)
{
    auto* combo = m_window.findChild<QComboBox*>(QStringLiteral("Combo1"));
    ASSERT_NE(combo, nullptr);
    const int issIndex = combo->findText(QStringLiteral("ISS (ZARYA)"));
    ASSERT_GT(issIndex, 0);
    ASSERT_NE(m_tracker.SelectedIndex(), issIndex);

    QTableView* table = m_binding->Dock()->Table();
    const int row = RowOf(QStringLiteral("ISS (ZARYA)"));
    ASSERT_GE(row, 0);
    table->scrollTo(table->model()->index(row, 0));
    const QRect cell = table->visualRect(table->model()->index(row, 0));
    ASSERT_TRUE(cell.isValid());
    // As the mouse does it: a press and release, then the double-click event.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());

    EXPECT_EQ(combo->currentIndex(), issIndex);
    EXPECT_EQ(m_tracker.SelectedIndex(), issIndex);
    EXPECT_EQ(m_tracker.SelectedName(), "ISS (ZARYA)");
    // The choice flow ran: the countdown's pass is the ISS's 12:18:53 one,
    // and the sky plot shows it from the north-west to the south-east.
    ASSERT_TRUE(m_tracker.AosTime());
    EXPECT_EQ(*m_tracker.AosTime(), Noon + 18min + 53s);
    ASSERT_TRUE(m_sky->Pass().Aos && m_sky->Pass().Los);
    EXPECT_NEAR(m_sky->Pass().Aos->Azimuth, 292.2, 0.1);
    EXPECT_NEAR(m_sky->Pass().Los->Azimuth, 118.4, 0.1);
}

TEST_F(UpcomingPassesWindow, SkyPlotProjectionAndLivePosition)
{
    m_sky->resize(300, 300);
    const QPointF centre(150, 150);
    // Zenith in the middle, north up, east right, the horizon on the ring.
    EXPECT_EQ(m_sky->Project(0, 90), centre);
    const QPointF north = m_sky->Project(0, 0);
    const QPointF east = m_sky->Project(90, 0);
    EXPECT_NEAR(north.x(), 150, 1e-9);
    EXPECT_LT(north.y(), 150);
    EXPECT_NEAR(east.y(), 150, 1e-9);
    EXPECT_GT(east.x(), 150);
    // 30 degrees up lies two thirds of the way out.
    EXPECT_NEAR(150 - m_sky->Project(0, 30).y(), (150 - north.y()) * 2 / 3, 1e-9);

    // The live mark follows the tick while the satellite is up.
    auto* combo = m_window.findChild<QComboBox*>(QStringLiteral("Combo1"));
    const int issIndex = combo->findText(QStringLiteral("ISS (ZARYA)"));
    combo->setCurrentIndex(issIndex);
    emit combo->activated(issIndex);
    m_clock.Set(Noon + 24min);
    m_tracker.TrackingTick();
    ASSERT_TRUE(m_sky->Satellite());
    EXPECT_EQ(m_sky->Satellite()->x(), m_tracker.State().SatAzimuth);
    EXPECT_EQ(m_sky->Satellite()->y(), m_tracker.State().SatElevation);
    // At 1024 x 600 (the dock closed) the plot keeps a usable size.
    m_binding->Dock()->hide();
    m_window.resize(1024, 600);
    QApplication::processEvents();
    EXPECT_GE(std::min(m_sky->width(), m_sky->height()), 120);
    const QImage image = m_sky->grab().toImage();
    EXPECT_FALSE(image.isNull());
}

TEST_F(UpcomingPassesWindow, RotorMarksPointWhereTheAntennaLooks)
{
    // The rotor's own angles (an overlap plan's azimuth past 360, a flip
    // plan's elevation past 90) are marked where the antenna looks.
    const struct {
        QPointF rotor;
        QPointF sky;
        const char* why;
    } table[] = {
        { { 123, 45 }, { 123, 45 }, "normal plan: as sent" },
        { { 372, 20 }, { 12, 20 }, "overlap past north: the same bearing" },
        { { 190, 137 }, { 10, 43 }, "flip: az + 180, 180 - el" },
        { { 350, 180 }, { 170, 0 }, "flip to the far horizon" },
        { { -10, 5 }, { 350, 5 }, "below 0 on a rotor that starts there" },
    };
    for (const auto& row : table) {
        m_sky->SetRotor(row.rotor);
        m_sky->SetReportedRotor(row.rotor);
        ASSERT_TRUE(m_sky->Rotor()) << row.why;
        EXPECT_NEAR(m_sky->Rotor()->x(), row.sky.x(), 1e-9) << row.why;
        EXPECT_NEAR(m_sky->Rotor()->y(), row.sky.y(), 1e-9) << row.why;
        EXPECT_EQ(m_sky->ReportedRotor(), m_sky->Rotor()) << row.why;
    }
    m_sky->SetReportedRotor(std::nullopt);
    EXPECT_FALSE(m_sky->ReportedRotor());
}

TEST_F(UpcomingPassesWindow, AlarmBeforeAosAtAosAndAtLos)
{
    auto* alarm = m_window.findChild<QCheckBox*>(QStringLiteral("AlarmAos"));
    auto* minutesBox = m_window.findChild<QSpinBox*>(QStringLiteral("AlarmMinutes"));
    ASSERT_NE(alarm, nullptr);
    ASSERT_NE(minutesBox, nullptr);
    auto* combo = m_window.findChild<QComboBox*>(QStringLiteral("Combo1"));
    const int issIndex = combo->findText(QStringLiteral("ISS (ZARYA)"));
    combo->setCurrentIndex(issIndex);
    emit combo->activated(issIndex);
    minutesBox->setValue(5);
    alarm->setChecked(true);

    QStringList alarms;
    QObject::connect(&m_log, &EventLog::lineAdded, [&](const QString& line) {
        if (line.contains(QStringLiteral("alarm")))
            alarms << line;
    });
    // AOS 12:18:53, LOS 12:29:52: one tick a second through the pass.
    for (sys_seconds t = Noon + 13min; t <= Noon + 30min + 2s; t += 1s) {
        m_clock.Set(t);
        m_tracker.TrackingTick();
    }
    ASSERT_EQ(alarms.size(), 3) << alarms.join(" | ").toStdString();
    EXPECT_TRUE(alarms[0].contains(QStringLiteral("AOS in 5 min: ISS (ZARYA)")));
    EXPECT_TRUE(alarms[0].contains(QStringLiteral("12:13:53"))) << alarms[0].toStdString();
    EXPECT_TRUE(alarms[1].contains(QStringLiteral("AOS: ISS (ZARYA)")));
    EXPECT_TRUE(alarms[1].contains(QStringLiteral("12:18:53"))) << alarms[1].toStdString();
    EXPECT_TRUE(alarms[2].contains(QStringLiteral("LOS: ISS (ZARYA)")));
    EXPECT_TRUE(alarms[2].contains(QStringLiteral("12:29:52"))) << alarms[2].toStdString();
}

TEST_F(UpcomingPassesWindow, WorldMapShowsTheSatelliteAndItsDotsChoose)
{
    m_map->Dock()->show();
    InFront(m_map->Dock());
    m_map->AllSatellitesBox()->setChecked(true);
    m_tracker.TrackingTick(); // the state at noon, and the map drawn from it
    const GroundMapScene& scene = m_map->Map()->Scene();
    ASSERT_TRUE(scene.Satellite);
    // Plan13's panel and the map's WGS-84 normal differ by hundredths.
    EXPECT_NEAR(scene.Satellite->Latitude, m_tracker.State().SubSatLat, 0.05);
    EXPECT_NEAR(scene.Satellite->Longitude, m_tracker.State().SubSatLon, 0.05);
    EXPECT_EQ(scene.SatelliteName, m_window.Controls().Satellites->currentText());
    EXPECT_FALSE(scene.Footprint.empty() || scene.PastTrack.empty() || scene.FutureTrack.empty());

    // Every other satellite of the upcoming passes; a click on one chooses
    // it as Combo1 does.
    ASSERT_FALSE(scene.Others.empty());
    const MapSatellite other = scene.Others.back();
    EXPECT_NE(other.Index, m_tracker.SelectedIndex());
    QTest::mouseClick(
        m_map->Map(), Qt::LeftButton, {}, m_map->Map()->Project(other.Where).toPoint());
    EXPECT_EQ(m_window.Controls().Satellites->currentIndex(), other.Index);
    m_map->Show(Noon + 1s);
    EXPECT_EQ(m_map->Map()->Scene().SatelliteName, other.Name);
}

} // namespace
} // namespace aostrack
