#include "update/ElementUpdate.h"

#include "core/ElementFile.h"
#include "core/SystemClock.h"
#include "orbit/Omm.h"
#include "update/ElementText.h"
#include "update/TleFileReplace.h"
#include "update/TleSources.h"
#include "update/UpdateSchedule.h"

namespace aostrack {

ElementUpdate::ElementUpdate(std::unique_ptr<PageFetcher> fetcher, QObject* parent)
    : QObject(parent)
    , m_ownClock(std::make_unique<SystemClock>())
    , m_clock(*m_ownClock)
    , m_fetcher(fetcher ? std::move(fetcher) : std::make_unique<HttpPageFetcher>())
{
}

ElementUpdate::ElementUpdate(
    std::unique_ptr<PageFetcher> fetcher, const Clock& clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_fetcher(fetcher ? std::move(fetcher) : std::make_unique<HttpPageFetcher>())
{
}

ElementUpdate::~ElementUpdate()
{
    m_fetcher->Abort();
}

bool ElementUpdate::Start(const UpdateRequest& request)
{
    if (m_running)
        return false;
    m_request = request;
    m_collected.clear();
    m_records.clear();
    m_ommFormat = OmmFormatForPath(request.TleFilePath.toStdString());
    m_pages.clear();
    m_next = 0;
    m_verdict.clear();
    emit started();
    emit collectedTextChanged(m_collected);

    const auto refuse = [this](const QString& line) {
        m_verdict = line;
        emit progressLine(line);
        emit finished(false);
        return true;
    };
    if (!request.UseServer && !request.UseArchive)
        return refuse(QStringLiteral("no source ticked, nothing to update"));
    if (request.TleFilePath.trimmed().isEmpty())
        return refuse(QStringLiteral("no TLE file loaded: open a TLE file first, nothing updated"));
    if (request.UseServer && request.ServerBase.trimmed().isEmpty())
        return refuse(
            QStringLiteral("no address for the TLE server (TLE_SERVER), nothing updated"));
    if (request.UseArchive && request.ArchiveBase.trimmed().isEmpty())
        return refuse(
            QStringLiteral("no address for the TLE archive (TLE_ARCHIVE), nothing updated"));

    // The service counts needless requests against the caller's address:
    // within two hours of the last fetch it has nothing new to give.
    m_lastFetch = LastFetchTime(request.TleFilePath);
    if (request.UseServer && m_lastFetch && !request.Force) {
        if (const QString tooSoon = TooSoonText(*m_lastFetch, m_clock.UtcNow());
            !tooSoon.isEmpty()) {
            m_verdict = tooSoon;
            emit progressLine(tooSoon);
            emit finished(true);
            return true;
        }
    }

    // Only the server's pages are upper-cased, as they always have been; the
    // archive's file goes in as served.
    if (request.UseServer && m_ommFormat) {
        // OMM is case-sensitive (keys, XML tags): taken as served.
        const std::string_view format = ElementFormatName(*m_ommFormat);
        for (const QString& url : GpUrls(request.ServerBase,
                 QString::fromLatin1(format.data(), static_cast<qsizetype>(format.size()))))
            m_pages.append({ url, false, true });
    } else if (request.UseServer) {
        // Always with an explicit FORMAT: without one the service answers CSV.
        const QStringList urls = request.LegacyPaths
            ? ServerUrls(request.ServerBase)
            : GpUrls(request.ServerBase, QStringLiteral("tle"));
        for (const QString& url : urls)
            m_pages.append({ url, true, true });
    }
    if (request.UseArchive)
        m_pages.append({ ArchiveUrl(request.ArchiveBase), false, false });

    m_running = true;
    FetchNext();
    return true;
}

void ElementUpdate::Abort()
{
    if (!m_running)
        return;
    m_fetcher->Abort();
    Stop(QStringLiteral("update cancelled"));
}

void ElementUpdate::FetchNext()
{
    const Page& page = m_pages.at(m_next);
    emit progressLine(QStringLiteral("open ") + page.Url);
    // The archive is another service, with rules of its own: asked plainly.
    const auto since = page.Conditional ? m_lastFetch : std::nullopt;
    m_fetcher->FetchIfModifiedSince(
        QUrl(page.Url), since, [this](const FetchedPage& fetched) { OnPage(fetched); });
}

void ElementUpdate::OnPage(const FetchedPage& fetched)
{
    if (!m_running)
        return;
    const Page& page = m_pages.at(m_next);
    if (!fetched.Ok()) {
        Stop(QStringLiteral("failed %1: %2").arg(page.Url, fetched.error));
        return;
    }
    // The service publishes all its groups at once: one of them unchanged
    // means nothing newer is out, and the file already holds the newest.
    if (fetched.notModified && m_lastFetch) {
        EndWell(UnchangedText(*m_lastFetch));
        return;
    }
    // Bytes first: a NUL inside a name or number, or a page cut short
    // without a length, is damage no later reading can undo.
    if (const QString fault = PageBytesFault(fetched.body, fetched.contentLength >= 0);
        !fault.isEmpty()) {
        Stop(QStringLiteral("refused %1: %2").arg(page.Url, fault));
        return;
    }
    QString text = DecodePage(fetched.body);
    if (m_ommFormat) {
        if (!TakeOmmPage(fetched.body, text, page.Url))
            return;
        emit progressLine(QStringLiteral("ok"));
        m_collected = JoinPageText(m_collected, text);
        emit collectedTextChanged(m_collected);
        if (++m_next < m_pages.size()) {
            FetchNext();
            return;
        }
        WriteFile();
        return;
    }
    if (page.UpperCase)
        text = std::move(text).toUpper(); // in place: the page may be 32 MiB
    text = RemovePreTags(text);
    // An error or login page delivered with status 200 must never become the
    // element file; a page with no text at all adds nothing and is let pass.
    if (!IsBlankText(text) && !HoldsElementLines(text)) {
        Stop(QStringLiteral("refused %1: no element set in the page").arg(page.Url));
        return;
    }
    // Every record must be whole and believable: one damaged set means the
    // page was damaged, and the file keeps its last good contents.
    if (const QString fault = ElementRecordsFault(text); !fault.isEmpty()) {
        Stop(QStringLiteral("refused %1: %2").arg(page.Url, fault));
        return;
    }
    emit progressLine(QStringLiteral("ok"));
    m_collected = JoinPageText(m_collected, text);
    emit collectedTextChanged(m_collected);

    if (++m_next < m_pages.size()) {
        FetchNext();
        return;
    }
    WriteFile();
}

bool ElementUpdate::TakeOmmPage(const QByteArray& body, const QString& text, const QString& url)
{
    if (IsBlankText(text))
        return true;
    TleLoad load;
    try {
        // The archive's two-line text (in the PRE wrapper of old servers) is
        // read like the rest and converted; JSON and XML are read as served.
        const QByteArray cleaned = RemovePreTags(text).toUtf8();
        const ElementFormat format = DetectElementFormat(cleaned.toStdString());
        const bool asServed = format == ElementFormat::Json || format == ElementFormat::Xml;
        load = ReadElementData(asServed ? body : cleaned, url.toStdString(), TleSource::Download);
    } catch (const TleFileError& error) {
        // The error names its source, which is the URL already said.
        const QString where
            = error.Line() > 0 ? QStringLiteral("line %1: ").arg(error.Line()) : QString();
        Stop(QStringLiteral("refused %1: %2%3")
                 .arg(url, where, QString::fromStdString(error.Reason())));
        return false;
    }
    // As with two-line pages: one damaged record means the page was damaged,
    // and the catalogue keeps its last good contents.
    if (!load.Refused.empty()) {
        // DescribeTleIssue with no source name begins " line 6: ...".
        Stop(QStringLiteral("refused %1:").arg(url)
            + QString::fromStdString(DescribeTleIssue({}, load.Refused.front())));
        return false;
    }
    std::size_t taken = 0;
    for (int index = 1; index <= load.Table.SatCount(); ++index) {
        const SatRecord& record = load.Table.Record(index);
        if (record.HasElementSet()) {
            m_records.push_back(record);
            ++taken;
        }
    }
    // A group with nothing in it comes as a bare CSV header, "[]" or an empty
    // <ndm>: it adds nothing, like an empty page. Text of no OMM form without
    // a set (an error message) is refused.
    const bool emptyOmm = load.Format != ElementFormat::Tle;
    if (taken == 0 && !emptyOmm) {
        Stop(QStringLiteral("refused %1: no element set in the page").arg(url));
        return false;
    }
    return true;
}

void ElementUpdate::WriteFile()
{
    if (m_ommFormat) {
        const std::vector<SatRecord> merged = MergeByCatalogNumber(m_records);
        if (merged.empty()) {
            Stop(QStringLiteral("refused: the pages hold no element set"));
            return;
        }
        QString text = QString::fromUtf8(WriteElementData(merged, *m_ommFormat).Data);
        // ReplaceTleFile ends the file with the one line break.
        while (text.endsWith(u'\n') || text.endsWith(u'\r'))
            text.chop(1);
        const Result<void> replaced = ReplaceTleFile(
            m_request.TleFilePath, text, [this](const QString& line) { emit progressLine(line); });
        if (!replaced) {
            Stop(replaced.Error());
            return;
        }
        EndWell(QStringLiteral("... done"));
        return;
    }

    if (CountCompleteElementSets(m_collected) == 0) {
        Stop(QStringLiteral("refused: the pages hold no element set"));
        return;
    }
    const Result<void> replaced = ReplaceTleFile(m_request.TleFilePath, m_collected,
        [this](const QString& line) { emit progressLine(line); });
    if (!replaced) {
        Stop(replaced.Error());
        return;
    }
    EndWell(QStringLiteral("... done"));
}

void ElementUpdate::EndWell(const QString& line)
{
    m_running = false;
    m_verdict = line;
    emit progressLine(line);
    emit finished(true);
}

void ElementUpdate::Stop(const QString& reason)
{
    m_running = false;
    m_verdict = reason;
    emit progressLine(reason);
    emit progressLine(QStringLiteral("TLE file unchanged: ") + m_request.TleFilePath);
    emit finished(false);
}

} // namespace aostrack
