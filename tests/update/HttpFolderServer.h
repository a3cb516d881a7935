#pragma once
// A real HTTP server for the element-update tests: Python's http.server on a
// free loopback port, serving a temporary folder that the test fills.
#include <QDateTime>
#include <QProcess>
#include <QString>
#include <QStringList>
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
    // Answers path (as Put names it) with these raw bytes, status line and
    // headers included, instead of its file: a refusal, a redirect.
    void Answer(const QString& path, const QByteArray& rawAnswer);
    // The requests so far, one "<path and query>\t<If-Modified-Since>\t<User-Agent>"
    // each (Start's server only).
    QStringList Requests() const;
    QString Folder() const { return m_dir.path(); }

private:
    QString LogPath() const;
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
// Gives the file this modification time (as an update hours ago would have).
void SetModified(const QString& path, const QDateTime& time);

} // namespace aostrack::test
