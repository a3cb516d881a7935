#pragma once
// The event log list ("List2"): shows every line of the EventLog, appends new
// ones without scrolling, and selects the newest line when the log asks.
class QListWidget;

namespace aostrack {

class EventLog;

// Fills list with the lines written so far and follows the log from now on.
void BindEventLog(EventLog& log, QListWidget* list);

} // namespace aostrack
