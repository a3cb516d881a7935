// track: the tracking cycle in a terminal.
#include "app/cli/CliArgs.h"
#include "app/cli/Commands.h"

namespace aostrack {

int RunTrackCommand(const QStringList&)
{
    throw UsageError(QStringLiteral("track: not available in this build yet"));
}

} // namespace aostrack
