// The world map in the real main window after a whole start-up on a fake
// clock (the example station over Munich, 2024-02-12 12:00 UTC): the
// selected satellite where the engine puts it, and a click on another
// satellite's dot choosing it as Combo1 does.
#include "FakeClock.h"
#include "TestFiles.h"

#include "core/PassOverview.h"
#include "core/StationSession.h"
#include "core/Tracker.h"
#include "ui/Dialogs.h"
#include "ui/GroundMap.h"
#include "ui/GroundMapBinding.h"
#include "ui/MainWindow.h"
#include "ui/PassOverviewBinding.h"
#include "ui/StationView.h"
#include "ui/UpcomingPassesDock.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using namespace std::chrono;

const sys_seconds Noon = sys_days(year(2024) / February / 12) + hours(12);

class NoFile : public FileChooser {
public:
    QString ChooseFile(QWidget*, const QString&, const QString&) override { return {}; }
};
class NoBox : public MessageSink {
public:
    void Warn(const QString&, const QString&) override { }
};

class GroundMapWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        ASSERT_TRUE(m_dir.isValid());
        WriteTestFile(m_dir.filePath("sat.ini"),
            "TLEFILE=amateur.txt\r\nDOPPLERFILE=doppler.sql\r\n"
            "QTH_LAT=48.1371\r\nQTH_LONG=11.5754\r\nQTH_HEIGHT=0.519\r\n");
        WriteTestFile(m_dir.filePath("doppler.sql"), ";key,down,up,mode,tone,remark\r\n");
        ASSERT_TRUE(QFile::copy(QStringLiteral(AOSTRACK_SOURCE_DIR "/examples/amateur.txt"),
            m_dir.filePath("amateur.txt")));
        BindStation(m_station, m_window, nullptr);
        m_passes
            = new PassOverviewBinding(m_tracker, m_window, m_overview, m_clock, m_station.Log());
        m_map = new GroundMapBinding(m_tracker, m_window, m_overview, m_passes->Dock());
        ASSERT_EQ(StartStation(m_station, m_window, m_dir.path(), m_sink), 0);
        m_tracker.TickTimer().stop();
        m_overview.WaitForIdle();
        m_map->Dock()->show();
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    }

    QTemporaryDir m_dir;
    FakeClock m_clock { Noon };
    StationSession m_station { m_clock, { .RotorLink = false, .ClockSync = false } };
    Tracker& m_tracker = m_station.Tracking();
    PassOverview m_overview { m_clock };
    NoFile m_chooser;
    NoBox m_sink;
    MainWindow m_window { m_chooser };
    PassOverviewBinding* m_passes = nullptr;
    GroundMapBinding* m_map = nullptr;
};

TEST_F(GroundMapWindow, SelectedSatelliteTrackAndDotsThatChoose)
{
    m_map->AllSatellitesBox()->setChecked(true);
    m_tracker.TrackingTick(); // the state at Noon; the map is drawn from it
    m_map->Show(Noon);
    const GroundMapScene& scene = m_map->Map()->Scene();
    ASSERT_TRUE(scene.Satellite);
    const SatelliteState& s = m_tracker.State();
    // Plan13's panel and the map's WGS-84 normal differ by hundredths.
    EXPECT_NEAR(scene.Satellite->Latitude, s.SubSatLat, 0.05);
    EXPECT_NEAR(scene.Satellite->Longitude, s.SubSatLon, 0.05);
    EXPECT_EQ(scene.SatelliteName, m_window.Controls().Satellites->currentText());
    EXPECT_FALSE(scene.Footprint.empty());
    EXPECT_FALSE(scene.PastTrack.empty());
    EXPECT_FALSE(scene.FutureTrack.empty());
    ASSERT_TRUE(scene.Station);
    EXPECT_NEAR(scene.Station->Latitude, 48.1371, 1e-9);
    ASSERT_TRUE(scene.Subsolar);

    // Every other satellite of the upcoming passes, once each.
    ASSERT_FALSE(scene.Others.empty());
    const MapSatellite other = scene.Others.back();
    EXPECT_NE(other.Index, m_tracker.SelectedIndex());
    QTest::mouseClick(
        m_map->Map(), Qt::LeftButton, {}, m_map->Map()->Project(other.Where).toPoint());
    EXPECT_EQ(m_tracker.SelectedIndex(), other.Index);
    EXPECT_EQ(m_window.Controls().Satellites->currentIndex(), other.Index);
    m_map->Show(Noon + 1s);
    EXPECT_EQ(m_map->Map()->Scene().SatelliteName, other.Name);
}

} // namespace
} // namespace aostrack
