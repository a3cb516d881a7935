#include "core/LandFile.h"

#include "core/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace aostrack {

QString FindLandFile(const QString& appDir)
{
    const QDir dir(appDir);
    const QString beside = dir.filePath(QLatin1String(LandFileName));
    const QString shared = QDir::cleanPath(
        dir.filePath(QStringLiteral("../share/aostrack/") + QLatin1String(LandFileName)));
    for (const QString& path : { beside, shared }) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return beside;
}

Result<LandData> LoadLandFile(const QString& path)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return Failure { QStringLiteral("%1: %2").arg(path, FileErrorReason(file, errno)) };
    const QByteArray bytes = file.readAll();
    std::string why;
    std::optional<LandData> land = DecodeLandData(
        std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), &why);
    if (!land)
        return Failure { QStringLiteral("%1: %2").arg(path, QString::fromStdString(why)) };
    return std::move(*land);
}

} // namespace aostrack
