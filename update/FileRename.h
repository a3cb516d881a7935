#pragma once
// Renaming a file within its file system, as the element update uses it to
// keep the previous TLE file as a backup.
#include <QString>

namespace aostrack {

// Gives the file originalName the name newName. When newName exists it is
// replaced if overWrite is true (in one atomic step where the system allows),
// otherwise nothing happens. False, without any message, when originalName is
// empty or does not exist, or when the rename fails (locked file, other
// file system, newName a folder, ...).
bool FileRename(const QString& originalName, const QString& newName, bool overWrite);

} // namespace aostrack
