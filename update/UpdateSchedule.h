#pragma once
// When the element service may be asked again. The GP service publishes new
// sets every two hours, refuses (403) a repeated download of data that has
// not changed and blocks an address that collects errors; the TLE file's own
// modification time records the last successful fetch, nothing else is kept.
#include <QString>
#include <chrono>
#include <optional>

namespace aostrack {

// How often the service publishes new element sets.
inline constexpr std::chrono::hours ServicePublishInterval { 2 };

// When an update last replaced the TLE file: the file's modification time,
// provided its backup (name + "_old") was written within a minute of it, as
// an update writes both. A file copied, unpacked or edited by hand, or one
// without a backup, has no fetch time: its age says nothing about the service.
std::optional<std::chrono::sys_seconds> LastFetchTime(const QString& tleFilePath);

// Why the service is not asked now, or empty when it may be: fetched lies
// less than ServicePublishInterval before now ("elements fetched 14:02 UTC,
// 37 minutes ago; the service publishes new sets every 2 hours; next update
// after 16:02 UTC"). A fetch time more than a minute in the future (a clock
// set back since) does not hold the update back.
QString TooSoonText(std::chrono::sys_seconds fetched, std::chrono::sys_seconds now);

// What a 304 answer means for the file: "unchanged since 2026-12-07 14:02 UTC".
QString UnchangedText(std::chrono::sys_seconds since);

} // namespace aostrack
