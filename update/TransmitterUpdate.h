#pragma once
// The transmitter list update: one page of the SatNOGS DB
// (/api/transmitters/?format=json) replaces the TRANSMITTERS file, with the
// element update's safety: the page is taken only when it is whole (a JSON
// array of objects that each carry a uuid), the previous file becomes
// "<file>_old", the new one takes its name in one step, and a failure
// leaves the file as it was. The operator's TRANSMITTERS_LOCAL is another
// file and never written here.
#include "update/HttpPageFetcher.h"

#include <QObject>
#include <QString>
#include <memory>

namespace aostrack {

inline constexpr const char* kDefaultTransmitterServer = "https://db.satnogs.org";

// TRANSMITTER_SERVER + "/api/transmitters/?format=json" (one slash between).
QString TransmitterListUrl(const QString& serverBase);

// Empty when body is a whole transmitter list; else why not ("not JSON: ...
// at byte N", "row 12 has no uuid", "the list is empty").
QString TransmitterPageFault(const QByteArray& body);

class TransmitterUpdate : public QObject {
    Q_OBJECT
public:
    // fetcher: null for the real HTTP one with the default time-out.
    explicit TransmitterUpdate(
        std::unique_ptr<PageFetcher> fetcher = nullptr, QObject* parent = nullptr);
    ~TransmitterUpdate() override;

    // Starts loading; false (and nothing happens) while one is running.
    bool Start(const QString& filePath, const QString& serverBase);
    bool IsRunning() const { return m_running; }
    void Abort();
    // The line that said how the last update ended.
    const QString& Verdict() const { return m_verdict; }

signals:
    void progressLine(const QString& line);
    // ok: the file was replaced; false: it is as it was.
    void finished(bool ok);

private:
    void OnPage(const FetchedPage& page);
    void End(bool ok, const QString& line);

    std::unique_ptr<PageFetcher> m_fetcher;
    QString m_filePath;
    QString m_url;
    QString m_verdict;
    bool m_running = false;
};

} // namespace aostrack
