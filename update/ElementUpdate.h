#pragma once
// One element update: load the pages of the ticked sources one after the
// other, check that they hold element sets, and replace the TLE file with
// their text, keeping the previous file as the backup. Asynchronous: the
// event loop (and so the tracking timer) runs while pages load.
//
// A catalogue whose name ends in .csv, .json or .xml is an OMM catalogue: the
// server is asked for its GP pages in that form (two-line files cannot number
// the satellites launched since 2026), the archive's two-line text is
// converted, and the records of all pages are merged by catalogue number (the
// newest epoch wins) and written in the catalogue's own form.
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
    bool UseServer = true; // Check1: the three server files, upper-cased
    bool UseArchive = false; // Check2: the archive's combined file
    bool operator==(const UpdateRequest&) const = default;
};

class ElementUpdate : public QObject {
    Q_OBJECT
public:
    // Uses an HttpPageFetcher with the default 30 s time-out when fetcher is null.
    explicit ElementUpdate(
        std::unique_ptr<PageFetcher> fetcher = nullptr, QObject* parent = nullptr);
    ~ElementUpdate() override;

    // Starts an update; false (and nothing happens) while one is running.
    // Progress comes as progressLine signals, the end as finished.
    bool Start(const UpdateRequest& request);
    bool IsRunning() const { return m_running; }
    // Stops a running update; the TLE file stays as it was.
    void Abort();

    // The cleaned text collected so far (what the window shows as Text1).
    const QString& CollectedText() const { return m_collected; }

signals:
    // A new update begins: the progress and the collected text start empty.
    void started();
    void progressLine(const QString& line);
    void collectedTextChanged(const QString& text);
    // replaced: the TLE file now holds the new element sets.
    void finished(bool replaced);

private:
    struct Page {
        QString Url;
        bool UpperCase = false;
    };
    void FetchNext();
    void OnPage(const FetchedPage& page);
    bool TakeOmmPage(const QByteArray& body, const QString& text, const QString& url);
    void WriteFile();
    void Stop(const QString& reason);

    std::unique_ptr<PageFetcher> m_fetcher;
    UpdateRequest m_request;
    QList<Page> m_pages;
    qsizetype m_next = 0;
    QString m_collected;
    std::optional<ElementFormat> m_ommFormat; // set for an OMM catalogue
    std::vector<SatRecord> m_records; // the OMM catalogue's records so far
    bool m_running = false;
};

} // namespace aostrack
