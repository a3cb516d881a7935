// aostrack: the tracker's window. Start-up reads the settings file that
// --config names, else sat.ini beside the program, else
// ~/.config/aostrack/sat.ini; when there is none yet the station dialog asks
// for the station and writes it. A failure shows its messages and ends the
// program with exit code 1.
#include "app/gui/StationWindow.h"

#include "core/SettingsLocation.h"
#include "core/SystemClock.h"
#include "ui/StationDialog.h"

#include <QFileInfo>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    aostrack::SetUpApplication();
    const aostrack::SettingsChoice settings = aostrack::ReadSettingsChoice(app);
    // The first run of an installed program: nothing to read yet. A --config
    // that names no file is a mistake to report, not a first run.
    if (!settings.Named && !QFileInfo::exists(settings.IniPath)) {
        aostrack::StationDialog first(
            settings.IniPath, aostrack::ExampleSettingsFile(QApplication::applicationDirPath()));
        if (first.exec() != QDialog::Accepted)
            return 1;
    }

    aostrack::SystemClock clock;
    aostrack::StationWindow station(clock);
    if (!station.Start(settings.IniPath))
        return 1;
    station.Window().show();
    return app.exec();
}
