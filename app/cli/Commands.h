#pragma once
// The subcommands of aostrack-cli. Each takes the arguments after its own
// name and returns the process exit code: 0 done (a search that finds no pass
// is done too), 1 failed at the station's edge (a device, a server, a file
// not replaced), 2 bad arguments or unreadable input. A UsageError thrown by
// a command becomes exit 2 with its text as the one line on stderr.
#include <QStringList>

namespace aostrack {

int RunStateCommand(const QStringList& args);
int RunNextPassCommand(const QStringList& args);
int RunPassesCommand(const QStringList& args);
int RunUpcomingCommand(const QStringList& args);
int RunTrackCommand(const QStringList& args);
int RunTimesyncCommand(const QStringList& args);
int RunUpdateCommand(const QStringList& args);
int RunConvertCommand(const QStringList& args);
int RunRotorCommand(const QStringList& args);
int RunGroundtrackCommand(const QStringList& args);
int RunInitCommand(const QStringList& args);
int RunDopplerCommand(const QStringList& args);

} // namespace aostrack
