#include "ui/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace aostrack {

QString QtFileChooser::ChooseFile(QWidget* parent, const QString& caption, const QString& filter)
{
    QString selected;
    // The first filter is preselected; an empty start name, as every time.
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter, &selected);
}

void QtMessageSink::Warn(const QString& caption, const QString& text)
{
    QMessageBox::warning(nullptr, caption, text);
}

} // namespace aostrack
