#pragma once
// Element pages served by the test HTTP server, and the TLE file they should
// give: real element sets, one page wrapped in lower-case PRE tags, two
// pages without a final line break, mixed-case names.
#include "HttpFolderServer.h"

#include <QByteArray>

namespace aostrack::test {

inline const QByteArray AmateurPage
    = "Oscar 7 (ao-7)\n"
      "1 07530U 74089B   24042.90715712 -.00000045  00000+0  76181-5 0  9994\n"
      "2 07530 101.9722  36.4033 0012082 326.5448 104.0552 12.53672066253211\n";
inline const QByteArray CubesatPage
    = "<pre>\n"
      "funcube-1 (ao-73)\n"
      "1 39444U 13066AE  24042.84034642  .00010455  00000+0  10685-2 0  9999\n"
      "2 39444  97.7051   4.7902 0049450 198.4018 161.5412 14.89838831551284\n"
      "</pre>";
inline const QByteArray NewPage
    = "ISS (ZARYA)\n"
      "1 25544U 98067A   24043.00684501  .00020902  00000+0  37609-3 0  9997\n"
      "2 25544  51.6406 220.6676 0001921 228.7563 273.9440 15.49783958438989";
inline const QByteArray ArchivePage
    = "<PRE>Rs-44\n"
      "1 44909U 19096E   24042.92716387  .00000014  00000+0  14323-4 0  9997\n"
      "2 44909  82.5230 188.6499 0217126 346.6904  12.8523 12.79726405192820\n"
      "</PRE>\n";

// What the three server pages give: upper case, tags gone, joined as served
// (the first page ends in a line feed, the second after "</PRE>" does not).
inline const QByteArray ServerText
    = "OSCAR 7 (AO-7)\n"
      "1 07530U 74089B   24042.90715712 -.00000045  00000+0  76181-5 0  9994\n"
      "2 07530 101.9722  36.4033 0012082 326.5448 104.0552 12.53672066253211\n"
      "\n"
      "FUNCUBE-1 (AO-73)\n"
      "1 39444U 13066AE  24042.84034642  .00010455  00000+0  10685-2 0  9999\n"
      "2 39444  97.7051   4.7902 0049450 198.4018 161.5412 14.89838831551284\n"
      "ISS (ZARYA)\n"
      "1 25544U 98067A   24043.00684501  .00020902  00000+0  37609-3 0  9997\n"
      "2 25544  51.6406 220.6676 0001921 228.7563 273.9440 15.49783958438989";
// The archive page as served apart from its tags: no upper-casing.
inline const QByteArray ArchiveText
    = "Rs-44\n"
      "1 44909U 19096E   24042.92716387  .00000014  00000+0  14323-4 0  9997\n"
      "2 44909  82.5230 188.6499 0217126 346.6904  12.8523 12.79726405192820\n"
      "\n";

inline const QByteArray OldTleFile
    = "OLD SAT\n"
      "1 07530U 74089B   17157.85566058 -.00000032  00000-0  74274-4 0  9991\n"
      "2 07530 101.6293 126.7439 0012026 344.7437  44.8584 12.53627301947333\n";

inline const QByteArray HtmlErrorPage
    = "<!DOCTYPE html>\n<html><head><title>Service Unavailable</title></head>\n"
      "<body><h1>Service Unavailable</h1><p>Try again later.</p></body></html>\n";

// The GP queries of a two-line catalogue, in fetch order.
inline const QString GpTlePaths[] = {
    "/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle",
    "/NORAD/elements/gp.php?GROUP=cubesat&FORMAT=tle",
    "/NORAD/elements/gp.php?GROUP=last-30-days&FORMAT=tle",
};

// Serves the source pages: the three server pages as GP queries and as the
// static files of older mirrors, and the archive page.
inline void PutSourcePages(HttpFolderServer& server)
{
    server.Put("/NORAD/elements/amateur.txt", AmateurPage);
    server.Put("/NORAD/elements/cubesat.txt", CubesatPage);
    server.Put("/NORAD/elements/tle-new.txt", NewPage);
    server.Put(GpPagePath("amateur", "tle"), AmateurPage);
    server.Put(GpPagePath("cubesat", "tle"), CubesatPage);
    server.Put(GpPagePath("last-30-days", "tle"), NewPage);
    server.Put("/amsat/ftp/keps/current/nasa.all", ArchivePage);
}

} // namespace aostrack::test
