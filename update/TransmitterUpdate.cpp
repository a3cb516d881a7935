#include "update/TransmitterUpdate.h"

#include "update/TleFileReplace.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace aostrack {

QString TransmitterListUrl(const QString& serverBase)
{
    QString base = serverBase.trimmed();
    while (base.endsWith(u'/'))
        base.chop(1);
    return base + QStringLiteral("/api/transmitters/?format=json");
}

QString TransmitterPageFault(const QByteArray& body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral("not JSON: %1 at byte %2").arg(error.errorString()).arg(error.offset);
    if (!document.isArray())
        return QStringLiteral("not a list of transmitters (a JSON array is expected)");
    const QJsonArray rows = document.array();
    // An empty answer would wipe every frequency of the station.
    if (rows.isEmpty())
        return QStringLiteral("the list is empty");
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonValue uuid = rows.at(i).toObject().value(QLatin1String("uuid"));
        if (!rows.at(i).isObject() || uuid.toString().isEmpty())
            return QStringLiteral("row %1 is not a transmitter with a uuid").arg(i + 1);
    }
    return {};
}

TransmitterUpdate::TransmitterUpdate(std::unique_ptr<PageFetcher> fetcher, QObject* parent)
    : QObject(parent)
    , m_fetcher(fetcher ? std::move(fetcher) : std::make_unique<HttpPageFetcher>())
{
}

TransmitterUpdate::~TransmitterUpdate()
{
    m_fetcher->Abort();
}

bool TransmitterUpdate::Start(const QString& filePath, const QString& serverBase)
{
    if (m_running)
        return false;
    m_filePath = filePath;
    m_verdict.clear();
    if (filePath.trimmed().isEmpty()) {
        m_verdict = QStringLiteral("no transmitter file (TRANSMITTERS), nothing updated");
        emit progressLine(m_verdict);
        emit finished(false);
        return true;
    }
    m_running = true;
    m_url = TransmitterListUrl(
        serverBase.trimmed().isEmpty() ? QLatin1String(kDefaultTransmitterServer) : serverBase);
    emit progressLine(QStringLiteral("open ") + m_url);
    m_fetcher->Fetch(QUrl(m_url), [this](const FetchedPage& page) { OnPage(page); });
    return true;
}

void TransmitterUpdate::Abort()
{
    if (!m_running)
        return;
    m_fetcher->Abort();
    End(false, QStringLiteral("update cancelled"));
}

void TransmitterUpdate::OnPage(const FetchedPage& page)
{
    if (!m_running)
        return;
    if (!page.Ok())
        return End(false, QStringLiteral("failed %1: %2").arg(m_url, page.error));
    if (const QString fault = TransmitterPageFault(page.body); !fault.isEmpty())
        return End(false, QStringLiteral("refused %1: %2").arg(m_url, fault));
    emit progressLine(QStringLiteral("ok"));
    const Result<void> replaced = ReplaceFileKeepingBackup(m_filePath, page.body,
        QStringLiteral("transmitter"), [this](const QString& line) { emit progressLine(line); });
    if (!replaced)
        return End(false, replaced.Error());
    End(true, QStringLiteral("... done"));
}

void TransmitterUpdate::End(bool ok, const QString& line)
{
    m_running = false;
    m_verdict = line;
    emit progressLine(line);
    if (!ok)
        emit progressLine(QStringLiteral("transmitter file unchanged: ") + m_filePath);
    emit finished(ok);
}

} // namespace aostrack
