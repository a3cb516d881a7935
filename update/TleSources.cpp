#include "update/TleSources.h"

namespace aostrack {

namespace {

QString TrimmedBase(const QString& base)
{
    QString trimmed = base.trimmed();
    while (trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    return trimmed;
}

} // namespace

QStringList ServerUrls(const QString& serverBase)
{
    const QString base = TrimmedBase(serverBase);
    QStringList urls;
    for (const char* path : ServerPaths)
        urls << base + QLatin1String(path);
    return urls;
}

QString ArchiveUrl(const QString& archiveBase)
{
    return TrimmedBase(archiveBase) + QLatin1String(ArchivePath);
}

} // namespace aostrack
