#include "core/FileError.h"

#include <cstring>

namespace aostrack {

QString SystemErrorText(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

QString FileErrorReason(const QFileDevice& file, int savedErrno)
{
    const QString qtText = file.errorString();
    const bool qtKnows = file.error() != QFileDevice::NoError && !qtText.isEmpty()
        && qtText != QLatin1String("Unknown error");
    if (qtKnows || savedErrno == 0)
        return qtText;
    return SystemErrorText(savedErrno);
}

} // namespace aostrack
