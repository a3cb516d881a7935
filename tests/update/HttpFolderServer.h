#pragma once
// A real HTTP server for the element-update tests: Python's http.server on a
// free loopback port, serving a temporary folder that the test fills.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace aostrack::test {

class HttpFolderServer {
public:
    HttpFolderServer();
    ~HttpFolderServer();

    // Starts python3's http.server; false when it did not come up within 20 s.
    // A request with a query is answered from its own file (see GpPagePath).
    bool Start();
    // The same server behind TLS with a fresh self-signed certificate (made
    // with the openssl tool), which no client trusts; false when it could not start.
    bool StartTls();
    // "http://127.0.0.1:<port>" ("https://..." after StartTls)
    QString BaseUrl() const;
    // Writes a file below the served folder (path like "/NORAD/elements/a.txt").
    void Put(const QString& path, const QByteArray& bytes);
    QString Folder() const { return m_dir.path(); }

private:
    bool StartProcess(const QString& program, const QStringList& args);

    QTemporaryDir m_dir;
    QTemporaryDir m_keys;
    bool m_tls = false;
    QProcess m_process;
    quint16 m_port = 0;
};

// Where Put stores the page of the GP-service query
// /NORAD/elements/gp.php?GROUP=<group>&FORMAT=<format>.
inline QString GpPagePath(const QString& group, const QString& format)
{
    return QStringLiteral("/NORAD/elements/gp.php/GROUP=%1&FORMAT=%2").arg(group, format);
}

// A free loopback TCP port (bound once and released).
quint16 FreeLoopbackPort();

// Reads a whole file; empty when it does not exist.
QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);

} // namespace aostrack::test
