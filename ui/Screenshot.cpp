#include "ui/Screenshot.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace aostrack {

bool ArmScreenshotFromEnvironment(QWidget& window)
{
    const QString path = qEnvironmentVariable("AOSTRACK_SCREENSHOT");
    if (path.isEmpty())
        return false;
    bool ok = false;
    double delaySeconds = qEnvironmentVariable("AOSTRACK_SCREENSHOT_DELAY").toDouble(&ok);
    if (!ok || delaySeconds < 0)
        delaySeconds = 5;
    const QStringList size = qEnvironmentVariable("AOSTRACK_SCREENSHOT_SIZE").split(QLatin1Char('x'));
    if (size.size() == 2 && size[0].toInt() > 0 && size[1].toInt() > 0)
        window.resize(size[0].toInt(), size[1].toInt());

    QTimer::singleShot(static_cast<int>(delaySeconds * 1000), &window, [&window, path] {
        const bool saved = window.grab().save(path, "PNG");
        if (!saved)
            std::fprintf(stderr, "aostrack: cannot write the screenshot %s\n", qPrintable(path));
        QApplication::exit(saved ? 0 : 1);
    });
    return true;
}

} // namespace aostrack
