// state, next-pass and passes: the orbit engine and the pass searches for one
// satellite, station and instant given on the command line.
#include "app/cli/CliArgs.h"
#include "app/cli/Commands.h"

namespace aostrack {

int RunStateCommand(const QStringList&)
{
    throw UsageError(QStringLiteral("state: not available in this build yet"));
}

int RunNextPassCommand(const QStringList&)
{
    throw UsageError(QStringLiteral("next-pass: not available in this build yet"));
}

int RunPassesCommand(const QStringList&)
{
    throw UsageError(QStringLiteral("passes: not available in this build yet"));
}

} // namespace aostrack
