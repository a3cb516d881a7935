#include "radio/ReceiverController.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/Configuration.h"
#include "core/DataPanel.h"
#include "core/EventLog.h"
#include "core/FrequencyState.h"
#include "core/NumberText.h"
#include "radio/FrequencyDatabase.h"
#include "radio/ReceiverLibrary.h"

namespace aostrack {

namespace {

// The receiver is only tuned to plausible downlinks: 50 MHz to 2.5 GHz.
constexpr double kLowestTuneKHz = 50000;
constexpr double kHighestTuneKHz = 2500000;
// SetHWLO carries a signed 32-bit number of Hz.
constexpr double kLargestHz = std::numeric_limits<int32_t>::max();
// "OpenForm" argument the library has always been opened with.
constexpr int kOpenFormMode = -1;
// The offset the slider can show, kHz.
constexpr double kSliderRangeKHz = 10;

// Step buttons Command1 0..5: the offset change in kHz.
constexpr double kStepKHz[] = { 1, 0.1, 0.01, -1, -0.1, -0.01 };
constexpr int kResetButton = 6;

QString KHzText(double kHz)
{
    return FormatPlain(kHz) + QStringLiteral(" kHz");
}

} // namespace

ReceiverController::ReceiverController(
    FrequencyState& state, EventLog& log, ReceiverLibrary& library, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_log(log)
    , m_library(library)
{
}

void ReceiverController::Log(const QString& text)
{
    m_log.LogEvent(text, true);
}

void ReceiverController::LogLibraryStatus()
{
    // The library speaks only when its link changes (connected, lost,
    // refused); every change is worth one line, the repeats are not.
    const QString status = m_library.Status();
    if (status.isEmpty() || status == m_libraryStatus)
        return;
    m_libraryStatus = status;
    Log(QStringLiteral(": receiver: ") + status);
}

void ReceiverController::FinishStartup()
{
    m_inStartup = false;
    m_frame.TunedFreqText = FormatPattern(m_state.TunedFreq, QStringLiteral("0.000"), m_locale);
    m_frame.OffsetText = FormatPattern(m_state.FreqOffset, QStringLiteral("0.00"), m_locale);
    emit frameChanged();
}

void ReceiverController::ReportSkipped(
    const QString& path, int lineNumber, const QString& line, const QString& reason)
{
    // The file is read again at every satellite choice; a bad line is worth
    // one log line per run, not one per click.
    const QString key = path + u'\n' + QString::number(lineNumber) + u'\n' + line;
    if (m_reported.contains(key))
        return;
    m_reported.insert(key);
    Log(QStringLiteral(": %1 line %2 skipped: %3").arg(path).arg(lineNumber).arg(reason));
}

void ReceiverController::LoadFrequencyList(const QString& satName)
{
    m_rows.clear();
    // A new satellite starts without offset; the slider stays where it is
    // until it is moved or "reset" is pressed.
    m_state.FreqOffset = 0;
    m_frame.OffsetText = FormatPlain(0);

    const QString path = DopplerFile();
    const FrequencyRows read = ReadFrequencyRows(path, satName, m_locale);
    if (!read.Opened) {
        // Start-up decides whether a station without DOPPLERFILE may run;
        // when it does, the receiver simply has no frequencies.
        if (m_inStartup && !path.isEmpty()) {
            throw StartupError(
                QStringLiteral("doppler.sql file %1 cannot be read: %2").arg(path, read.OpenError));
        }
        // Without the file the satellite simply has no rows; say so once.
        const QString message = path.isEmpty()
            ? QStringLiteral(": no doppler.sql file given, the receiver has no frequencies")
            : QStringLiteral(": doppler.sql file %1 cannot be read: %2").arg(path, read.OpenError);
        if (message != m_lastOpenError) {
            Log(message);
            m_lastOpenError = message;
        }
    } else {
        m_lastOpenError.clear();
        for (const SkippedFrequencyLine& skipped : read.Skipped)
            ReportSkipped(path, skipped.LineNumber, skipped.Line, skipped.Reason);
    }

    m_rows = read.Rows;
    const Result<FrequencyRowFields> first = m_rows.isEmpty()
        ? Result<FrequencyRowFields>(Failure { QStringLiteral("no frequency row") })
        : ParseFrequencyRow(m_rows.first(), m_locale);
    if (first) {
        m_state.NominalFreq = first->FreqKHz;
        m_state.FreqNote = first->Note;
        m_state.TunedFreq = m_state.NominalFreq;
        m_frame.RowNote = first->Note;
        m_frame.TunedFreqText = KHzText(m_state.TunedFreq);
        m_frame.StepButtonsEnabled = true;
    } else {
        // TunedFreq keeps its value; without a nominal frequency the centre
        // display stays empty and nothing is tuned.
        m_state.NominalFreq = 0;
        m_state.FreqNote.clear();
        m_frame.RowNote.clear();
        m_frame.TunedFreqText.clear();
        m_frame.StepButtonsEnabled = false;
    }
    emit rowsChanged();
    emit frameChanged();
}

void ReceiverController::SetSlider(int value)
{
    value = std::clamp(value, kSliderMin, kSliderMax);
    m_frame.SliderValue = value;
    m_state.FreqOffset = static_cast<float>(value / 100.0);
    m_state.TunedFreq = static_cast<double>(m_state.FreqOffset) + m_state.NominalFreq;
    ShowSteppedTexts();
}

void ReceiverController::ShowSteppedTexts()
{
    m_frame.TunedFreqText = FormatPattern(m_state.TunedFreq, QStringLiteral("0.000"), m_locale);
    m_frame.OffsetText = FormatPattern(m_state.FreqOffset, QStringLiteral("0.00"), m_locale);
}

void ReceiverController::SliderChanged(int value)
{
    SetSlider(value);
    emit frameChanged();
}

void ReceiverController::StepClicked(int index)
{
    if (index >= 0 && index < kResetButton) {
        if (!m_frame.StepButtonsEnabled)
            return;
        const double stepKHz = kStepKHz[index];
        m_state.TunedFreq += stepKHz;
        m_state.FreqOffset = static_cast<float>(static_cast<double>(m_state.FreqOffset) + stepKHz);
    } else if (index == kResetButton) {
        m_state.TunedFreq = m_state.NominalFreq;
        m_state.FreqOffset = 0;
        if (m_frame.SliderValue != 0)
            SetSlider(0);
    } else {
        return;
    }
    // The slider follows while the offset fits on it; moving it recomputes
    // the tuned frequency from the slider, as a drag would. Beyond +-10 kHz it
    // stays put and the stepped frequency stands.
    const double offset = m_state.FreqOffset;
    if (offset >= -kSliderRangeKHz && offset <= kSliderRangeKHz) {
        const int position = static_cast<int>(RoundHalfEven(offset * 100));
        if (position != m_frame.SliderValue)
            SetSlider(position);
    }
    ShowSteppedTexts();
    emit frameChanged();
}

void ReceiverController::SetTracking(bool ticked)
{
    if (ticked == m_frame.Tracking)
        return;
    if (ticked) {
        if (!m_library.IsLoaded()) {
            if (const Result<void> loaded = m_library.Load(); !loaded) {
                Log(QStringLiteral(": receiver library not found: ") + loaded.Error());
                m_frame.Tracking = false;
                emit frameChanged();
                return;
            }
            Log(QStringLiteral(": receiver library loaded: ") + m_library.Location());
        }
        m_library.OpenForm(kOpenFormMode);
        m_frame.Tracking = true;
        LogLibraryStatus();
    } else {
        m_library.HideGUI();
        m_frame.Tracking = false;
        m_tooHighNoted = false;
        m_libraryStatus.clear();
    }
    emit frameChanged();
}

void ReceiverController::TuneReceiver(double correctedKHz)
{
    if (!m_frame.Tracking)
        return;
    // Without a nominal frequency the centre display is empty: nothing to follow.
    if (m_state.NominalFreq <= 0)
        return;
    // A converter between the antenna and the receiver (RIG_RX_LO_HZ): the
    // receiver is tuned to the dial, and its range is checked there.
    const double loKHz = m_receiveLoSource ? m_receiveLoSource() / 1000 : 0;
    const CentreTuning tuning = TuningAsShown(correctedKHz, m_locale);
    const double rangeKHz = RoundHalfEven(tuning.RangeKHz - loKHz);
    if (rangeKHz < kLowestTuneKHz || rangeKHz > kHighestTuneKHz)
        return;

    const QString shown = FormatPattern(correctedKHz, QStringLiteral("0.000"), QLocale::c());
    if (m_locale.decimalPoint() == QLatin1String(","))
        emit centreTextRewritten(shown);

    const double freqHz = RoundHalfEven(tuning.FreqHz - loKHz * 1000);
    if (freqHz > kLargestHz) {
        // Above 2.147 GHz the library's 32-bit argument cannot carry it.
        if (!m_tooHighNoted) {
            Log(QStringLiteral(": receiver not tuned: %1 kHz is above the 2147483.647 kHz "
                               "the receiver library can take")
                    .arg(shown));
            m_tooHighNoted = true;
        }
        return;
    }
    m_tooHighNoted = false;
    m_lastTunedHz = static_cast<int32_t>(freqHz);
    m_library.SetHWLO(*m_lastTunedHz);
    LogLibraryStatus();
}

Result<void> ReceiverController::ApplyFrequencyChoice(int selectedRow, const QString& typedKHz)
{
    std::optional<FrequencyRowFields> row;
    if (selectedRow >= 0 && selectedRow < m_rows.size() && !m_rows.at(selectedRow).isEmpty()) {
        const Result<FrequencyRowFields> parsed
            = ParseFrequencyRow(m_rows.at(selectedRow), m_locale);
        if (!parsed)
            return Failure {
                QStringLiteral("The selected row cannot be used: %1.").arg(parsed.Error())
            };
        row = parsed.Value();
    }
    std::optional<double> typed;
    if (!typedKHz.trimmed().isEmpty()) {
        typed = ReadStrict(typedKHz.trimmed(), m_locale);
        if (!typed || !std::isfinite(*typed))
            return Failure {
                QStringLiteral("\"%1\" is not a frequency in kHz.").arg(typedKHz.trimmed())
            };
    }
    if (row) {
        m_state.NominalFreq = row->FreqKHz;
        m_state.TunedFreq = m_state.NominalFreq;
        m_frame.TunedFreqText = KHzText(m_state.TunedFreq);
        m_state.FreqNote = row->Note;
        m_frame.RowNote = row->Note;
    }
    // A typed downlink wins over the row's frequency; the row's note stays.
    if (typed) {
        m_state.NominalFreq = *typed;
        m_state.TunedFreq = m_state.NominalFreq;
        m_frame.TunedFreqText = KHzText(m_state.TunedFreq);
    }
    if (row || typed)
        emit frameChanged();
    return {};
}

} // namespace aostrack
