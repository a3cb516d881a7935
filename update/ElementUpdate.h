#pragma once
// One element update: load the pages of the ticked sources one after the
// other, check that they hold element sets, and replace the TLE file with
// their text, keeping the previous file as the backup. Asynchronous: the
// event loop (and so the tracking timer) runs while pages load.
//
// A two-line catalogue asks the server's GP service for its groups with
// FORMAT=tle; LegacyPaths asks for the static files that older mirrors still
// serve. The server is asked at most once per publication (two hours, told
// by the file's modification time) unless Force, and with If-Modified-Since:
// a 304 leaves the file as it is, which counts as success.
//
// A catalogue whose name ends in .csv, .json or .xml is an OMM catalogue: the
// server is asked for its GP pages in that form (two-line files cannot number
// the satellites launched since 2026), the archive's two-line text is
// converted, and the records of all pages are merged by catalogue number (the
// newest epoch wins) and written in the catalogue's own form.
#include "orbit/Clock.h"
#include "orbit/ElementFormat.h"
#include "orbit/ElementSet.h"
#include "update/HttpPageFetcher.h"

#include <optional>
#include <vector>

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

namespace aostrack {

struct UpdateRequest {
    QString TleFilePath; // the file the catalogue was loaded from
    QString ServerBase; // TLE_SERVER, e.g. "https://celestrak.org"
    QString ArchiveBase; // TLE_ARCHIVE, e.g. "https://www.amsat.org"
    bool UseServer = true; // Check1: the three server pages, upper-cased
    bool UseArchive = false; // Check2: the archive's combined file
    bool LegacyPaths = false; // TLE_PATHS=LEGACY: the server's static files, not GP queries
    bool Force = false; // ask the server even within two hours of the last fetch
    bool operator==(const UpdateRequest&) const = default;
};

class ElementUpdate : public QObject {
    Q_OBJECT
public:
    // Uses an HttpPageFetcher with the default 30 s time-out when fetcher is null.
    // The update's "now" is the real clock: it is compared with file times.
    explicit ElementUpdate(
        std::unique_ptr<PageFetcher> fetcher = nullptr, QObject* parent = nullptr);
    // clock must outlive the update.
    ElementUpdate(
        std::unique_ptr<PageFetcher> fetcher, const Clock& clock, QObject* parent = nullptr);
    ~ElementUpdate() override;

    // Starts an update; false (and nothing happens) while one is running.
    // Progress comes as progressLine signals, the end as finished.
    bool Start(const UpdateRequest& request);
    bool IsRunning() const { return m_running; }
    // Stops a running update; the TLE file stays as it was.
    void Abort();

    // The cleaned text collected so far (what the window shows as Text1).
    const QString& CollectedText() const { return m_collected; }
    // The last line of the last update that ended, the one that says how
    // (a failure's reason, "unchanged since ...", "... done").
    const QString& Verdict() const { return m_verdict; }

signals:
    // A new update begins: the progress and the collected text start empty.
    void started();
    void progressLine(const QString& line);
    void collectedTextChanged(const QString& text);
    // ok: the TLE file now holds the newest element sets, because it was
    // replaced or because the server has nothing newer (a 304, or the last
    // fetch lies under two hours back); false: a failure left it as it was.
    void finished(bool ok);

private:
    struct Page {
        QString Url;
        bool UpperCase = false;
        bool Conditional = false; // from the server: sent with If-Modified-Since
    };
    void FetchNext();
    void OnPage(const FetchedPage& page);
    bool TakeOmmPage(const QByteArray& body, const QString& text, const QString& url);
    void WriteFile();
    void Stop(const QString& reason);
    void EndWell(const QString& line);

    std::unique_ptr<Clock> m_ownClock;
    const Clock& m_clock;
    std::unique_ptr<PageFetcher> m_fetcher;
    std::optional<std::chrono::sys_seconds> m_lastFetch;
    QString m_verdict;
    UpdateRequest m_request;
    QList<Page> m_pages;
    qsizetype m_next = 0;
    QString m_collected;
    std::optional<ElementFormat> m_ommFormat; // set for an OMM catalogue
    std::vector<SatRecord> m_records; // the OMM catalogue's records so far
    bool m_running = false;
};

} // namespace aostrack
