#include "update/TleFileReplace.h"

#include "core/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

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
    errno = 0;
    if (!current.open(QIODevice::ReadOnly))
        return Failure {
            QStringLiteral("cannot read %1: %2").arg(tleFilePath, FileErrorReason(current, errno))
        };
    errno = 0;
    const QByteArray oldBytes = current.readAll();
    if (current.error() != QFileDevice::NoError)
        return Failure {
            QStringLiteral("cannot read %1: %2").arg(tleFilePath, FileErrorReason(current, errno))
        };
    current.close();

    if (QFileInfo(backupPath).isDir())
        return Failure { QStringLiteral("cannot write backup %1: it is a folder").arg(backupPath) };
    QSaveFile backup(backupPath);
    // errno is read right after each call: QSaveFile keeps a full disk's
    // reason nowhere else.
    errno = 0;
    bool ok = backup.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    ok = ok && backup.write(oldBytes) == oldBytes.size();
    ok = ok && backup.commit() && backup.error() == QFileDevice::NoError;
    if (!ok)
        return Failure { QStringLiteral("cannot write backup %1: %2")
                             .arg(backupPath, FileErrorReason(backup, errno)) };
    return {};
}

} // namespace

QString BackupPathFor(const QString& tleFilePath)
{
    return tleFilePath + QStringLiteral("_old");
}

Result<void> WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    if (QFileInfo(path).isDir())
        return Failure { QStringLiteral("cannot write %1: it is a folder").arg(path) };
    QSaveFile file(path);
    // Unbuffered for the reason given in ReplaceTleFile; errno read right
    // after each call, where QSaveFile leaves the system's reason.
    errno = 0;
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    ok = ok && file.write(bytes) == bytes.size();
    ok = ok && file.commit() && file.error() == QFileDevice::NoError;
    if (!ok)
        return Failure {
            QStringLiteral("cannot write %1: %2").arg(path, FileErrorReason(file, errno))
        };
    return {};
}

Result<void> ReplaceTleFile(const QString& tleFilePath, const QString& text,
    const std::function<void(const QString&)>& progress)
{
    return ReplaceFileKeepingBackup(
        tleFilePath, (text + QStringLiteral("\r\n")).toUtf8(), QStringLiteral("TLE"), progress);
}

Result<void> ReplaceFileKeepingBackup(const QString& path, const QByteArray& bytes,
    const QString& kind, const std::function<void(const QString&)>& progress)
{
    if (path.isEmpty())
        return Failure { QStringLiteral("no %1 file name").arg(kind) };
    const QFileInfo info(path);
    if (info.isDir())
        return Failure { QStringLiteral("%1 is a folder, not a %2 file").arg(path, kind) };

    // QSaveFile writes into a temporary file in the file's folder and
    // renames it over the file only on commit (after flushing to disk).
    QSaveFile next(path);
    // Unbuffered: every byte reaches the system in write(), where a full disk
    // shows. Buffered, the last bytes go out in commit(), which renames a
    // truncated file over the file and still reports success.
    errno = 0;
    bool ok = next.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    ok = ok && next.write(bytes) == bytes.size();
    if (!ok)
        return Failure {
            QStringLiteral("cannot write %1: %2").arg(path, FileErrorReason(next, errno))
        };

    // The step is announced even when there is no old file yet (the first
    // update of a fresh station); there is then nothing to keep.
    progress(QStringLiteral("save old %1 file").arg(kind));
    if (info.exists()) {
        if (Result<void> saved = SaveBackup(path); !saved) {
            next.cancelWriting();
            next.commit();
            return saved;
        }
    }

    progress(QStringLiteral("write new %1 file").arg(kind));
    errno = 0;
    if (!next.commit() || next.error() != QFileDevice::NoError)
        return Failure {
            QStringLiteral("cannot write %1: %2").arg(path, FileErrorReason(next, errno))
        };
    return {};
}

} // namespace aostrack
