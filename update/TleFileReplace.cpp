#include "update/TleFileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace aostrack {

namespace {

// Copies the current TLE file over the backup. The copy is written to a
// temporary file, synced and renamed over the backup, so an older backup is
// only ever replaced by a complete copy. The current file itself is not
// moved: the TLE name must not go empty between two renames.
Result<void> SaveBackup(const QString& tleFilePath)
{
    const QString backupPath = BackupPathFor(tleFilePath);
    QFile current(tleFilePath);
    if (!current.open(QIODevice::ReadOnly))
        return Failure {
            QStringLiteral("cannot read %1: %2").arg(tleFilePath, current.errorString())
        };
    const QByteArray oldBytes = current.readAll();
    if (current.error() != QFileDevice::NoError)
        return Failure {
            QStringLiteral("cannot read %1: %2").arg(tleFilePath, current.errorString())
        };
    current.close();

    if (QFileInfo(backupPath).isDir())
        return Failure { QStringLiteral("cannot write backup %1: it is a folder").arg(backupPath) };
    QSaveFile backup(backupPath);
    if (!backup.open(QIODevice::WriteOnly) || backup.write(oldBytes) != oldBytes.size()
        || !backup.commit())
        return Failure {
            QStringLiteral("cannot write backup %1: %2").arg(backupPath, backup.errorString())
        };
    return {};
}

} // namespace

QString BackupPathFor(const QString& tleFilePath)
{
    return tleFilePath + QStringLiteral("_old");
}

Result<void> ReplaceTleFile(const QString& tleFilePath, const QString& text,
    const std::function<void(const QString&)>& progress)
{
    if (tleFilePath.isEmpty())
        return Failure { QStringLiteral("no TLE file name") };
    const QFileInfo info(tleFilePath);
    if (info.isDir())
        return Failure { QStringLiteral("%1 is a folder, not a TLE file").arg(tleFilePath) };

    // QSaveFile writes into a temporary file in the TLE file's folder and
    // renames it over the TLE file only on commit (after flushing to disk).
    QSaveFile next(tleFilePath);
    const QByteArray bytes = (text + QStringLiteral("\r\n")).toUtf8();
    if (!next.open(QIODevice::WriteOnly) || next.write(bytes) != bytes.size())
        return Failure {
            QStringLiteral("cannot write %1: %2").arg(tleFilePath, next.errorString())
        };

    // The step is announced even when there is no old file yet (the first
    // update of a fresh station); there is then nothing to keep.
    progress(QStringLiteral("save old TLE file"));
    if (info.exists()) {
        if (Result<void> saved = SaveBackup(tleFilePath); !saved) {
            next.cancelWriting();
            next.commit();
            return saved;
        }
    }

    progress(QStringLiteral("write new TLE file"));
    if (!next.commit())
        return Failure {
            QStringLiteral("cannot write %1: %2").arg(tleFilePath, next.errorString())
        };
    return {};
}

} // namespace aostrack
