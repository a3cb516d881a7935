// Damaged downloads never replace the TLE file: a hostile server on loopback
// answers with pages cut short (with and without a length), NUL bytes inside
// names and numbers, wrong checksums and impossible numbers; each update stops
// with the URL and the reason and leaves the file and its backup alone.
#include "orbit/Tle.h"
#include "update/ElementText.h"
#include "update/ElementUpdate.h"

#include "HttpFolderServer.h"
#include "UpdatePages.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using test::ReadAll;
using test::WriteAll;

// Answers every request with the same raw bytes, then closes the connection
// (which is how an HTTP/1.0 server without a length ends its page).
class ScriptedHttpServer {
public:
    explicit ScriptedHttpServer(QByteArray response)
        : m_response(std::move(response))
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_request += socket->readAll();
                    if (!m_request.contains("\r\n\r\n"))
                        return;
                    m_request.clear();
                    socket->write(m_response);
                    socket->disconnectFromHost();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    bool Listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    QString BaseUrl() const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    }

private:
    QTcpServer m_server;
    QByteArray m_response;
    QByteArray m_request;
};

QByteArray WithLength(const QByteArray& body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray WithoutLength(const QByteArray& body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body;
}

QByteArray RealAmateurFile()
{
    return test::ReadAll(QStringLiteral(AOSTRACK_SOURCE_DIR "/tests/orbit/data/amateur.txt"));
}

// amateur.txt cut inside line 2 of its tenth set: nine sets and a half line,
// what used to become a 9-record TLE file with a mean motion of 0.
QByteArray CutAmateurFile()
{
    const QByteArray file = RealAmateurFile();
    qsizetype at = 0;
    for (int line = 0; line < 29; ++line)
        at = file.indexOf('\n', at) + 1;
    return file.left(at + 40);
}

TEST(DamagedPage, RefusedWithUrlAndReasonFileUntouched)
{
    QByteArray nulInName = test::AmateurPage;
    nulInName[3] = '\0';
    QByteArray nulInNumber = test::AmateurPage;
    nulInNumber[nulInNumber.indexOf("12.536")] = '\0';
    QByteArray badChecksum = test::AmateurPage;
    badChecksum[badChecksum.size() - 2] = '0'; // line 2 checksum 1 written as 0
    QByteArray hugeMeanMotion = test::AmateurPage;
    hugeMeanMotion.replace("12.53672066", "1E+300     ");
    // with a checksum that matches, as a careful forger would write it
    const qsizetype line2 = hugeMeanMotion.indexOf("\n2 ") + 1;
    hugeMeanMotion[line2 + 68] = static_cast<char>(
        '0' + TleChecksum(std::string_view(hugeMeanMotion.constData() + line2, 69)));

    struct Case {
        const char* what;
        QByteArray response;
        QString reason; // after "refused <url>: " or "failed <url>: "
    };
    const Case cases[] = {
        { "cut inside an element line, honest length", WithLength(CutAmateurFile()),
            "refused|line 30: ISS (ZARYA): line 2 is 40 columns long" },
        { "HTTP/1.0 cut short without a length", WithoutLength(CutAmateurFile()),
            "refused|page ends inside a line and the server gave no length: cut short" },
        { "HTTP/1.0 cut after a whole line",
            WithoutLength(CutAmateurFile().left(CutAmateurFile().lastIndexOf('\n') + 1)),
            "refused|line 28: ISS (ZARYA): line 2 is missing" },
        { "NUL inside a name", WithLength(nulInName), "refused|control character 0x00 in line 1" },
        { "NUL inside a number", WithLength(nulInNumber),
            "refused|control character 0x00 in line 3" },
        { "length larger than the page",
            "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nConnection: close\r\n\r\n"
                + test::AmateurPage,
            "failed|" },
        { "wrong checksum", WithLength(badChecksum),
            "refused|line 3: OSCAR 7 (AO-7): line 2 checksum is 0, its digits give 1" },
        { "mean motion 1E+300", WithLength(hugeMeanMotion),
            "refused|line 3: OSCAR 7 (AO-7): MeanMotion 1e+300 is outside 0.01 to 20 rev/day" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedHttpServer server(c.response);
        ASSERT_TRUE(server.Listen());
        QTemporaryDir station;
        const QString tle = station.filePath("keps.txt");
        WriteAll(tle, test::OldTleFile);

        ElementUpdate update;
        QStringList progress;
        QObject::connect(&update, &ElementUpdate::progressLine,
            [&progress](const QString& line) { progress << line; });
        QSignalSpy finished(&update, &ElementUpdate::finished);
        ASSERT_TRUE(update.Start({ tle, server.BaseUrl(), server.BaseUrl(), true, false }));
        ASSERT_TRUE(finished.wait(20000));
        EXPECT_FALSE(finished.first().first().toBool());

        const QString url = server.BaseUrl() + "/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle";
        const QStringList expected = QString(c.reason).split('|');
        ASSERT_EQ(progress.size(), 3) << progress.join('\n').toStdString();
        EXPECT_TRUE(progress[1].startsWith(expected[0] + " " + url + ": " + expected[1]))
            << progress[1].toStdString();
        EXPECT_EQ(progress[2], "TLE file unchanged: " + tle);
        EXPECT_EQ(ReadAll(tle), test::OldTleFile);
        EXPECT_FALSE(QFile::exists(tle + "_old"));
    }
}

TEST(DamagedPage, WholePagesPass)
{
    // The real file and the pages of the other update tests are accepted.
    EXPECT_EQ(PageBytesFault(RealAmateurFile(), false), "");
    EXPECT_EQ(ElementRecordsFault(DecodePage(RealAmateurFile()).toUpper()), "");
    EXPECT_EQ(ElementRecordsFault(QString::fromLatin1(test::ServerText)), "");
    // With a length, a page may end without a line break.
    EXPECT_EQ(PageBytesFault(test::NewPage, true), "");
    EXPECT_NE(PageBytesFault(test::NewPage, false), "");
    // CR LF line ends are line ends, a tab or an escape is not.
    EXPECT_EQ(PageBytesFault("A\r\nB\r\n", false), "");
    EXPECT_EQ(PageBytesFault("A\tB\n", false), "control character 0x09 in line 1");
    EXPECT_EQ(PageBytesFault("A\n\x1B[2J\n", false), "control character 0x1B in line 2");
}

} // namespace
} // namespace aostrack
