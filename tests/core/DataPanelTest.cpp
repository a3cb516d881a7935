// Data-panel texts from hand-set engine results: patterns, degree sign,
// hemispheres, the one-tick-late Doppler field, the element-set age across a
// year boundary, English and German regional settings.
#include "core/DataPanel.h"

#include "QtPrinters.h"
#include "core/NumberText.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace aostrack;
using namespace std::chrono;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

sys_seconds At(int y, unsigned mo, unsigned d, int h, int mi, int s)
{
    return sys_days(year(y) / month(mo) / day(d)) + hours(h) + minutes(mi) + seconds(s);
}

// 2026-12-07 14:03:27 UTC is day 341 of the year, day fraction 50607/86400.
SatelliteState SampleState()
{
    SatelliteState s;
    s.DayFraction = (14 * 3600 + 3 * 60 + 27) / 86400.0;
    s.MAPhase = 4;
    s.MeanAnomaly = 6.25;
    s.SatAzimuth = 123.456;
    s.SatElevation = 12.345;
    s.SubSatLon = -2.5;
    s.SubSatLat = 48.5;
    s.SatRange = 1234.5678;
    s.SatHeight = 812.0004;
    s.OrbitNumber = 12345;
    s.SunAngle = -33.333;
    s.Illumination = 0.5;
    s.IlluminationText = IlluminationSunlight;
    s.PathLoss = 137.456;
    s.RangeRate = 5;
    return s;
}

FrequencyState Tuned(double kHz)
{
    FrequencyState f;
    f.NominalFreq = kHz;
    f.TunedFreq = kHz;
    return f;
}

} // namespace

TEST(RefreshDataPanel, NormalEnglish)
{
    DataPanelMemory memory;
    const DataPanelTexts t = RefreshDataPanel(
        SampleState(), 26340.5, Tuned(145800), At(2026, 12, 7, 14, 3, 27), memory, kEnglish);
    EXPECT_EQ(t.Time, "14:03:27 UTC");
    EXPECT_EQ(t.MaValue, "4  (6.25\u00B0)");
    EXPECT_TRUE(t.AboveHorizon);
    EXPECT_EQ(t.Azimuth, "123.46\u00B0");
    EXPECT_EQ(t.Elevation, "12.35\u00B0"); // 12.345 rounds half away from zero
    EXPECT_EQ(t.SatLong, "2.50\u00B0W  (-02\u00B029' 59\")");
    EXPECT_EQ(t.SatLat, "48.50\u00B0N  (48\u00B030' 00\")");
    EXPECT_EQ(t.Distance, "1234.568 km");
    EXPECT_EQ(t.Height, "812.000 km");
    EXPECT_EQ(t.OrbitNumber, "12345");
    EXPECT_EQ(t.SunAngle, "-33.33\u00B0");
    EXPECT_EQ(t.Illumination, "50.0 %");
    EXPECT_EQ(t.Loss, "137.46 dB");
    EXPECT_EQ(t.DopplerShift, "0.00 Hz"); // first tick: nothing computed before
    // -145800 * 5 / 299792.458 = -2.43168...kHz; 145800 - 2.43168 = 145797.568
    EXPECT_EQ(t.CentreFreq, "145797.568");
    EXPECT_NEAR(memory.DopplerShift, -2.4316822, 1e-6);
    EXPECT_EQ(t.Info, "satellite in sunlight");
    EXPECT_EQ(t.Date, "Monday, 2026 December 07");
    EXPECT_EQ(t.Epoch, "341.58572917");
    EXPECT_EQ(t.TleAge, "TLE's are 1.1 days old"); // epoch 2026 day 340.5, now day 341.585
    EXPECT_FALSE(t.TleTooOld);
}

TEST(RefreshDataPanel, DopplerShownOneTickLate)
{
    DataPanelMemory memory;
    const sys_seconds now = At(2026, 12, 7, 14, 3, 27);
    RefreshDataPanel(SampleState(), 26340.5, Tuned(145800), now, memory, kEnglish);
    SatelliteState approaching = SampleState();
    approaching.RangeRate = -5;
    const DataPanelTexts second
        = RefreshDataPanel(approaching, 26340.5, Tuned(145800), now, memory, kEnglish);
    EXPECT_EQ(second.DopplerShift, "-2431.68 Hz"); // the receding shift of the first tick
    EXPECT_EQ(second.CentreFreq, "145802.432"); // but tuned with the approaching one
    const DataPanelTexts third
        = RefreshDataPanel(approaching, 26340.5, Tuned(145800), now, memory, kEnglish);
    EXPECT_EQ(third.DopplerShift, "2431.68 Hz");
}

TEST(RefreshDataPanel, NoNominalFrequency)
{
    DataPanelMemory memory;
    FrequencyState offsetOnly;
    offsetOnly.TunedFreq = 145800; // an offset with no database row
    const DataPanelTexts t = RefreshDataPanel(
        SampleState(), 26340.5, offsetOnly, At(2026, 12, 7, 14, 3, 27), memory, kEnglish);
    EXPECT_EQ(t.CentreFreq, "");
    EXPECT_NEAR(memory.CorrectedFreq, 145797.568, 1e-3); // still computed
}

TEST(RefreshDataPanel, HorizonAndHemisphereEdges)
{
    DataPanelMemory memory;
    SatelliteState s = SampleState();
    s.SatElevation = 0;
    s.SubSatLon = 0;
    s.SubSatLat = -0.004;
    s.Illumination = 1;
    const sys_seconds now = At(2026, 12, 7, 23, 59, 59);
    s.DayFraction = 86399 / 86400.0;
    DataPanelTexts t = RefreshDataPanel(s, 26340.5, Tuned(0), now, memory, kEnglish);
    EXPECT_FALSE(t.AboveHorizon);
    EXPECT_EQ(t.SatLong, "0.00\u00B0E  (00\u00B000' 00\")");
    EXPECT_EQ(t.SatLat, "0.00\u00B0S  (00\u00B000' 13\")"); // -0.004 deg: 13 s, no sign
    EXPECT_EQ(t.Illumination, "100.0 %");
    EXPECT_EQ(t.Time, "23:59:59 UTC");

    s.SatElevation = 0.001;
    s.Illumination = 0;
    s.IlluminationText = IlluminationEclipse;
    t = RefreshDataPanel(s, 26340.5, Tuned(0), now, memory, kEnglish);
    EXPECT_TRUE(t.AboveHorizon);
    EXPECT_EQ(t.Illumination, "0.0 %");
    EXPECT_EQ(t.Info, "satellite in eclipse");
}

TEST(RefreshDataPanel, GermanLocale)
{
    const QLocale saved;
    QLocale::setDefault(kGerman);
    DataPanelMemory memory;
    const DataPanelTexts t = RefreshDataPanel(
        SampleState(), 26340.5, Tuned(145800), At(2026, 12, 7, 14, 3, 27), memory);
    QLocale::setDefault(saved);
    EXPECT_EQ(t.Azimuth, "123,46\u00B0");
    EXPECT_EQ(t.SatLong, "2,50\u00B0W  (-02\u00B029' 59\")"); // sexagesimal text has no separator
    EXPECT_EQ(t.Distance, "1234,568 km");
    EXPECT_EQ(t.Illumination, "50,0 %");
    EXPECT_EQ(t.CentreFreq, "145797,568");
    EXPECT_EQ(t.Date, "Montag, 2026 Dezember 07");
    EXPECT_EQ(t.Epoch, "341,58572917");
    EXPECT_EQ(t.TleAge, "TLE's are 1,1 days old");
}

TEST(TleAge, AcrossTheYearBoundary)
{
    // Epoch 2026 day 365.5 (31 December, noon), two days later in January:
    // the YYDDD difference would read 27002.5 - 26365.5 = 637 days.
    EXPECT_DOUBLE_EQ(TleAgeDays(At(2027, 1, 2, 12, 0, 0), 26365.5), 2.0);
    EXPECT_EQ(TleAgeText(TleAgeDays(At(2027, 1, 2, 12, 0, 0), 26365.5), kEnglish),
        "TLE's are 2.0 days old");
    // Leap year: 2024 has a day 366.
    EXPECT_DOUBLE_EQ(TleAgeDays(At(2025, 1, 1, 0, 0, 0), 24366.0), 1.0);
}

TEST(TleAge, SixtyDayLimit)
{
    EXPECT_EQ(TleAgeText(60.0, kEnglish), "TLE's are 60.0 days old");
    EXPECT_EQ(TleAgeText(60.01, kEnglish), "TLE's are too old");
    EXPECT_EQ(TleAgeText(3.44, kEnglish), "TLE's are 3.4 days old");
    EXPECT_DOUBLE_EQ(TleAgeDays(At(2026, 3, 1, 0, 0, 0), 26001.0), 59.0); // Jan 1 + 59 days
}

// The flag the views colour red follows the text exactly: the shipped sets of
// February 2024 seen in December 2026 are too old.
TEST(RefreshDataPanel, TooOldFlagFollowsTheSixtyDayLimit)
{
    const struct {
        double epoch;
        sys_seconds now;
        const char* text;
        bool tooOld;
    } cases[] = {
        { 26281.0, At(2026, 12, 7, 0, 0, 0), "TLE's are 60.0 days old", false }, // day 341 - 60
        { 26280.99, At(2026, 12, 7, 0, 0, 0), "TLE's are too old", true },
        { 24043.00684501, At(2026, 12, 7, 12, 0, 0), "TLE's are too old", true },
    };
    for (const auto& c : cases) {
        DataPanelMemory memory;
        const DataPanelTexts t
            = RefreshDataPanel(SampleState(), c.epoch, Tuned(145800), c.now, memory, kEnglish);
        EXPECT_EQ(t.TleAge, c.text) << c.epoch;
        EXPECT_EQ(t.TleTooOld, c.tooOld) << c.epoch;
    }
}

TEST(DopplerShift, WorkedExample)
{
    // 5 km/s receding at 435 MHz: -435000 * 5 / 299792.458 kHz
    EXPECT_NEAR(DopplerShiftKHz(435000, 5), -7.2550190, 1e-6);
    EXPECT_DOUBLE_EQ(DopplerShiftKHz(145800, 0), 0);
}

namespace {

// How the receiver read Text2 back before it was handed the number: the
// range test on the text as shown, the tuning on it with "," made ".".
std::optional<double> SentByReadingText2(double kHz, const QLocale& locale)
{
    const QString text = FormatPattern(kHz, QStringLiteral("0.000"), locale);
    QString fullStop = text;
    fullStop.replace(u',', u'.');
    const double rangeKHz = RoundHalfEven(ReadLenient(text));
    if (rangeKHz < 50000 || rangeKHz > 2500000)
        return std::nullopt;
    return RoundHalfEven(ReadLenient(fullStop) * 1000);
}

std::optional<double> SentAsShown(double kHz, const QLocale& locale)
{
    const CentreTuning tuning = TuningAsShown(kHz, locale);
    if (tuning.RangeKHz < 50000 || tuning.RangeKHz > 2500000)
        return std::nullopt;
    return tuning.FreqHz;
}

} // namespace

TEST(TuningAsShown, SendsBitForBitWhatReadingText2BackSent)
{
    const QLocale locales[] = { QLocale::c(), kEnglish, kGerman,
        QLocale(QLocale::French, QLocale::France), QLocale(QLocale::Arabic, QLocale::Egypt) };
    std::vector<double> kHz = { 145800, 145797.5684999, 145797.5685, 435099.9995, 49999.4995,
        49999.5, 49999.6, 50000.0005, 145975.0625, 2147483.6475, 2147483.6465, 2500000.4999,
        10489500.25, -145975, 0, 1e13 };
    // Doppler-corrected downlinks as the ticks hand them over.
    for (const double freq : { 29400.0, 145800.0, 435300.0, 1268000.0, 2401000.0 })
        for (double rangeRate = -7.5; rangeRate <= 7.5; rangeRate += 0.0137)
            kHz.push_back(DopplerCorrectedKHz(freq, rangeRate));
    int tuned = 0;
    for (const QLocale& locale : locales) {
        for (const double f : kHz) {
            const std::optional<double> before = SentByReadingText2(f, locale);
            EXPECT_EQ(SentAsShown(f, locale), before) << f << " " << locale.name().toStdString();
            tuned += before.has_value();
        }
    }
    EXPECT_GT(tuned, 4000); // the table reaches the tuning, not only the range test
}
