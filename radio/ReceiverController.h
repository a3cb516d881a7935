#pragma once
// Receiver control: the frequency rows of the selected satellite, the
// operator's offset (slider and step buttons), the "track" switch and the
// tuning of the receiver at the end of every tick. It owns no widget: the
// texts and states of the frame " Frequency " are kept in FrequencyFrame and
// announced with frameChanged, so the same controller runs in the window and
// headless in the command-line tool.
#include <QLocale>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/Result.h"
#include "core/StationLinks.h"

namespace aostrack {

class EventLog;
class ReceiverLibrary;
struct FrequencyState;

// What the frame " Frequency " shows, apart from the centre display Text2.
struct FrequencyFrame {
    QString TunedFreqText; // Text3: the tuned frequency
    QString OffsetText; // Text4: the operator's offset
    QString RowNote; // Label16: note of the frequency row (the mode)
    bool StepButtonsEnabled = false; // Command1 0..5; "reset" is always enabled
    int SliderValue = 0; // HScroll1, hundredths of a kHz
    bool Tracking = false; // Check2

    bool operator==(const FrequencyFrame&) const = default;
};

class ReceiverController : public QObject, public ReceiverLink {
    Q_OBJECT
public:
    static constexpr int kSliderMin = -1000; // -10 kHz
    static constexpr int kSliderMax = 1000; // +10 kHz

    // state: the tracker's frequency state, written here and read by the data
    // panel every tick. The log and the library outlive the controller.
    ReceiverController(
        FrequencyState& state, EventLog& log, ReceiverLibrary& library, QObject* parent = nullptr);

    // DOPPLERFILE, used as written.
    void SetDopplerFile(const QString& path) { m_dopplerFile = path; }
    // Or asked for at each load, e.g. from the tracker's configuration once
    // start-up has read sat.ini; wins over SetDopplerFile.
    void SetDopplerFileSource(std::function<QString()> source)
    {
        m_dopplerSource = std::move(source);
    }
    // The LO of a converter between the receiver and the antenna (Hz,
    // RIG_RX_LO_HZ): the receiver is tuned to the frequency minus it, and the
    // range check applies to that dial value.
    void SetReceiveLoSource(std::function<double()> source)
    {
        m_receiveLoSource = std::move(source);
    }
    // Regional settings for the numbers shown and typed (QLocale() by default).
    void SetLocale(const QLocale& locale) { m_locale = locale; }

    // Between these two, a frequency file that cannot be read throws
    // StartupError instead of being logged. FinishStartup also shows the
    // tuned frequency ("0.000") and the offset ("0.00") as start-up does.
    void BeginStartup() { m_inStartup = true; }
    void FinishStartup();

    // ReceiverLink. LoadFrequencyList reads the rows of satName, resets the
    // offset to 0 and takes the frequency and note of the first row.
    void LoadFrequencyList(const QString& satName) override;
    // Tunes the receiver to the corrected centre frequency (kHz) as Text2
    // shows it in this controller's locale (TuningAsShown), when "track" is
    // ticked, a nominal frequency is known and it lies in 50000..2500000 kHz.
    void TuneReceiver(double correctedKHz) override;

    // HScroll1 moved by the operator (value in hundredths of a kHz).
    void SliderChanged(int value);
    // Command1 pressed: 0 "+1 kHz", 1 "+100 Hz", 2 "+10 Hz", 3 "-1 kHz",
    // 4 "-100 Hz", 5 "-10 Hz" (steps of the offset), 6 "reset". Other indices
    // do nothing.
    void StepClicked(int index);
    // Check2 ticked or cleared. The first tick loads the library; a library
    // that is missing or incomplete is logged and the box is cleared again.
    void SetTracking(bool ticked);

    // "OK" of the frequency window: the row at selectedRow (-1: none), then a
    // typed downlink in kHz (empty: none), which wins over the row's
    // frequency. A failure gives the reason for the operator; nothing has
    // changed then.
    Result<void> ApplyFrequencyChoice(int selectedRow, const QString& typedKHz);

    const FrequencyFrame& Frame() const { return m_frame; }
    const FrequencyState& State() const { return m_state; }
    // The frequency window's list and its selected entry (-1 when empty).
    const QStringList& Rows() const { return m_rows; }
    int SelectedRow() const { return m_rows.isEmpty() ? -1 : 0; }
    // The frequency last handed to SetHWLO, if any.
    std::optional<int32_t> LastTunedHz() const { return m_lastTunedHz; }

signals:
    void frameChanged();
    void rowsChanged();
    // Text2 with its decimal comma replaced by ".", as it is shown while tuning.
    void centreTextRewritten(const QString& text);

private:
    void ShowSteppedTexts();
    void SetSlider(int value);
    void ReportSkipped(
        const QString& path, int lineNumber, const QString& line, const QString& reason);
    void Log(const QString& text);
    void LogLibraryStatus();
    QString DopplerFile() const { return m_dopplerSource ? m_dopplerSource() : m_dopplerFile; }

    FrequencyState& m_state;
    EventLog& m_log;
    ReceiverLibrary& m_library;
    QLocale m_locale;
    QString m_dopplerFile;
    std::function<QString()> m_dopplerSource;
    std::function<double()> m_receiveLoSource;
    bool m_inStartup = false;

    FrequencyFrame m_frame;
    QStringList m_rows;
    QSet<QString> m_reported; // skipped lines already in the log
    QString m_lastOpenError; // logged once until the file reads again
    bool m_tooHighNoted = false; // "above 2147483647 Hz" logged once per excursion
    QString m_libraryStatus; // the library's news last logged
    std::optional<int32_t> m_lastTunedHz;
};

} // namespace aostrack
