// aostrack: the tracker's window.
#include "core/EventLog.h"
#include "core/SystemClock.h"
#include "ui/Dialogs.h"
#include "ui/EventLogView.h"
#include "ui/MainWindow.h"
#include "ui/Screenshot.h"

#include <QApplication>
#include <QListWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    aostrack::SystemClock clock;
    aostrack::EventLog log(clock);
    aostrack::QtFileChooser fileChooser;
    aostrack::MainWindow window(fileChooser);
    aostrack::BindEventLog(log, window.findChild<QListWidget*>(QStringLiteral("List2")));
    aostrack::ArmScreenshotFromEnvironment(window);
    window.show();
    return app.exec();
}
