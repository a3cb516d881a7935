#include "core/StationSetup.h"

#include "core/Configuration.h"
#include "core/SettingsText.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace aostrack {

namespace {

// Enough for a start when no example station is installed.
const char* const kMinimalSettings = "# aostrack station settings: KEY=value, one per line.\n"
                                     "TLEFILE=amateur.txt\n"
                                     "DOPPLERFILE=doppler.sql\n";

Result<QString> ReadText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure { QStringLiteral("cannot read %1: %2").arg(path, file.errorString()) };
    return DecodeSettingsText(file.readAll());
}

// Degrees to 1e-6 (about 10 cm): enough for any station, and no 15-digit tails.
QString PlainNumber(double deg)
{
    return QString::number(deg, 'f', 6).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

} // namespace

QString StationEntryProblem(const StationEntry& entry)
{
    if (entry.Name.contains(QLatin1Char('\n')) || entry.Name.contains(QLatin1Char('\r')))
        return QStringLiteral("the station name must be one line");
    if (!(entry.Lat >= -MaxStationLatDeg && entry.Lat <= MaxStationLatDeg))
        return QStringLiteral("the latitude %1 is outside -90 to 90 degrees").arg(entry.Lat);
    if (!(entry.Lon >= -MaxStationLonDeg && entry.Lon <= MaxStationLonDeg))
        return QStringLiteral("the longitude %1 is outside -180 to 180 degrees").arg(entry.Lon);
    if (!(entry.HeightKm >= MinStationHeightKm && entry.HeightKm <= MaxStationHeightKm))
        return QStringLiteral("the height %1 km is outside -0.5 to 9 km (give kilometres: "
                              "519 m is 0.519)")
            .arg(entry.HeightKm);
    return QString();
}

QList<SettingChange> StationChanges(const StationEntry& entry)
{
    return {
        { QStringLiteral("QTH"), entry.Name.trimmed() },
        { QStringLiteral("QTH_LAT"), PlainNumber(entry.Lat) },
        { QStringLiteral("QTH_LONG"), PlainNumber(entry.Lon) },
        { QStringLiteral("QTH_HEIGHT"), PlainNumber(entry.HeightKm) },
    };
}

Result<void> WriteStation(
    const QString& iniPath, const StationEntry& entry, const QString& exampleFile)
{
    const QString problem = StationEntryProblem(entry);
    if (!problem.isEmpty())
        return Failure { problem };
    QString text = QString::fromLatin1(kMinimalSettings);
    const QString source = QFileInfo::exists(iniPath) ? iniPath : exampleFile;
    if (!source.isEmpty()) {
        const Result<QString> read = ReadText(source);
        if (!read)
            return Failure { read.Error() };
        text = *read;
    }
    const Result<QString> edited = EditSettingsText(text, StationChanges(entry), iniPath);
    if (!edited)
        return Failure { edited.Error() };
    return WriteSettingsFile(iniPath, *edited);
}

} // namespace aostrack
