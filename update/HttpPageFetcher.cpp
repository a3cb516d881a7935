#include "update/HttpPageFetcher.h"

#include "core/Version.h"
#include "update/ElementText.h"

#include <QDateTime>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace aostrack {

namespace {

// What the network layer may hold of a page before it waits for us to take
// it: the server's pace no longer decides how much sits in memory.
constexpr qint64 kReadBufferBytes = 256 * 1024;

// RFC 9110's date form, always in English and GMT.
QByteArray HttpDate(std::chrono::sys_seconds instant)
{
    const QDateTime time
        = QDateTime::fromSecsSinceEpoch(instant.time_since_epoch().count(), Qt::UTC);
    return QLocale::c()
        .toString(time, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
        .toLatin1();
}

QString LargerThan(qint64 maxBytes)
{
    return QStringLiteral("page larger than %1 bytes").arg(maxBytes);
}

} // namespace

QString UpdateUserAgent()
{
    const QString url = QLatin1String(kProjectUrl);
    return QStringLiteral("aostrack/%1 (+%2)")
        .arg(QLatin1String(kProgramVersion), url.isEmpty() ? QStringLiteral("no URL") : url);
}

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
    FetchIfModifiedSince(url, std::nullopt, std::move(done));
}

void HttpPageFetcher::FetchIfModifiedSince(const QUrl& url,
    std::optional<std::chrono::sys_seconds> since, std::function<void(const FetchedPage&)> done)
{
    Abort();
    m_done = std::move(done);
    m_failure.clear();
    m_body.clear();
    m_at = url;

    QNetworkRequest request(url);
    // Each redirect is judged in OnRedirected: a service that moved to
    // another host counts the requests it bounces as errors.
    request.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    // Element servers serve plain text; asking for it keeps some of them from
    // wrapping the file in an HTML page.
    request.setRawHeader("Accept", "text/plain, */*;q=0.5");
    request.setHeader(QNetworkRequest::UserAgentHeader, UpdateUserAgent());
    if (since)
        request.setRawHeader("If-Modified-Since", HttpDate(*since));

    m_reply = m_network->get(request);
    m_reply->setReadBufferSize(kReadBufferBytes);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpPageFetcher::OnReadyRead);
    connect(m_reply, &QNetworkReply::redirected, this, &HttpPageFetcher::OnRedirected);
    connect(m_reply, &QNetworkReply::finished, this, &HttpPageFetcher::OnFinished);
    m_timer.start(m_timeout);
}

void HttpPageFetcher::Abort()
{
    m_timer.stop();
    m_done = nullptr;
    m_body.clear();
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void HttpPageFetcher::OnReadyRead()
{
    if (!m_reply || !m_failure.isEmpty())
        return;
    // A page of announced length is collected in one block: no copies as it grows.
    if (m_body.isEmpty()) {
        const qint64 length = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (length > 0)
            m_body.reserve(std::min(length, m_maxBytes) + 1);
    }
    const QByteArray chunk = m_reply->read(m_maxBytes - m_body.size() + 1);
    m_body += chunk;
    if (m_body.size() > m_maxBytes) {
        m_body.clear();
        Fail(LargerThan(m_maxBytes));
    }
}

void HttpPageFetcher::OnRedirected(const QUrl& target)
{
    if (!m_reply)
        return;
    // The reply may already carry the new address: judge from our own record.
    const QUrl from = m_at;
    if (target.host().compare(from.host(), Qt::CaseInsensitive) != 0) {
        Fail(QStringLiteral("redirected to another host, %1: not followed (a moved service? "
                            "check the address)")
                 .arg(target.toString()));
        return;
    }
    if (from.scheme() == QLatin1String("https") && target.scheme() != QLatin1String("https")) {
        Fail(QStringLiteral("redirected from https to %1: not followed").arg(target.toString()));
        return;
    }
    m_at = target;
    emit m_reply->redirectAllowed();
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
    OnReadyRead();
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
        // The service's own words say why (a repeated download, a blocked
        // address), which the status alone does not.
        if (const QString words = RefusalText(m_body); !words.isEmpty())
            page.error += QStringLiteral(": ") + words;
    } else if (reply->error() != QNetworkReply::NoError) {
        page.error = reply->errorString().trimmed();
        // Qt stops a page that unpacks to a great many times its packed size
        // (a compression bomb) with "Decompression failed:" and no reason.
        if (page.error.endsWith(QLatin1Char(':')))
            page.error += QStringLiteral(
                " the packed page unpacks to far more than it could hold (a compression bomb?)");
        else if (page.error.isEmpty())
            page.error = QStringLiteral("network error %1").arg(reply->error());
    } else if (status.toInt() == 304) {
        page.notModified = true;
    } else {
        page.body = std::move(m_body);
        // A compressed body is unpacked on the way, so its length says
        // nothing about what arrives here.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const bool packed = !reply->rawHeader("Content-Encoding").isEmpty()
            && reply->rawHeader("Content-Encoding").toLower() != "identity";
        if (length.isValid() && !packed)
            page.contentLength = length.toLongLong();
        if (page.contentLength >= 0 && page.body.size() != page.contentLength) {
            page.error = QStringLiteral("page cut short: %1 of %2 bytes")
                             .arg(page.body.size())
                             .arg(page.contentLength);
            page.body.clear();
        }
    }
    m_body.clear();
    // The callback may start the next page, so it must not be the member that
    // Fetch overwrites while it runs.
    auto done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done(page);
}

} // namespace aostrack
