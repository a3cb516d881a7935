#include "ui/SettingsBinding.h"

#include "core/Configuration.h"
#include "core/EventLog.h"
#include "core/TrackingSession.h"
#include "ui/MainWindow.h"
#include "ui/SettingsDialog.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

namespace aostrack {

namespace {

// What the running station can take without a restart.
void ApplyChanges(
    const SettingsDialog& dialog, TrackingSession& tracker, EventLog& log, const QString& iniPath)
{
    QStringList later;
    const QString iniDir = QFileInfo(iniPath).absolutePath();
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    Configuration config;
    try {
        config = ParseConfiguration(DecodeSettingsText(file.readAll()), iniDir, QLocale(), iniPath);
    } catch (const StartupError& error) {
        // Changed on disk since OK read it back: nothing applies now.
        log.LogEvent(QStringLiteral(": %1").arg(QString::fromUtf8(error.what())), true);
        return;
    }
    for (const QString& key : dialog.ChangedKeys()) {
        if (key == QLatin1String("ORBIT_MODEL"))
            tracker.SetOrbitModel(config.OrbitModelChoice);
        else if (key == QLatin1String("TLEFILE"))
            tracker.OpenElementFile(config.TleFilePath);
        else
            later << key;
    }
    log.LogEvent(QStringLiteral(": settings saved in %1").arg(iniPath), true);
    if (!later.isEmpty())
        log.LogEvent(
            QStringLiteral(": restart aostrack to apply %1").arg(later.join(QStringLiteral(", "))),
            true);
}

} // namespace

void BindSettingsDialog(
    MainWindow& window, TrackingSession& tracker, EventLog& log, const QString& iniPath)
{
    auto* menu = new QMenu(QStringLiteral("Station"), &window);
    menu->setObjectName(QStringLiteral("MnuStation"));
    QAction* settings = menu->addAction(QStringLiteral("Settings..."));
    settings->setObjectName(QStringLiteral("MnuSettings"));
    window.menuBar()->insertMenu(window.Controls().Menus.Info, menu);
    QObject::connect(settings, &QAction::triggered, &window, [&window, &tracker, &log, iniPath] {
        auto* dialog = new SettingsDialog(iniPath, &window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(dialog, &QDialog::accepted, &window, [dialog, &tracker, &log, iniPath] {
            if (!dialog->ChangedKeys().isEmpty())
                ApplyChanges(*dialog, tracker, log, iniPath);
        });
        dialog->open();
    });
}

} // namespace aostrack
