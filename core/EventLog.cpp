#include "core/EventLog.h"

#include "orbit/Clock.h"

#include <QDateTime>
#include <QLocale>

namespace aostrack {

namespace {

// The regional long time form without a time-zone name: the instant shown is
// UTC, so the local zone's name would be wrong beside it.
QString LongTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

} // namespace

QString GeneralDateTimeText(std::chrono::sys_seconds instant, const QLocale& locale)
{
    const QDateTime utc
        = QDateTime::fromSecsSinceEpoch(instant.time_since_epoch().count(), Qt::UTC);
    const QString date = locale.toString(utc.date(), QLocale::ShortFormat);
    if (utc.time() == QTime(0, 0, 0))
        return date;
    return date + QLatin1Char(' ') + locale.toString(utc.time(), LongTimeFormat(locale));
}

EventLog::EventLog(const Clock& clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
{
}

void EventLog::LogEvent(const QString& text, bool timed)
{
    const QString line = timed ? GeneralDateTimeText(m_clock.UtcNow()) + text : text;
    m_lines.append(line);
    emit lineAdded(line);
}

void EventLog::SelectLastLogLine()
{
    emit lastLineSelected();
}

} // namespace aostrack
