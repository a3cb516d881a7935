// The element update against an imitation of today's GP service: which
// addresses it asks, what it sends with them, and what each answer of the
// service leaves in the TLE file. The file's age is set on disk against a
// fake "now", as an earlier update would have left it.
#include "update/ElementUpdate.h"

#include "FakeClock.h"
#include "FloodingPeer.h"
#include "HttpFolderServer.h"
#include "QtPrinters.h"
#include "UpdatePages.h"
#include "UpdateRun.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;
using test::ReadAll;

// 2026-12-07 14:39:30 UTC
constexpr sys_seconds kNow = sys_days(2026y / December / 7) + 14h + 39min + 30s;

QDateTime At(sys_seconds instant)
{
    return QDateTime::fromSecsSinceEpoch(instant.time_since_epoch().count(), Qt::UTC);
}

QByteArray RawAnswer(const QByteArray& status, const QByteArray& headers, const QByteArray& body)
{
    return "HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: "
        + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

const QString kRefusal403
    = "GP data has not updated since your last successful download of GROUP=amateur at "
      "2026-12-07 12:02:11 UTC.";

struct Answers {
    const char* what;
    bool legacy = false;
    bool force = false;
    std::optional<minutes> fetchedAgo; // an update left file and backup this long ago
    std::function<void(test::HttpFolderServer&)> serve = nullptr;
    bool ok = true;
    bool replaced = true;
    QStringList asked; // paths and queries, in order
    bool askedSince = false; // with If-Modified-Since = the file's time
    QString verdict; // the last progress line; "%1" the server's base
};

TEST(GpServiceTest, AnswersOfTheService)
{
    const QStringList gp(std::begin(test::GpTlePaths), std::end(test::GpTlePaths));
    const QStringList legacy = { "/NORAD/elements/amateur.txt", "/NORAD/elements/cubesat.txt",
        "/NORAD/elements/tle-new.txt" };
    const QString amateurUrl = "%1" + gp[0];
    const Answers rows[] = {
        { "a two-line catalogue asks the GP queries with FORMAT=tle", false, false, {}, nullptr,
            true, true, gp, false, "... done" },
        { "TLE_PATHS=LEGACY asks the static files", true, false, {}, nullptr, true, true, legacy,
            false, "... done" },
        { "a refusal shows the service's own words", false, false, {},
            [](test::HttpFolderServer& s) {
                s.Answer(test::GpPagePath("amateur", "tle"),
                    RawAnswer("403 Forbidden", "Content-Type: text/plain\r\n",
                        kRefusal403.toUtf8() + "\nData is updated once every 2 hours.\n"));
            },
            false, false, { gp[0] }, false,
            "failed " + amateurUrl + ": HTTP 403 Forbidden: " + kRefusal403 },
        { "an HTML refusal: the status alone, its page repeats it", false, false, {},
            [](test::HttpFolderServer& s) {
                s.Answer(test::GpPagePath("amateur", "tle"),
                    RawAnswer("403 Forbidden", "Content-Type: text/html\r\n",
                        "\n<html><title>403 Forbidden</title></html>\n"));
            },
            false, false, { gp[0] }, false, "failed " + amateurUrl + ": HTTP 403 Forbidden" },
        { "a refusal of a thousand characters is cut", false, false, {},
            [](test::HttpFolderServer& s) {
                s.Answer(test::GpPagePath("amateur", "tle"),
                    RawAnswer("403 Forbidden", "", "\x1b[2J" + QByteArray(1000, 'W')));
            },
            false, false, { gp[0] }, false,
            "failed " + amateurUrl + ": HTTP 403 Forbidden: [2J" + QString(157, 'W') + "..." },
        { "fetched 37 minutes ago: the service is not asked", false, false, 37min, nullptr, true,
            false, {}, false,
            "elements fetched 14:02 UTC, 37 minutes ago; the service publishes new sets every 2 "
            "hours; next update after 16:02 UTC" },
        { "fetched 37 minutes ago, forced: asked, newer since", false, true, 37min, nullptr, true,
            true, gp, true, "... done" },
        { "fetched 2 hours ago: asked again", false, false, 120min, nullptr, true, true, gp, true,
            "... done" },
        { "304: the file stays and that is success", false, false, 150min,
            [](test::HttpFolderServer& s) {
                s.Put(test::GpPagePath("amateur", "tle"), test::AmateurPage);
                test::SetModified(
                    s.Folder() + test::GpPagePath("amateur", "tle"), At(kNow - 240min));
            },
            true, false, { gp[0] }, true, "unchanged since 2026-12-07 12:09 UTC" },
        { "a redirect to another host stops", false, false, {},
            [](test::HttpFolderServer& s) {
                const QString elsewhere = QString(s.BaseUrl()).replace("127.0.0.1", "localhost");
                s.Answer(test::GpPagePath("amateur", "tle"),
                    RawAnswer("301 Moved Permanently",
                        "Location: " + elsewhere.toUtf8() + "/NORAD/elements/amateur.txt\r\n", ""));
            },
            false, false, { gp[0] }, false,
            "failed " + amateurUrl + ": redirected to another host, "
                + "%2/NORAD/elements/amateur.txt: not followed (a moved service? check the "
                  "address)" },
    };
    for (const Answers& row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir station;
        const QString tle = station.filePath("keps.txt");
        test::WriteAll(tle, test::OldTleFile);
        if (row.fetchedAgo) {
            test::WriteAll(tle + "_old", "EARLIER\n");
            test::SetModified(tle, At(kNow - *row.fetchedAgo - 11s));
            test::SetModified(tle + "_old", At(kNow - *row.fetchedAgo - 12s));
        }
        test::HttpFolderServer server;
        ASSERT_TRUE(server.Start());
        test::PutSourcePages(server);
        for (const QString& path : test::GpTlePaths)
            test::SetModified(server.Folder() + QString(path).replace('?', '/'), At(kNow - 10min));
        if (row.serve)
            row.serve(server);

        FakeClock clock(kNow);
        ElementUpdate update(nullptr, clock);
        UpdateRequest request { tle, server.BaseUrl(), server.BaseUrl(), true, false };
        request.LegacyPaths = row.legacy;
        request.Force = row.force;
        const test::Outcome outcome = test::RunUpdate(update, request);
        ASSERT_TRUE(outcome.Finished);
        const QString elsewhere = QString(server.BaseUrl()).replace("127.0.0.1", "localhost");

        EXPECT_EQ(outcome.Replaced, row.ok) << outcome.Progress.join('\n').toStdString();
        const QString verdict
            = QString(row.verdict).replace("%1", server.BaseUrl()).replace("%2", elsewhere);
        EXPECT_EQ(update.Verdict(), verdict);
        const bool ended
            = outcome.Progress.value(outcome.Progress.size() - (row.ok ? 1 : 2)) == verdict;
        EXPECT_TRUE(ended) << outcome.Progress.join('\n').toStdString();
        EXPECT_EQ(ReadAll(tle) == test::OldTleFile, !row.replaced);
        if (row.fetchedAgo && !row.replaced)
            EXPECT_EQ(ReadAll(tle + "_old"), QByteArray("EARLIER\n"));

        QStringList asked;
        for (const QString& request : server.Requests()) {
            const QStringList fields = request.split('\t');
            asked << fields.value(0);
            const QString since = row.askedSince
                ? At(kNow - *row.fetchedAgo - 11s).toString("ddd, dd MMM yyyy HH:mm:ss 'GMT'")
                : QString();
            EXPECT_EQ(fields.value(1), since);
            EXPECT_TRUE(QRegularExpression(R"(^aostrack/\d+\.\d+\.\d+ \(\+.+\)$)")
                            .match(fields.value(2))
                            .hasMatch())
                << fields.value(2).toStdString();
        }
        EXPECT_EQ(asked, row.asked);
    }
}

// A server whose page never ends, as fast as loopback carries it: the update
// stops at the page limit and the file stays.
TEST(HostileElementServer, EndlessBodyStopsAtThePageLimit)
{
    const std::string chunk = "1 " + std::string(65532, 'A') + "\r\n";
    const std::string chunked = "10000\r\n" + chunk + "\r\n";
    struct Endless {
        const char* what;
        std::string head;
        std::string repeated;
    } rows[] = {
        { "chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", chunked },
        { "no length", "HTTP/1.0 200 OK\r\n\r\n", chunk },
    };
    for (const Endless& row : rows) {
        SCOPED_TRACE(row.what);
        test::FloodingPeer peer(row.repeated, row.head);
        const QString base = QString::fromStdString("http://127.0.0.1:" + peer.Port());
        QTemporaryDir station;
        const QString tle = station.filePath("keps.txt");
        test::WriteAll(tle, test::OldTleFile);
        ElementUpdate update(std::make_unique<HttpPageFetcher>(60s, 4 * 1024 * 1024));
        const test::Outcome outcome = test::RunUpdate(update, { tle, base, base, true, false });
        ASSERT_TRUE(outcome.Finished);
        EXPECT_EQ(update.Verdict(),
            "failed " + base + "/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle"
                + ": page larger than 4194304 bytes");
        EXPECT_EQ(ReadAll(tle), test::OldTleFile);
    }
}

} // namespace
} // namespace aostrack
