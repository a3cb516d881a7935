// The example station in the window: start-up, a satellite chosen in Combo1,
// "track" ticked and one tick of the tracker, down to the SetHWLO call.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <cmath>

#include "RadioTestSupport.h"
#include "core/TrackingSession.h"
#include "core/TrackingTexts.h"
#include "ui/Dialogs.h"
#include "ui/FrequencyWindow.h"
#include "ui/MainWindow.h"
#include "ui/ReceiverBinding.h"
#include "ui/TrackerView.h"

namespace aostrack {
namespace {

class NoFile : public FileChooser {
public:
    QString ChooseFile(QWidget*, const QString&, const QString&) override { return {}; }
};

constexpr double kSpeedOfLightKmS = 299792.458;

class StationFrequencyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : { "sat.ini", "amateur.csv", "doppler.sql" })
            ASSERT_TRUE(
                QFile::copy(QStringLiteral(AOSTRACK_SOURCE_DIR "/examples/") + QLatin1String(name),
                    m_dir.filePath(QLatin1String(name))))
                << name;
        m_receiver.SetLocale(QLocale::c());
        m_receiver.SetDopplerFileSource([this] { return m_tracker.Config().DopplerFileName; });
        BindTracker(m_tracker, m_texts, m_window);
        BindReceiverControls(m_receiver, m_window.Controls(), &m_form6);
        m_tracker.SetLinks(&m_receiver, nullptr, nullptr);
        m_receiver.BeginStartup();
        m_tracker.Startup(m_dir.path());
        m_receiver.FinishStartup();
        m_tracker.TickTimer().stop();
    }
    void Choose(const QString& name)
    {
        const int index = m_tracker.SatelliteNames().indexOf(name);
        ASSERT_GE(index, 0) << name.toStdString();
        // As the operator's pick in the list arrives.
        auto* combo = m_window.findChild<QComboBox*>(QStringLiteral("Combo1"));
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        ASSERT_EQ(m_tracker.SelectedIndex(), index);
    }
    QString Text(const char* name)
    {
        return m_window.findChild<QLineEdit*>(QLatin1String(name))->text();
    }

    QTemporaryDir m_dir;
    FakeClock m_clock { std::chrono::sys_days { std::chrono::year { 2026 } / 9 / 21 }
        + std::chrono::hours { 12 } };
    EventLog m_log { m_clock };
    TrackingSession m_tracker { m_clock, m_log };
    TrackingTexts m_texts { m_tracker };
    test::RecordingLibrary m_library;
    ReceiverController m_receiver { m_tracker.Frequency(), m_log, m_library };
    NoFile m_noFile;
    MainWindow m_window { m_noFile };
    FrequencyWindow m_form6 { m_receiver, &m_window };
};

TEST_F(StationFrequencyTest, IssDownlinkIsTunedWithItsDoppler)
{
    Choose(m_tracker.SatelliteNames().filter(QStringLiteral("ISS (ZARYA)")).value(0));
    EXPECT_EQ(Text("Text3"), QStringLiteral(" 145800 kHz"));
    EXPECT_EQ(
        m_window.findChild<QLabel*>(QStringLiteral("Label16"))->text(), QStringLiteral("FM voice"));

    m_window.findChild<QCheckBox*>(QStringLiteral("Check2"))->click();
    m_tracker.TrackingTick();
    // The downlink as received: 145800 kHz less 145800 * v / c.
    const double rangeRate = m_tracker.State().RangeRate;
    const double expectedHz = (145800 - 145800 * rangeRate / kSpeedOfLightKmS) * 1000;
    ASSERT_EQ(m_library.Calls.size(), 2);
    EXPECT_EQ(m_library.Calls[0], QStringLiteral("OpenForm(-1)"));
    const int32_t sentHz = m_library.Calls[1].mid(8).chopped(1).toInt();
    EXPECT_NEAR(sentHz, expectedHz, 0.5 + 1e-6); // Text2 carries whole Hz
    EXPECT_EQ(QString::number(sentHz), Text("Text2").remove(u'.'));
    EXPECT_GT(std::abs(sentHz - 145800000), 100); // a satellite in low orbit is never at rest
}

TEST_F(StationFrequencyTest, GeostationaryBeaconAboveTheTuningRange)
{
    Choose(m_tracker.SatelliteNames().filter(QStringLiteral("ES'HAIL 2")).value(0));
    EXPECT_EQ(Text("Text3"), QStringLiteral(" 10489500 kHz"));
    m_window.findChild<QCheckBox*>(QStringLiteral("Check2"))->click();
    m_tracker.TrackingTick();
    EXPECT_EQ(m_library.Calls, QStringList { QStringLiteral("OpenForm(-1)") });
}

TEST_F(StationFrequencyTest, SatelliteWithoutRowsIsNotTuned)
{
    Choose(m_tracker.SatelliteNames().filter(QStringLiteral("AO-10")).value(0));
    EXPECT_EQ(Text("Text3"), QString());
    m_window.findChild<QCheckBox*>(QStringLiteral("Check2"))->click();
    m_tracker.TrackingTick();
    EXPECT_EQ(Text("Text2"), QString());
    EXPECT_EQ(m_library.Calls, QStringList { QStringLiteral("OpenForm(-1)") });
}

} // namespace
} // namespace aostrack
