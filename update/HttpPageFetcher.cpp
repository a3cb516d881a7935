#include "update/HttpPageFetcher.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace aostrack {

HttpPageFetcher::HttpPageFetcher(
    std::chrono::milliseconds timeout, qint64 maxBytes, QObject* parent)
    : QObject(parent)
    , m_timeout(timeout)
    , m_maxBytes(maxBytes)
    , m_network(new QNetworkAccessManager(this))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this,
        [this] { Fail(QStringLiteral("no answer within %1 s").arg(m_timeout.count() / 1000.0)); });
}

HttpPageFetcher::~HttpPageFetcher()
{
    Abort();
}

void HttpPageFetcher::Fetch(const QUrl& url, std::function<void(const FetchedPage&)> done)
{
    Abort();
    m_done = std::move(done);
    m_failure.clear();

    QNetworkRequest request(url);
    request.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    // Element servers serve plain text; asking for it keeps some of them from
    // wrapping the file in an HTML page.
    request.setRawHeader("Accept", "text/plain, */*;q=0.5");
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("aostrack element update"));

    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::finished, this, &HttpPageFetcher::OnFinished);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > m_maxBytes)
            Fail(QStringLiteral("page larger than %1 bytes").arg(m_maxBytes));
    });
    m_timer.start(m_timeout);
}

void HttpPageFetcher::Abort()
{
    m_timer.stop();
    m_done = nullptr;
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void HttpPageFetcher::Fail(const QString& reason)
{
    // Abort makes the reply finish at once; OnFinished reports this reason
    // rather than "Operation canceled".
    if (m_reply && m_failure.isEmpty()) {
        m_failure = reason;
        m_reply->abort();
    }
}

void HttpPageFetcher::OnFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    m_timer.stop();
    m_reply = nullptr;
    reply->disconnect(this);
    reply->deleteLater();

    FetchedPage page;
    page.url = reply->request().url();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!m_failure.isEmpty()) {
        page.error = m_failure;
    } else if (status.isValid() && status.toInt() >= 400) {
        page.error
            = QStringLiteral("HTTP %1 %2")
                  .arg(status.toInt())
                  .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        page.error = page.error.trimmed();
    } else if (reply->error() != QNetworkReply::NoError) {
        page.error = reply->errorString();
    } else {
        page.body = reply->readAll();
        // A compressed body is unpacked on the way, so its length says
        // nothing about what arrives here.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const bool packed = !reply->rawHeader("Content-Encoding").isEmpty()
            && reply->rawHeader("Content-Encoding").toLower() != "identity";
        if (length.isValid() && !packed)
            page.contentLength = length.toLongLong();
        if (page.body.size() > m_maxBytes) {
            page.body.clear();
            page.error = QStringLiteral("page larger than %1 bytes").arg(m_maxBytes);
        } else if (page.contentLength >= 0 && page.body.size() != page.contentLength) {
            page.error = QStringLiteral("page cut short: %1 of %2 bytes")
                             .arg(page.body.size())
                             .arg(page.contentLength);
            page.body.clear();
        }
    }
    // The callback may start the next page, so it must not be the member that
    // Fetch overwrites while it runs.
    auto done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done(page);
}

} // namespace aostrack
