#include "update/UpdateSchedule.h"

#include "update/TleFileReplace.h"

#include <QDateTime>
#include <QFileInfo>

namespace aostrack {

namespace {

using namespace std::chrono_literals;

// Writing the new file, syncing it and copying the backup takes seconds,
// even on a slow card; a minute leaves room without taking in hand edits.
constexpr std::chrono::seconds kBackupBesideFile = 60s;

std::optional<std::chrono::sys_seconds> ModificationTime(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    return std::chrono::sys_seconds(std::chrono::seconds(info.lastModified().toSecsSinceEpoch()));
}

QString UtcText(std::chrono::sys_seconds instant, const QString& pattern)
{
    return QDateTime::fromSecsSinceEpoch(instant.time_since_epoch().count(), Qt::UTC)
        .toString(pattern);
}

} // namespace

std::optional<std::chrono::sys_seconds> LastFetchTime(const QString& tleFilePath)
{
    const auto file = ModificationTime(tleFilePath);
    const auto backup = ModificationTime(BackupPathFor(tleFilePath));
    if (!file || !backup)
        return std::nullopt;
    const auto apart = *file > *backup ? *file - *backup : *backup - *file;
    if (apart > kBackupBesideFile)
        return std::nullopt;
    return file;
}

QString TooSoonText(std::chrono::sys_seconds fetched, std::chrono::sys_seconds now)
{
    if (fetched > now + 1min || now - fetched >= ServicePublishInterval)
        return {};
    const auto minutes = std::chrono::floor<std::chrono::minutes>(
        std::max(now - fetched, std::chrono::seconds(0)));
    const QString hhmm = QStringLiteral("HH:mm 'UTC'");
    return QStringLiteral("elements fetched %1, %2 ago; the service publishes new sets every "
                          "%3 hours; next update after %4")
        .arg(UtcText(fetched, hhmm),
            minutes.count() == 1 ? QStringLiteral("1 minute")
                                 : QStringLiteral("%1 minutes").arg(minutes.count()))
        .arg(ServicePublishInterval.count())
        .arg(UtcText(fetched + ServicePublishInterval, hhmm));
}

QString UnchangedText(std::chrono::sys_seconds since)
{
    return QStringLiteral("unchanged since ")
        + UtcText(since, QStringLiteral("yyyy-MM-dd HH:mm 'UTC'"));
}

} // namespace aostrack
