#pragma once
// Replacing the TLE file without ever losing it.
#include "core/Result.h"

#include <QString>
#include <functional>

namespace aostrack {

// The backup of a TLE file: "_old" appended to the whole name
// (keps.txt -> keps.txt_old).
QString BackupPathFor(const QString& tleFilePath);

// Writes text followed by CR LF (UTF-8) as the new TLE file at tleFilePath.
// Order: the new text goes to a temporary file beside the TLE file and is
// flushed to disk; then a copy of the current file (if any) replaces the
// backup; then the temporary file is renamed over the TLE file. At every
// moment the TLE name holds either the complete old or the complete new file.
// progress receives "save old TLE file" (also when there is no old file) and
// "write new TLE file" as the steps begin. A failure says why, naming the
// file and the system's reason; the TLE file is then unchanged.
Result<void> ReplaceTleFile(const QString& tleFilePath, const QString& text,
    const std::function<void(const QString&)>& progress);

// As ReplaceTleFile for any downloaded file: bytes as they are, the backup
// "<path>_old", and kind naming the file in the progress steps and failures
// ("transmitter" gives "save old transmitter file").
Result<void> ReplaceFileKeepingBackup(const QString& path, const QByteArray& bytes,
    const QString& kind, const std::function<void(const QString&)>& progress);

// Writes bytes as the whole file at path, in one step or not at all (a
// temporary file beside it, flushed, then renamed over it), without a
// backup. A failure names the file and the system's reason ("No space left on
// device"); the file is then as it was.
Result<void> WriteWholeFile(const QString& path, const QByteArray& bytes);

} // namespace aostrack
