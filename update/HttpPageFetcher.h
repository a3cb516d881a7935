#pragma once
// Loading one web page at a time: the network edge of the element update.
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace aostrack {

// The outcome of one page load. error is empty on success and otherwise
// names the reason ("HTTP 404 Not Found", "no answer within 30 s", the
// network layer's own text for DNS and TLS failures); a refusal that came
// with a text gives its first line after the status ("HTTP 403 Forbidden:
// GP data has not updated since ...").
struct FetchedPage {
    QUrl url;
    QByteArray body;
    QString error;
    // The length the server announced for body (already checked against it),
    // -1 when it gave none: then only a final line break shows the page is whole.
    qint64 contentLength = -1;
    // The server answered 304: nothing newer than the time asked about (Ok, no body).
    bool notModified = false;
    bool Ok() const { return error.isEmpty(); }
    bool operator==(const FetchedPage&) const = default;
};

// Anything that can load a page asynchronously; done runs later, on the
// event loop, exactly once per Fetch unless Abort comes first.
class PageFetcher {
public:
    virtual ~PageFetcher() = default;
    virtual void Fetch(const QUrl& url, std::function<void(const FetchedPage&)> done) = 0;
    // As Fetch, asking the server for the page only when it changed after
    // since (If-Modified-Since); a fetcher that cannot ask just fetches.
    virtual void FetchIfModifiedSince(const QUrl& url,
        std::optional<std::chrono::sys_seconds> since, std::function<void(const FetchedPage&)> done)
    {
        static_cast<void>(since);
        Fetch(url, std::move(done));
    }
    // Drops the page being loaded; its done is never called.
    virtual void Abort() = 0;
};

// The User-Agent every request carries, so that a service can tell who
// calls: "aostrack/<version> (+<project URL or "no URL">)".
QString UpdateUserAgent();

// QNetworkAccessManager-based fetcher: follows redirects within the same host
// (never from https to http) and stops at one to another host, fails on an
// HTTP status of 400 or more, on a body shorter or longer than its
// Content-Length, and gives up on a page that is not complete within timeout
// or grows beyond maxBytes. The body is taken as it arrives through a small
// read buffer, so neither limit depends on how fast or how long the server
// sends.
class HttpPageFetcher : public QObject, public PageFetcher {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultTimeout { 30000 };
    static constexpr qint64 DefaultMaxBytes = 32 * 1024 * 1024;

    explicit HttpPageFetcher(std::chrono::milliseconds timeout = DefaultTimeout,
        qint64 maxBytes = DefaultMaxBytes, QObject* parent = nullptr);
    ~HttpPageFetcher() override;

    void Fetch(const QUrl& url, std::function<void(const FetchedPage&)> done) override;
    void FetchIfModifiedSince(const QUrl& url, std::optional<std::chrono::sys_seconds> since,
        std::function<void(const FetchedPage&)> done) override;
    void Abort() override;

private:
    void OnReadyRead();
    void OnRedirected(const QUrl& target);
    void OnFinished();
    void Fail(const QString& reason);

    std::chrono::milliseconds m_timeout;
    qint64 m_maxBytes;
    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer m_timer;
    QString m_failure;
    QByteArray m_body;
    QUrl m_at; // the address being loaded, after the redirects followed so far
    std::function<void(const FetchedPage&)> m_done;
};

} // namespace aostrack
