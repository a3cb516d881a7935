#pragma once
// What the window and the terminal view show of the tracking session: the
// data panel's fields, the countdown, the pass list lines, the pass plot's
// duration and the station text, in the regional format (QLocale() at the
// time of each text). It listens to the session's numbers and announces the
// texts; it computes nothing of the orbit and drives no device.
#include "core/DataPanel.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>
#include <vector>

namespace aostrack {

class TrackingSession;

// The pass the plot shows: the session's track of the next pass and its
// length in minutes.
struct PassPlotData {
    std::optional<std::chrono::sys_seconds> AosTime;
    std::optional<std::chrono::sys_seconds> LosTime;
    std::vector<double> Elevations;
    // Label19: D / 60 in "0.0" and " min" ("12,0 min" in German); empty without a pass.
    QString DurationText;

    // D, whole seconds from AOS to LOS; 0 without a pass.
    long long DurationSeconds() const;
    bool operator==(const PassPlotData&) const = default;
};

class TrackingTexts : public QObject {
    Q_OBJECT
public:
    // Announces the texts of session from now on; the session outlives it.
    explicit TrackingTexts(const TrackingSession& session, QObject* parent = nullptr);

    const DataPanelTexts& Panel() const { return m_panel; }
    const PassPlotData& Plot() const { return m_plot; }
    const QStringList& PassListLines() const { return m_passLines; }
    QString CountdownText() const { return m_countdown; }
    QString QthText() const;

    // "Time to AOS: " / "Time to LOS: " and the count; "--:--:--" without a pass.
    static QString CountdownText(double satElevation, std::chrono::sys_seconds now,
        std::optional<std::chrono::sys_seconds> aosTime,
        std::optional<std::chrono::sys_seconds> losTime);

signals:
    void qthTextChanged(const QString& text); // Label5
    // The end of start-up shows the tuned frequency (Text3, "0.000") and the
    // offset (Text4, "0.00").
    void frequencyTextsChanged(const QString& tunedText, const QString& offsetText);
    void panelChanged(const aostrack::DataPanelTexts& texts);
    void countdownChanged(const QString& text); // Label8
    void passChanged(const aostrack::PassPlotData& plot); // Picture1, Label19
    void passListChanged(const QStringList& lines); // List1

private:
    void ShowState(std::chrono::sys_seconds now);
    void ShowRefusal(std::chrono::sys_seconds now);
    void ClearPanel();
    void ShowCountdown();
    void ShowPass();
    void ShowPassList();
    void ShowFrequency();

    const TrackingSession& m_session;
    DataPanelTexts m_panel;
    DataPanelMemory m_panelMemory;
    PassPlotData m_plot;
    QStringList m_passLines;
    QString m_countdown;
};

} // namespace aostrack

Q_DECLARE_METATYPE(aostrack::PassPlotData)
