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

QStringList GpUrls(const QString& serverBase, const QString& format)
{
    const QString base = TrimmedBase(serverBase);
    QStringList urls;
    for (const char* group : GpGroups)
        urls << base
                + QStringLiteral("/NORAD/elements/gp.php?GROUP=%1&FORMAT=%2")
                      .arg(QLatin1String(group), format);
    return urls;
}

QString ArchiveUrl(const QString& archiveBase)
{
    return TrimmedBase(archiveBase) + QLatin1String(ArchivePath);
}

} // namespace aostrack
