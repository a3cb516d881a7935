// The frequency state as the operator drives it: satellite choice, offset
// slider and buttons, the "track" switch and the tuning of every tick.
#include <gtest/gtest.h>

#include <limits>

#include <QSignalSpy>
#include <utility>
#include <vector>

#include "RadioTestSupport.h"
#include "core/Configuration.h"

namespace aostrack {
namespace {

using test::kDopplerRows;
using test::Station;
using test::WriteFile;

enum Button { Plus1000, Plus100, Plus10, Minus1000, Minus100, Minus10, Reset };

class ReceiverControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_path = WriteFile(m_dir, QStringLiteral("doppler.sql"), kDopplerRows);
        s.Controller.SetDopplerFile(m_path);
        s.Controller.SetLocale(QLocale::c());
    }
    void Press(Button button, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            s.Controller.StepClicked(button);
    }
    const FrequencyFrame& Frame() const { return s.Controller.Frame(); }

    QTemporaryDir m_dir;
    QString m_path;
    Station s;
};

TEST_F(ReceiverControllerTest, LoadTakesFrequencyAndNoteOfTheFirstRow)
{
    QSignalSpy rows(&s.Controller, &ReceiverController::rowsChanged);
    s.Controller.LoadFrequencyList(QStringLiteral("AO-73"));
    EXPECT_EQ(s.State, (FrequencyState { 145975, 0, 145975, QStringLiteral("USB") }));
    EXPECT_EQ(s.Controller.Rows().size(), 3);
    EXPECT_EQ(s.Controller.SelectedRow(), 0);
    EXPECT_EQ(Frame().TunedFreqText, QStringLiteral(" 145975 kHz"));
    EXPECT_EQ(Frame().OffsetText, QStringLiteral(" 0"));
    EXPECT_EQ(Frame().RowNote, QStringLiteral("USB"));
    EXPECT_TRUE(Frame().StepButtonsEnabled);
    EXPECT_EQ(rows.count(), 1);
    EXPECT_TRUE(s.Log.Lines().isEmpty());
}

TEST_F(ReceiverControllerTest, SatelliteWithoutRowsKeepsTunedFrequency)
{
    s.Controller.LoadFrequencyList(QStringLiteral("SO-50"));
    s.Controller.LoadFrequencyList(QStringLiteral("FO-29"));
    EXPECT_EQ(s.State, (FrequencyState { 0, 0, 436795, QString() }));
    EXPECT_TRUE(s.Controller.Rows().isEmpty());
    EXPECT_EQ(s.Controller.SelectedRow(), -1);
    EXPECT_EQ(Frame().TunedFreqText, QString());
    EXPECT_EQ(Frame().RowNote, QString());
    EXPECT_EQ(Frame().OffsetText, QStringLiteral(" 0"));
    EXPECT_FALSE(Frame().StepButtonsEnabled);
}

TEST_F(ReceiverControllerTest, NewSatelliteResetsOffsetButNotSlider)
{
    s.Controller.LoadFrequencyList(QStringLiteral("AO-7"));
    s.Controller.SliderChanged(-250);
    EXPECT_FLOAT_EQ(s.State.FreqOffset, -2.5f);
    EXPECT_DOUBLE_EQ(s.State.TunedFreq, 145972.5);
    EXPECT_EQ(Frame().TunedFreqText, QStringLiteral("145972.500"));
    EXPECT_EQ(Frame().OffsetText, QStringLiteral("-2.50"));

    s.Controller.LoadFrequencyList(QStringLiteral("SO-50"));
    EXPECT_EQ(s.State, (FrequencyState { 436795, 0, 436795, QStringLiteral("FM") }));
    EXPECT_EQ(Frame().OffsetText, QStringLiteral(" 0"));
    EXPECT_EQ(Frame().SliderValue, -250);
}

TEST_F(ReceiverControllerTest, StepButtonSequences)
{
    // Presses from offset 0 with the slider in the middle (AO-7, 145975 kHz),
    // and the offset, slider, tuned frequency and texts they leave.
    struct Case {
        const char* name;
        std::vector<std::pair<Button, int>> presses;
        float offset;
        int slider;
        double tunedKHz;
        const char* text3;
        const char* text4;
    };
    const Case cases[] = {
        { "five +100", { { Plus100, 5 } }, 0.5f, 50, 145975.5, "145975.500", "0.50" },
        // Beyond +10 kHz the slider stays at its end and the stepped value stands.
        { "eleven +1000", { { Plus1000, 11 } }, 11, 1000, 145986, "145986.000", "11.00" },
        // Back inside the range: the slider is at 1000 already and does not move,
        // so the stepped frequency is not recomputed from it.
        { "eleven +1000, one -1000", { { Plus1000, 11 }, { Minus1000, 1 } }, 10, 1000, 145985,
            "145985.000", "10.00" },
        { "then reset", { { Plus1000, 11 }, { Minus1000, 1 }, { Reset, 1 } }, 0, 0, 145975,
            "145975.000", "0.00" },
        { "three -10", { { Minus10, 3 } }, -0.03f, -3, 145974.97, "145974.970", "-0.03" },
        { "three -10, +10, -100", { { Minus10, 3 }, { Plus10, 1 }, { Minus100, 1 } }, -0.12f, -12,
            145974.88, "145974.880", "-0.12" },
    };
    for (const Case& c : cases) {
        s.Controller.SliderChanged(0);
        s.Controller.LoadFrequencyList(QStringLiteral("AO-7"));
        for (const auto& [button, times] : c.presses)
            Press(button, times);
        EXPECT_FLOAT_EQ(s.State.FreqOffset, c.offset) << c.name;
        EXPECT_EQ(Frame().SliderValue, c.slider) << c.name;
        EXPECT_NEAR(s.State.TunedFreq, c.tunedKHz, 1e-6) << c.name;
        EXPECT_EQ(Frame().TunedFreqText, QString::fromLatin1(c.text3)) << c.name;
        EXPECT_EQ(Frame().OffsetText, QString::fromLatin1(c.text4)) << c.name;
    }
}

TEST_F(ReceiverControllerTest, ResetWorksWhileStepButtonsAreDisabled)
{
    s.Controller.LoadFrequencyList(QStringLiteral("AO-7"));
    s.Controller.SliderChanged(300);
    s.Controller.LoadFrequencyList(QStringLiteral("FO-29"));
    ASSERT_FALSE(Frame().StepButtonsEnabled);
    Press(Plus1000); // disabled: nothing happens
    EXPECT_DOUBLE_EQ(s.State.TunedFreq, 145978);
    Press(Reset);
    EXPECT_EQ(Frame().SliderValue, 0);
    EXPECT_EQ(s.State, (FrequencyState { 0, 0, 0, QString() }));
    EXPECT_EQ(Frame().TunedFreqText, QStringLiteral("0.000"));
    EXPECT_EQ(Frame().OffsetText, QStringLiteral("0.00"));
}

TEST_F(ReceiverControllerTest, GermanSettingsShowDecimalCommas)
{
    s.Controller.SetLocale(QLocale(QLocale::German, QLocale::Germany));
    s.Controller.LoadFrequencyList(QStringLiteral("AO-7"));
    EXPECT_EQ(Frame().TunedFreqText, QStringLiteral(" 145975 kHz"));
    Press(Plus100, 5);
    EXPECT_EQ(Frame().TunedFreqText, QStringLiteral("145975,500"));
    EXPECT_EQ(Frame().OffsetText, QStringLiteral("0,50"));
}

TEST_F(ReceiverControllerTest, FinishStartupShowsPatternTexts)
{
    s.Controller.BeginStartup();
    s.Controller.LoadFrequencyList(QStringLiteral("AO-7"));
    s.Controller.FinishStartup();
    EXPECT_EQ(Frame().TunedFreqText, QStringLiteral("145975.000"));
    EXPECT_EQ(Frame().OffsetText, QStringLiteral("0.00"));
}

TEST_F(ReceiverControllerTest, BadLinesAreLoggedOncePerRun)
{
    const QString path = WriteFile(
        m_dir, QStringLiteral("bad.sql"), "AO-7,145975,432125,USB,LSB\nAO-7,29500,0,CW,0,0\n");
    s.Controller.SetDopplerFile(path);
    s.Controller.LoadFrequencyList(QStringLiteral("AO-7"));
    s.Controller.LoadFrequencyList(QStringLiteral("AO-7"));
    EXPECT_EQ(s.LogTexts(),
        QStringList { QStringLiteral(": %1 line 1 skipped: fewer than six fields").arg(path) });
    EXPECT_DOUBLE_EQ(s.State.NominalFreq, 29500);
}

TEST_F(ReceiverControllerTest, UnreadableFileAfterStartupIsLoggedNotFatal)
{
    const QString missing = m_dir.filePath(QStringLiteral("gone.sql"));
    s.Controller.LoadFrequencyList(QStringLiteral("AO-7"));
    s.Controller.SetDopplerFile(missing);
    EXPECT_NO_THROW(s.Controller.LoadFrequencyList(QStringLiteral("AO-7")));
    EXPECT_NO_THROW(s.Controller.LoadFrequencyList(QStringLiteral("AO-7")));
    EXPECT_EQ(s.LogTexts(),
        QStringList { QStringLiteral(": doppler.sql file %1 cannot be read: "
                                     "No such file or directory")
                          .arg(missing) });
    EXPECT_EQ(s.State.NominalFreq, 0);
    EXPECT_FALSE(Frame().StepButtonsEnabled);
}

TEST_F(ReceiverControllerTest, UnreadableFileDuringStartupThrows)
{
    s.Controller.BeginStartup();
    s.Controller.SetDopplerFile(m_dir.filePath(QStringLiteral("gone.sql")));
    EXPECT_THROW(s.Controller.LoadFrequencyList(QStringLiteral("AO-7")), StartupError);
    // No DOPPLERFILE at all: start-up has let the station run without
    // frequencies (the window stops before this), so it is only logged.
    s.Controller.SetDopplerFile(QString());
    EXPECT_NO_THROW(s.Controller.LoadFrequencyList(QStringLiteral("AO-7")));
    EXPECT_EQ(s.LogTexts().value(0),
        QStringLiteral(": no doppler.sql file given, the receiver has no frequencies"));
}

// --- tuning ---------------------------------------------------------------

class TuneReceiverTest : public ReceiverControllerTest {
protected:
    void SetUp() override
    {
        ReceiverControllerTest::SetUp();
        s.State.NominalFreq = 145975;
        s.Controller.SetTracking(true);
        s.Library.Calls.clear();
    }
    // What one tick with this corrected centre frequency (kHz) sends.
    QStringList Tune(double kHz)
    {
        s.Library.Calls.clear();
        s.Controller.TuneReceiver(kHz);
        return s.Library.Calls;
    }
};

TEST_F(TuneReceiverTest, RangeAndRounding)
{
    // The corrected centre frequency, and the frequency sent in Hz (0: none).
    struct Case {
        double kHz;
        int32_t sentHz;
    };
    const Case cases[] = {
        { 145975.123, 145975123 }, // normal
        // 145975 kHz receding at 5 km/s: -5 * 145975 / 299792.458 = -2.434568 kHz.
        { 145972.565432, 145972565 },
        // Lower bound: the kHz are rounded first, 49999.5 to the even 50000.
        { 49999.499, 0 },
        { 49999.500, 49999500 },
        { 50000.000, 50000000 },
        // Finer than Text2 shows: rounded as it shows them, half away from zero.
        { 145975.1235, 145975124 },
        { 145975.1245, 145975125 },
        { 50000.0005, 50000001 },
        { 50000.0015, 50000002 },
        // Upper bound: what SetHWLO's 32 bits carry, then the range's end.
        { 2147483.647, 2147483647 },
        { 2147483.648, 0 },
        { 2500000.000, 0 },
        { 2500000.500, 0 },
        { 2500001.000, 0 },
        // Not a frequency, and negative.
        { std::numeric_limits<double>::quiet_NaN(), 0 },
        { -145975.000, 0 },
    };
    for (const Case& c : cases) {
        const QStringList expected = c.sentHz == 0
            ? QStringList()
            : QStringList { QStringLiteral("SetHWLO(%1)").arg(c.sentHz) };
        EXPECT_EQ(Tune(c.kHz), expected) << c.kHz;
    }
    // Every tick is sent, unchanged or not.
    EXPECT_EQ(Tune(145975.123), QStringList { QStringLiteral("SetHWLO(145975123)") });
    EXPECT_EQ(s.Controller.LastTunedHz(), 145975123);
    // The excursion above 2.147 GHz is noted once.
    EXPECT_EQ(s.LogTexts().filter(QStringLiteral("receiver not tuned")),
        QStringList { QStringLiteral(": receiver not tuned: 2147483.648 kHz is above the "
                                     "2147483.647 kHz the receiver library can take") });
    // Without a nominal frequency Text2 is empty: nothing is tuned.
    s.State.NominalFreq = 0;
    EXPECT_TRUE(Tune(145975.123).isEmpty());
}

TEST_F(TuneReceiverTest, DecimalCommaReadsWholeKilohertzThenFullStop)
{
    s.Controller.SetLocale(QLocale(QLocale::German, QLocale::Germany));
    QSignalSpy rewritten(&s.Controller, &ReceiverController::centreTextRewritten);
    EXPECT_EQ(Tune(145975.123), QStringList { QStringLiteral("SetHWLO(145975123)") });
    ASSERT_EQ(rewritten.count(), 1);
    EXPECT_EQ(rewritten[0][0].toString(), QStringLiteral("145975.123"));
    // Between 49999 and 50000 kHz the whole part alone is tested, and fails.
    EXPECT_TRUE(Tune(49999.600).isEmpty());
    EXPECT_EQ(Tune(50000.400), QStringList { QStringLiteral("SetHWLO(50000400)") });
    EXPECT_EQ(rewritten.count(), 2);
}

TEST_F(TuneReceiverTest, ClearingTrackStopsTuning)
{
    s.Controller.SetTracking(false);
    EXPECT_EQ(s.Library.Calls, QStringList { QStringLiteral("HideGUI()") });
    EXPECT_TRUE(Tune(145975.000).isEmpty());
    s.Controller.SetTracking(true);
    EXPECT_EQ(s.Library.Calls, QStringList { QStringLiteral("OpenForm(-1)") });
    EXPECT_EQ(s.Library.Loads, 1);
}

TEST_F(ReceiverControllerTest, LibraryThatCannotLoadUnticksTrack)
{
    s.Library.Loadable = false;
    QSignalSpy frame(&s.Controller, &ReceiverController::frameChanged);
    s.Controller.SetTracking(true);
    EXPECT_FALSE(Frame().Tracking);
    EXPECT_EQ(frame.count(), 1);
    EXPECT_TRUE(s.Library.Calls.isEmpty());
    EXPECT_EQ(s.LogTexts(),
        QStringList {
            QStringLiteral(": receiver library not found: ExtIO_FCD_Quillon in /nowhere") });
    s.Controller.TuneReceiver(145975.000);
    EXPECT_TRUE(s.Library.Calls.isEmpty());
    // The next tick of the box tries again.
    s.Library.Loadable = true;
    s.Controller.SetTracking(true);
    EXPECT_TRUE(Frame().Tracking);
    EXPECT_EQ(s.Library.Calls, QStringList { QStringLiteral("OpenForm(-1)") });
    EXPECT_EQ(s.LogTexts().last(),
        QStringLiteral(": receiver library loaded: /test/libExtIO_FCD_Quillon.so"));
}

// --- the frequency window's "OK" --------------------------------------------

TEST_F(ReceiverControllerTest, TypedFrequencyWinsAndRowNoteStays)
{
    s.Controller.LoadFrequencyList(QStringLiteral("AO-73"));
    s.Controller.SliderChanged(120);
    EXPECT_EQ(s.Controller.ApplyFrequencyChoice(2, QStringLiteral(" 29502.5 ")).Error(), QString());
    EXPECT_DOUBLE_EQ(s.State.NominalFreq, 29502.5);
    EXPECT_DOUBLE_EQ(s.State.TunedFreq, 29502.5);
    EXPECT_EQ(s.State.FreqNote, QStringLiteral("CW"));
    EXPECT_EQ(Frame().TunedFreqText, QStringLiteral(" 29502.5 kHz"));
    // The offset and the slider are not touched.
    EXPECT_FLOAT_EQ(s.State.FreqOffset, 1.2f);
    EXPECT_EQ(Frame().OffsetText, QStringLiteral("1.20"));
    EXPECT_EQ(Frame().SliderValue, 120);
}

TEST_F(ReceiverControllerTest, NeitherRowNorTypedChangesNothing)
{
    s.Controller.LoadFrequencyList(QStringLiteral("FO-29"));
    const FrequencyState before = s.State;
    const FrequencyFrame frameBefore = Frame();
    EXPECT_EQ(s.Controller.ApplyFrequencyChoice(-1, QStringLiteral("  ")).Error(), QString());
    EXPECT_EQ(s.State, before);
    EXPECT_EQ(Frame(), frameBefore);
}

TEST_F(ReceiverControllerTest, MalformedTypedFrequencyChangesNothing)
{
    s.Controller.LoadFrequencyList(QStringLiteral("AO-7"));
    const FrequencyState before = s.State;
    EXPECT_EQ(s.Controller.ApplyFrequencyChoice(1, QStringLiteral("145.9 MHz")).Error(),
        QStringLiteral("\"145.9 MHz\" is not a frequency in kHz."));
    EXPECT_EQ(s.State, before);
}

TEST_F(ReceiverControllerTest, TypedFrequencyWithGermanSettings)
{
    s.Controller.SetLocale(QLocale(QLocale::German, QLocale::Germany));
    s.Controller.LoadFrequencyList(QStringLiteral("AO-7"));
    EXPECT_EQ(s.Controller.ApplyFrequencyChoice(0, QStringLiteral("145935,5")).Error(), QString());
    EXPECT_DOUBLE_EQ(s.State.NominalFreq, 145935.5);
    EXPECT_EQ(Frame().TunedFreqText, QStringLiteral(" 145935.5 kHz"));
}

} // namespace
} // namespace aostrack
