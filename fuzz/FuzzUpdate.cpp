// The whole element update over a fake fetcher: the first byte picks the
// catalogue's form (two-line, CSV, JSON, XML), whether the archive page is
// asked for and whether the server gives lengths; the rest, cut at each
// 0x1E byte, are the pages in order. Whatever the pages hold:
//  - a refused update leaves the catalogue byte for byte as it was;
//  - a replaced one loads without a refused record and keeps the old file,
//    byte for byte, as its backup.
#include "core/ElementFile.h"
#include "orbit/ElementFormat.h"
#include "update/ElementUpdate.h"
#include "update/TleFileReplace.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace aostrack;

namespace {

// Pages served in order, on the event loop as a network would; past the
// last one the server says 404.
class FakeFetcher : public PageFetcher {
public:
    FakeFetcher(QList<QByteArray> pages, bool withLength)
        : m_pages(std::move(pages))
        , m_withLength(withLength)
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto done = std::move(m_done);
            m_done = nullptr;
            if (done)
                done(m_page);
        });
    }
    void Fetch(const QUrl& url, std::function<void(const FetchedPage&)> done) override
    {
        m_page = FetchedPage { url, {}, {}, -1 };
        if (m_next < m_pages.size()) {
            m_page.body = m_pages.at(m_next++);
            m_page.contentLength = m_withLength ? m_page.body.size() : -1;
        } else {
            m_page.error = QStringLiteral("HTTP 404 Not Found");
        }
        m_done = std::move(done);
        m_timer.start(0);
    }
    void Abort() override
    {
        m_timer.stop();
        m_done = nullptr;
    }

private:
    QList<QByteArray> m_pages;
    bool m_withLength;
    qsizetype m_next = 0;
    QTimer m_timer;
    FetchedPage m_page;
    std::function<void(const FetchedPage&)> m_done;
};

// Two satellites, written in the catalogue's own form.
QByteArray StartingCatalogue(ElementFormat format)
{
    static const QByteArray tle = "ISS (ZARYA)\r\n"
                                  "1 25544U 98067A   24043.00684501  .00020902  00000+0  "
                                  "37609-3 0  9997\r\n"
                                  "2 25544  51.6406 220.6676 0001921 228.7563 273.9440 "
                                  "15.49783958438989\r\n"
                                  "AO-7\r\n"
                                  "1 07530U 74089B   17157.85566058 -.00000032  00000-0  "
                                  "74274-4 0  9991\r\n"
                                  "2 07530 101.6293 126.7439 0012026 344.7437  44.8584 "
                                  "12.53627301947333\r\n";
    const TleLoad load = ReadElementData(tle, "start");
    std::vector<SatRecord> records;
    for (int i = 1; i <= load.SatCount; ++i)
        records.push_back(load.Table.Record(i));
    return WriteElementData(records, format).Data;
}

QByteArray ReadWhole(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

[[noreturn]] void Finding(const char* what)
{
    std::fprintf(stderr, "update fuzz: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_update";
    static char* argv[] = { name, nullptr };
    static QCoreApplication app(argc, argv);
    static QTemporaryDir dir;
    if (size == 0)
        return 0;

    const uint8_t options = data[0];
    static const char* const names[] = { "cat.txt", "cat.csv", "cat.json", "cat.xml" };
    const QString path = dir.filePath(QLatin1String(names[options & 3]));
    const ElementFormat format = OmmFormatForPath(path.toStdString()).value_or(ElementFormat::Tle);
    const QByteArray before = StartingCatalogue(format);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(before) != before.size())
            return 0;
    }
    QFile::remove(BackupPathFor(path));

    const QByteArray rest(
        reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    ElementUpdate update(std::make_unique<FakeFetcher>(rest.split('\x1E'), (options & 8) != 0));
    UpdateRequest request;
    request.TleFilePath = path;
    request.ServerBase = QStringLiteral("https://server.invalid");
    request.ArchiveBase = QStringLiteral("https://archive.invalid");
    request.UseArchive = (options & 4) != 0;

    bool replaced = false;
    QEventLoop loop;
    QObject::connect(&update, &ElementUpdate::finished, &loop, [&](bool done) {
        replaced = done;
        loop.quit();
    });
    update.Start(request);
    if (update.IsRunning())
        loop.exec();

    if (!replaced) {
        if (ReadWhole(path) != before)
            Finding("a refused update changed the catalogue");
        return 0;
    }
    if (ReadWhole(BackupPathFor(path)) != before)
        Finding("the backup is not the old catalogue");
    try {
        const TleLoad after = LoadTleFile(path);
        if (!after.Refused.empty())
            Finding("the new catalogue has refused records");
    } catch (const TleFileError&) {
        Finding("the new catalogue cannot be read");
    }
    return 0;
}
