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

void SetModified(const QString& path, const QDateTime& time)
{
    QFile file(path);
    if (file.open(QIODevice::ReadWrite))
        file.setFileTime(time, QFileDevice::FileModificationTime);
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
    // Python's folder server, except that a query names a file of its own:
    // /NORAD/elements/gp.php?GROUP=amateur&FORMAT=csv is the file
    // /NORAD/elements/gp.php/GROUP=amateur&FORMAT=csv, as a GP service answers
    // each query with another page. A file "<that>.answer" is sent raw
    // instead, and every request is logged with the headers the service
    // reads. If-Modified-Since against the file's time gives 304, as python's
    // own server does.
    static const char* script
        = "import functools, http.server, os, sys\n"
          "port, folder, log = int(sys.argv[1]), sys.argv[2], sys.argv[3]\n"
          "class Handler(http.server.SimpleHTTPRequestHandler):\n"
          "    def translate_path(self, path):\n"
          "        base, _, query = path.partition('?')\n"
          "        if query:\n"
          "            base = base + '/' + query.replace('/', '_')\n"
          "        return super().translate_path(base)\n"
          "    def do_GET(self):\n"
          "        with open(log, 'a') as out:\n"
          "            out.write('\\t'.join([self.path, self.headers.get('If-Modified-Since', "
          "''),\n"
          "                self.headers.get('User-Agent', '')]) + '\\n')\n"
          "        answer = self.translate_path(self.path) + '.answer'\n"
          "        if os.path.isfile(answer):\n"
          "            self.close_connection = True\n"
          "            with open(answer, 'rb') as raw:\n"
          "                self.wfile.write(raw.read())\n"
          "            return\n"
          "        super().do_GET()\n"
          "handler = functools.partial(Handler, directory=folder)\n"
          "http.server.ThreadingHTTPServer(('127.0.0.1', port), handler).serve_forever()\n";
    return StartProcess(QStringLiteral("python3"),
        { QStringLiteral("-c"), QString::fromLatin1(script),
            QString::number(m_port = FreeLoopbackPort()), m_dir.path(), LogPath() });
}

bool HttpFolderServer::StartTls()
{
    const QString cert = m_keys.filePath(QStringLiteral("cert.pem"));
    const QString key = m_keys.filePath(QStringLiteral("key.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
        { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
            QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
            QStringLiteral("1"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
            QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert });
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
        return false;
    static const char* script
        = "import functools, http.server, ssl, sys\n"
          "port, folder, cert, key = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]\n"
          "handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=folder)\n"
          "server = http.server.ThreadingHTTPServer(('127.0.0.1', port), handler)\n"
          "context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)\n"
          "context.load_cert_chain(cert, key)\n"
          "server.socket = context.wrap_socket(server.socket, server_side=True)\n"
          "server.serve_forever()\n";
    m_tls = true;
    return StartProcess(QStringLiteral("python3"),
        { QStringLiteral("-c"), QString::fromLatin1(script),
            QString::number(m_port = FreeLoopbackPort()), m_dir.path(), cert, key });
}

bool HttpFolderServer::StartProcess(const QString& program, const QStringList& args)
{
    if (m_port == 0)
        return false;
    // Its request log goes to stderr; the tests read results, not the log.
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(program, args);
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
    return QStringLiteral("%1://127.0.0.1:%2").arg(m_tls ? "https" : "http").arg(m_port);
}

void HttpFolderServer::Put(const QString& path, const QByteArray& bytes)
{
    WriteAll(m_dir.path() + path, bytes);
}

void HttpFolderServer::Answer(const QString& path, const QByteArray& rawAnswer)
{
    WriteAll(m_dir.path() + path + QStringLiteral(".answer"), rawAnswer);
}

QString HttpFolderServer::LogPath() const
{
    return m_keys.filePath(QStringLiteral("requests.log"));
}

QStringList HttpFolderServer::Requests() const
{
    QString text = QString::fromUtf8(ReadAll(LogPath()));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

} // namespace aostrack::test
