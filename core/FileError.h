#pragma once
// The operating system's own words for a failed file operation, so that a
// message says "No space left on device" or "Permission denied" rather than
// "Unknown error".
#include <QFileDevice>
#include <QString>

namespace aostrack {

// strerror's text for a C library error number ("No space left on device").
QString SystemErrorText(int errorNumber);

// Why an operation on file failed: Qt's text when it has one, otherwise the
// text of savedErrno, the errno read right after the failing call. QSaveFile
// reports a full disk or a file-size limit as "Unknown error" and keeps the
// real reason only in errno.
QString FileErrorReason(const QFileDevice& file, int savedErrno);

} // namespace aostrack
