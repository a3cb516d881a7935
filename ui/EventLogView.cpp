#include "ui/EventLogView.h"

#include "core/EventLog.h"

#include <QListWidget>
#include <QScrollBar>

namespace aostrack {

void BindEventLog(EventLog& log, QListWidget* list)
{
    // Pixel steps, so that the newest line can stand whole at the bottom
    // edge instead of cut in half by it.
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->addItems(log.Lines());
    list->scrollToBottom();
    QObject::connect(&log, &EventLog::lineAdded, list, [list](const QString& line) {
        // The view follows the newest line while it is at the end; an
        // operator who scrolled back to read keeps his place. No line is
        // selected either way.
        const QScrollBar* bar = list->verticalScrollBar();
        const bool following = bar->value() >= bar->maximum();
        list->addItem(line);
        if (following)
            list->scrollToBottom();
    });
    QObject::connect(&log, &EventLog::lastLineSelected, list, [list] {
        if (list->count() == 0)
            return;
        list->setCurrentRow(list->count() - 1);
        list->scrollToItem(list->item(list->count() - 1));
    });
}

} // namespace aostrack
