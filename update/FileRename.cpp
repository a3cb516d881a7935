#include "update/FileRename.h"

#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace aostrack {

bool FileRename(const QString& originalName, const QString& newName, bool overWrite)
{
    if (originalName.isEmpty() || newName.isEmpty())
        return false;
    const QFileInfo original(originalName);
    if (!original.exists() || original.isDir())
        return false;
    const QFileInfo target(newName);
    if (target.exists() || target.isSymLink()) {
        if (!overWrite || target.isDir())
            return false;
    }
    // std::filesystem::rename replaces an existing target in one step (rename(2),
    // MoveFileEx with REPLACE_EXISTING), so there is no moment without a file
    // under newName; it never copies across file systems.
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(originalName.toStdU16String()),
        std::filesystem::path(newName.toStdU16String()), error);
    return !error;
}

} // namespace aostrack
