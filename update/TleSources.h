#pragma once
// Where fresh element sets come from: two configurable base addresses
// (scheme and host, from TLE_SERVER and TLE_ARCHIVE) followed by fixed paths.
#include <QString>
#include <QStringList>

namespace aostrack {

// Paths on the public TLE distribution server, in fetch order.
inline constexpr const char* ServerPaths[] = {
    "/NORAD/elements/amateur.txt",
    "/NORAD/elements/cubesat.txt",
    "/NORAD/elements/tle-new.txt",
};
// Path of the combined element file in the amateur-satellite archive.
inline constexpr const char* ArchivePath = "/amsat/ftp/keps/current/nasa.all";

// The groups asked of the server's GP service for an OMM catalogue, in order:
// the same three collections as the two-line files.
inline constexpr const char* GpGroups[] = { "amateur", "cubesat", "last-30-days" };

// The three GP-service URLs for an OMM catalogue:
// <base>/NORAD/elements/gp.php?GROUP=<group>&FORMAT=<format> with format
// "csv", "json" or "xml".
QStringList GpUrls(const QString& serverBase, const QString& format);

// The three server URLs for a base address such as "https://celestrak.org";
// trailing slashes of the base are dropped so no "//" appears.
QStringList ServerUrls(const QString& serverBase);
// The archive URL for a base address such as "https://www.amsat.org".
QString ArchiveUrl(const QString& archiveBase);

} // namespace aostrack
