#pragma once
// The subcommands of aostrack-cli. Each takes the arguments after its own
// name and returns the process exit code: 0 done, 1 ran but found nothing or
// failed at the station's edge, 2 bad arguments or unreadable input.
#include <QStringList>

namespace aostrack {

int RunStateCommand(const QStringList& args);
int RunNextPassCommand(const QStringList& args);
int RunPassesCommand(const QStringList& args);
int RunTrackCommand(const QStringList& args);
int RunTimesyncCommand(const QStringList& args);
int RunUpdateCommand(const QStringList& args);

} // namespace aostrack
