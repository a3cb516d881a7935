#include "core/DataPanel.h"

#include "core/NumberText.h"
#include "orbit/TimeAngle.h"
#include "orbit/TimeText.h"

#include <QDate>
#include <cmath>

namespace aostrack {

namespace {

const QString kDegree = QStringLiteral("\u00B0");

QString Degrees(double value, const QLocale& locale)
{
    return FormatPattern(value, QStringLiteral("0.00"), locale) + kDegree;
}

// "2.50°W  (-02°29' 59")": the hemisphere from the sign, the sexagesimal text signed.
QString Coordinate(double value, QChar negative, QChar positive, const QLocale& locale)
{
    return Degrees(std::fabs(value), locale) + (value < 0 ? negative : positive)
        + QStringLiteral("  (") + QString::fromStdString(FormatDms(value)) + QLatin1Char(')');
}

// The fields that follow the clock and the set, not the satellite.
void FillClockFields(DataPanelTexts& texts, double dayFraction, double tleEpoch,
    std::chrono::sys_seconds utcNow, DataPanelMemory& memory, const QLocale& locale)
{
    texts.Time = QString::fromStdString(FormatHms(24 * dayFraction)) + QStringLiteral(" UTC");
    const auto day = std::chrono::floor<std::chrono::days>(utcNow);
    const std::chrono::year_month_day ymd(day);
    const QDate date(static_cast<int>(ymd.year()),
        static_cast<int>(static_cast<unsigned>(ymd.month())),
        static_cast<int>(static_cast<unsigned>(ymd.day())));
    texts.Date = locale.toString(date, QStringLiteral("dddd, yyyy MMMM dd"));
    texts.Epoch
        = FormatPattern(DayOfYear(ymd) + dayFraction, QStringLiteral("000.00000000"), locale);

    memory.TleAgeDays = TleAgeDays(utcNow, tleEpoch);
    texts.TleAge = TleAgeText(memory.TleAgeDays, locale);
    texts.TleTooOld = memory.TleAgeDays > TleMaxAgeDays;
}

} // namespace

std::vector<std::pair<int, QString>> DataPanelTexts::Text1Fields() const
{
    return { { 0, Time }, { 1, MaValue }, { 2, Azimuth }, { 3, Elevation }, { 4, SatLong },
        { 5, SatLat }, { 6, Distance }, { 7, Height }, { 8, OrbitNumber }, { 9, SunAngle },
        { 10, Illumination }, { 21, Loss }, { 22, DopplerShift }, { 25, Info }, { 28, Date },
        { 29, Epoch } };
}

double DopplerShiftKHz(double tunedFreqKHz, double rangeRateKmS)
{
    return -tunedFreqKHz * rangeRateKmS / SpeedOfLightKmS;
}

double DopplerCorrectedKHz(double tunedFreqKHz, double rangeRateKmS)
{
    return tunedFreqKHz + DopplerShiftKHz(tunedFreqKHz, rangeRateKmS);
}

CentreTuning TuningAsShown(double correctedKHz, const QLocale& locale)
{
    if (!std::isfinite(correctedKHz))
        return {};
    // Far beyond any receiver: out of range however it is read.
    if (std::fabs(correctedKHz) >= 1e12)
        return { correctedKHz, correctedKHz * 1000 };
    const double shown = RoundAsShown(correctedKHz, 3);
    const QString point = locale.decimalPoint();
    const bool fullStop = point == QLatin1String(".");
    // A decimal comma was turned into a full stop before the tuning read
    // the text; any other separator still cut it to whole kHz.
    const bool comma = point == QLatin1String(",");
    CentreTuning tuning;
    tuning.RangeKHz = fullStop ? RoundHalfEven(shown) : std::trunc(shown);
    tuning.FreqHz = RoundHalfEven((fullStop || comma ? shown : std::trunc(shown)) * 1000);
    return tuning;
}

double TleAgeDays(std::chrono::sys_seconds utcNow, double tleEpoch)
{
    const auto day = std::chrono::floor<std::chrono::days>(utcNow);
    const std::chrono::year_month_day date(day);
    const double dayFraction = static_cast<double>((utcNow - day).count()) / 86400.0;
    const double nowDayNumber
        = DayNumber(static_cast<int>(static_cast<unsigned>(date.day())),
              static_cast<int>(static_cast<unsigned>(date.month())), static_cast<int>(date.year()))
        + dayFraction;
    return nowDayNumber - EpochDayNumber(tleEpoch);
}

QString TleAgeText(double ageDays, const QLocale& locale)
{
    if (ageDays > TleMaxAgeDays)
        return QStringLiteral("TLE's are too old");
    return QStringLiteral("TLE's are ") + FormatPattern(ageDays, QStringLiteral("0.0"), locale)
        + QStringLiteral(" days old");
}

DataPanelTexts RefreshDataPanel(const SatelliteState& state, double tleEpoch,
    const FrequencyState& frequency, std::chrono::sys_seconds utcNow, DataPanelMemory& memory,
    const QLocale& locale)
{
    DataPanelTexts texts;
    texts.MaValue = QString::number(state.MAPhase) + QStringLiteral("  (")
        + Degrees(state.MeanAnomaly, locale) + QLatin1Char(')');
    texts.AboveHorizon = state.SatElevation > 0;
    texts.Azimuth = Degrees(state.SatAzimuth, locale);
    texts.Elevation = Degrees(state.SatElevation, locale);
    texts.SatLong = Coordinate(state.SubSatLon, QLatin1Char('W'), QLatin1Char('E'), locale);
    texts.SatLat = Coordinate(state.SubSatLat, QLatin1Char('S'), QLatin1Char('N'), locale);
    texts.Distance = FormatPattern(state.SatRange, QStringLiteral("0.000 km"), locale);
    texts.Height = FormatPattern(state.SatHeight, QStringLiteral("0.000 km"), locale);
    texts.OrbitNumber = QString::number(state.OrbitNumber);
    texts.SunAngle = Degrees(state.SunAngle, locale);
    texts.Illumination = FormatPattern(state.Illumination, QStringLiteral("0.0 %"), locale);
    texts.Loss = FormatPattern(state.PathLoss, QStringLiteral("0.00 dB"), locale);

    // The shift shown is the one of the previous tick; the receiver is tuned
    // with the one computed now.
    texts.DopplerShift
        = FormatPattern(memory.DopplerShift * 1000, QStringLiteral("0.00 Hz"), locale);
    memory.DopplerShift = DopplerShiftKHz(frequency.TunedFreq, state.RangeRate);
    memory.CorrectedFreq = DopplerCorrectedKHz(frequency.TunedFreq, state.RangeRate);
    if (frequency.NominalFreq > 0)
        texts.CentreFreq = FormatPattern(memory.CorrectedFreq, QStringLiteral("0.000"), locale);

    texts.Info = QString::fromUtf8(
        state.IlluminationText.data(), static_cast<qsizetype>(state.IlluminationText.size()));

    FillClockFields(texts, state.DayFraction, tleEpoch, utcNow, memory, locale);
    return texts;
}

DataPanelTexts RefusedDataPanel(const QString& refusal, double tleEpoch,
    std::chrono::sys_seconds utcNow, DataPanelMemory& memory, const QLocale& locale)
{
    DataPanelTexts texts;
    const auto day = std::chrono::floor<std::chrono::days>(utcNow);
    FillClockFields(texts, static_cast<double>((utcNow - day).count()) / 86400.0, tleEpoch, utcNow,
        memory, locale);
    texts.Info = refusal;
    memory.DopplerShift = 0;
    memory.CorrectedFreq = 0;
    return texts;
}

} // namespace aostrack
