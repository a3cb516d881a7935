#include "app/screenshot/Screenshot.h"

#include "core/FileError.h"
#include "core/TrackingSession.h"
#include "orbit/Clock.h"
#include "orbit/Engine.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QImageWriter>
#include <QPixmap>
#include <QSaveFile>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

namespace aostrack {

namespace {

// Low orbits only: a geostationary satellite is always "up" and has no pass
// to plot.
constexpr double MinLowOrbitRevsPerDay = 11;
constexpr double MinShownElevationDeg = 5;

void Choose(MainWindow& window, int index)
{
    QComboBox* satellites = window.Controls().Satellites;
    if (index < 0 || index >= satellites->count())
        return;
    satellites->setCurrentIndex(index);
    emit satellites->activated(index);
}

void ChooseSatelliteUpNow(MainWindow& window, TrackingSession& tracker, const Clock& clock)
{
    std::vector<std::pair<double, int>> up;
    const SatTable& table = tracker.Table();
    for (int i = 0; i < table.SatCount(); ++i) {
        try {
            const ElementSet elements = SelectSatellite(table, i + 1);
            if (elements.MeanMotion < MinLowOrbitRevsPerDay)
                continue;
            const double elevation
                = ComputeSatellite(elements, tracker.StationPosition(), clock.UtcNow())
                      .SatElevation;
            if (elevation > MinShownElevationDeg)
                up.emplace_back(elevation, i);
        } catch (const std::exception&) {
            // An element set the engine cannot propagate is simply not shown.
        }
    }
    std::sort(up.begin(), up.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [elevation, index] : up) {
        Choose(window, index);
        if (tracker.Frequency().NominalFreq > 0)
            return;
    }
    if (!up.empty())
        Choose(window, up.front().second);
}

void ChooseSatelliteNamed(MainWindow& window, const QString& part)
{
    const QComboBox* satellites = window.Controls().Satellites;
    for (int i = 0; i < satellites->count(); ++i) {
        if (satellites->itemText(i).contains(part, Qt::CaseInsensitive)) {
            Choose(window, i);
            return;
        }
    }
}

} // namespace

ScreenshotClock::ScreenshotClock(const Clock& real)
    : m_real(real)
{
    if (qEnvironmentVariableIsEmpty("AOSTRACK_SCREENSHOT"))
        return;
    const QDateTime start
        = QDateTime::fromString(qEnvironmentVariable("AOSTRACK_SCREENSHOT_START"), Qt::ISODate);
    if (!start.isValid())
        return;
    m_start = std::chrono::sys_seconds(std::chrono::seconds(start.toSecsSinceEpoch()));
    bool ok = false;
    const double speed = qEnvironmentVariable("AOSTRACK_SCREENSHOT_SPEED").toDouble(&ok);
    if (ok && speed > 0)
        m_speed = speed;
    m_elapsed.start();
}

std::chrono::sys_seconds ScreenshotClock::UtcNow() const
{
    if (!m_start)
        return m_real.UtcNow();
    const auto runSeconds
        = static_cast<long long>(std::floor(m_elapsed.elapsed() * m_speed / 1000.0));
    return *m_start + std::chrono::seconds(runSeconds);
}

int ScreenshotClock::UtcOffsetMinutes() const
{
    return m_real.UtcOffsetMinutes();
}

bool ArmScreenshotFromEnvironment(MainWindow& window, TrackingSession& tracker, const Clock& clock)
{
    const QString path = qEnvironmentVariable("AOSTRACK_SCREENSHOT");
    if (path.isEmpty())
        return false;
    bool ok = false;
    double delaySeconds = qEnvironmentVariable("AOSTRACK_SCREENSHOT_DELAY").toDouble(&ok);
    if (!ok || delaySeconds < 0)
        delaySeconds = 5;
    const QStringList size
        = qEnvironmentVariable("AOSTRACK_SCREENSHOT_SIZE").split(QLatin1Char('x'));
    if (size.size() == 2 && size[0].toInt() > 0 && size[1].toInt() > 0)
        window.resize(size[0].toInt(), size[1].toInt());

    const QString satellite = qEnvironmentVariable("AOSTRACK_SCREENSHOT_SATELLITE");
    if (satellite == QLatin1String("up"))
        ChooseSatelliteUpNow(window, tracker, clock);
    else if (!satellite.isEmpty())
        ChooseSatelliteNamed(window, satellite);

    QTimer::singleShot(static_cast<int>(delaySeconds * 1000), &window, [&window, path] {
        const QString error = SaveScreenshot(window.grab().toImage(), path);
        if (!error.isEmpty())
            std::fprintf(stderr, "aostrack: cannot write the screenshot %s: %s\n", qPrintable(path),
                qPrintable(error));
        QApplication::exit(error.isEmpty() ? 0 : 1);
    });
    return true;
}

QString SaveScreenshot(const QImage& image, const QString& path)
{
    // Through QSaveFile, so a full disk leaves no half picture behind, and
    // with errno read after each step for the system's reason.
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) // write errors show at once
        return FileErrorReason(file, errno);
    QImageWriter writer(&file, "PNG");
    errno = 0;
    if (!writer.write(image)) {
        const int writeErrno = errno;
        const QString reason = FileErrorReason(file, writeErrno);
        return writeErrno != 0 || file.error() != QFileDevice::NoError ? reason
                                                                       : writer.errorString();
    }
    errno = 0;
    if (!file.commit() || file.error() != QFileDevice::NoError)
        return FileErrorReason(file, errno);
    return {};
}

} // namespace aostrack
