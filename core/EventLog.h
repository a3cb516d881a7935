#pragma once
// The event log: what happened at start-up and at the station's edges (rotor
// port, time server, system clock). Lines are only ever appended.
#include <QLocale>
#include <QObject>
#include <QStringList>
#include <chrono>

namespace aostrack {

class Clock;

// The general date-time form of a UTC instant: regional short date, a blank,
// regional long time; at exactly 00:00:00 the date alone.
QString GeneralDateTimeText(std::chrono::sys_seconds instant, const QLocale& locale = QLocale());

class EventLog : public QObject {
    Q_OBJECT
public:
    explicit EventLog(const Clock& clock, QObject* parent = nullptr);

    // Appends one line. Timed lines start with UtcNow in the regional general
    // date-time form (the date alone at exactly 00:00:00), then text.
    void LogEvent(const QString& text, bool timed);
    // Asks the view to select (and so scroll to) the newest line.
    void SelectLastLogLine();

    const QStringList& Lines() const { return m_lines; }

signals:
    void lineAdded(const QString& line);
    void lastLineSelected();

private:
    const Clock& m_clock;
    QStringList m_lines;
};

} // namespace aostrack
