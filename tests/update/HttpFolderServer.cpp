#include "HttpFolderServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace aostrack::test {

quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

HttpFolderServer::HttpFolderServer() = default;

HttpFolderServer::~HttpFolderServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
}

bool HttpFolderServer::Start()
{
    m_port = FreeLoopbackPort();
    if (m_port == 0)
        return false;
    // Its request log goes to stderr; the tests read results, not the log.
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("python3"),
                    { QStringLiteral("-m"), QStringLiteral("http.server"), QStringLiteral("--bind"),
                      QStringLiteral("127.0.0.1"), QString::number(m_port),
                      QStringLiteral("--directory"), m_dir.path() });
    if (!m_process.waitForStarted(10000))
        return false;
    // The server is up once it accepts a connection; poll, it takes a moment.
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_port);
        if (probe.waitForConnected(500))
            return true;
        if (m_process.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(50);
    }
    return false;
}

QString HttpFolderServer::BaseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

void HttpFolderServer::Put(const QString& path, const QByteArray& bytes)
{
    WriteAll(m_dir.path() + path, bytes);
}

} // namespace aostrack::test
