#include "ui/EventLogView.h"

#include "core/EventLog.h"

#include <QListWidget>

namespace aostrack {

void BindEventLog(EventLog& log, QListWidget* list)
{
    list->addItems(log.Lines());
    QObject::connect(&log, &EventLog::lineAdded, list, [list](const QString& line) { list->addItem(line); });
    QObject::connect(&log, &EventLog::lastLineSelected, list, [list] {
        if (list->count() == 0)
            return;
        list->setCurrentRow(list->count() - 1);
        list->scrollToItem(list->item(list->count() - 1));
    });
}

} // namespace aostrack
