#pragma once
// hamlib's rigctld with its dummy rig (model 1, which keeps frequencies, split,
// VFO B, modes and tone) on a free loopback port, and a connection of the
// test's own that reads back what the rig was set to.
#include "Rotctld.h"

#include <QByteArray>
#include <QProcess>
#include <QTcpSocket>
#include <cctype>

namespace aostrack::test {

class DummyRig {
public:
    bool Start()
    {
        m_port = FreeLoopbackPort();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start(QStringLiteral("rigctld"),
            { "-m", "1", "-T", "127.0.0.1", "-t", QString::number(m_port) });
        if (!m_process.waitForStarted(5000))
            return false;
        return WaitFor([this] {
            m_query.abort();
            m_query.connectToHost(QHostAddress::LocalHost, m_port);
            return m_query.waitForConnected(200);
        });
    }
    ~DummyRig()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    quint16 Port() const { return m_port; }
    // The answer of a read command ("f", "i": one line; "s", "x", "m": two)
    // or of a set command (as the operator's dial: "F 435650000"),
    // lines joined by a blank.
    QByteArray Ask(const QByteArray& command)
    {
        m_query.write(command + '\n');
        QByteArray answer;
        // A set command ("F 435650000") answers with one RPRT line.
        const bool oneLine = command == "f" || command == "i" || std::isupper(command.at(0));
        const int lines = oneLine ? 1 : 2;
        while (answer.count('\n') < lines && m_query.waitForReadyRead(2000))
            answer += m_query.readAll();
        return answer.trimmed().replace('\n', ' ');
    }

private:
    QProcess m_process;
    QTcpSocket m_query;
    quint16 m_port = 0;
};

} // namespace aostrack::test
