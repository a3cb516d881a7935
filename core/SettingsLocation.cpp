#include "core/SettingsLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace aostrack {

namespace {

const QString kProgramFolder = QStringLiteral("aostrack");
const QString kSettingsName = QStringLiteral("sat.ini");

QString ExistingFile(const QString& dir, const QString& name)
{
    const QString path = QDir(dir).filePath(name);
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

QString UserSettingsDir()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(kProgramFolder);
}

QString UserDataDir()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(kProgramFolder);
}

QStringList SharedDataDirs()
{
    // standardLocations puts the user's own folder first; the shared ones follow.
    QStringList dirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    if (!dirs.isEmpty())
        dirs.removeFirst();
    for (QString& dir : dirs)
        dir = QDir(dir).filePath(kProgramFolder);
    return dirs;
}

QString FindSettingsFile(const QString& configOption, const QString& programDir)
{
    if (!configOption.isEmpty())
        return configOption;
    const QString beside = ExistingFile(programDir, kSettingsName);
    if (!beside.isEmpty())
        return beside;
    return QDir(UserSettingsDir()).filePath(kSettingsName);
}

QString LookUpDataFile(const QString& name, const QString& iniDir)
{
    if (name.isEmpty() || QFileInfo(name).isAbsolute())
        return name;
    const QStringList dirs = QStringList { iniDir, UserDataDir() } + SharedDataDirs();
    for (const QString& dir : dirs) {
        const QString found = ExistingFile(dir, name);
        if (!found.isEmpty())
            return found;
    }
    return QDir(iniDir).filePath(name);
}

QString WritableDataPath(const QString& path)
{
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    const bool writable
        = folder.isDir() && folder.isWritable() && (!info.exists() || info.isWritable());
    if (writable)
        return path;
    QDir().mkpath(UserDataDir());
    return QDir(UserDataDir()).filePath(info.fileName());
}

QString ExampleSettingsFile(const QString& programDir)
{
    for (const QString& dir : SharedDataDirs()) {
        const QString found = ExistingFile(dir, kSettingsName);
        if (!found.isEmpty())
            return found;
    }
    return ExistingFile(programDir, kSettingsName);
}

} // namespace aostrack
