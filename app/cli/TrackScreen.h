#pragma once
// The full-screen panel of 'aostrack-cli track', laid out for the terminal it
// runs on. An operator on an 80 x 24 SSH session must always see the
// countdown, azimuth, elevation, distance, Doppler shift, the frequency and the
// current pass; the element lines, the details of the panel, the profile, the
// pass list and the event log fill whatever room is left, in that order.
#include "core/DataPanel.h"
#include "core/TrackingTexts.h"

#include <QString>
#include <QStringList>
#include <chrono>

namespace aostrack {

// A terminal smaller than this is drawn as if it had this size (and wraps).
inline constexpr int MinTrackColumns = 40;
inline constexpr int MinTrackRows = 10;

struct TrackScreenInput {
    QString satName;
    QString clockNote; // "[simulated clock, x10]" or empty
    QString qth; // Label5 text
    QString line1; // element lines
    QString line2;
    DataPanelTexts panel;
    QString model; // orbit model name ("PLAN13", "SGP4"), empty: not shown
    QString countdown; // "Time to AOS: 00:12:34"
    QString frequency; // "145802.432 kHz FM voice" or empty
    bool receiverTracking = false;
    QString rotor; // rotor status, empty without --rotor
    PassPlotData plot;
    std::chrono::sys_seconds now {};
    QStringList passes; // the 24-hour list
    QStringList log; // newest last; empty when the log goes to stderr
    bool showLog = false;
};

// The screen as rows of at most `columns` visible characters (colour codes
// take no room) and at most `rows` - 1 rows, so that the last line feed never
// scrolls the screen.
QStringList TrackScreenRows(const TrackScreenInput& in, int columns, int rows);

// The rows as one write: cursor home, each row cleared to its end, the rest of
// the screen cleared.
QString TrackScreenText(const QStringList& rows);

// Characters of text that take room on the screen (ANSI colour codes do not).
int VisibleLength(const QString& text);

} // namespace aostrack
