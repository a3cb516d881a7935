#include "CliRunner.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace aostrack::test {

namespace {
QStringList SplitLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
} // namespace

QStringList CliResult::ErrLines() const
{
    return SplitLines(err);
}
QStringList CliResult::OutLines() const
{
    return SplitLines(out);
}

CliResult RunCli(const QStringList& args, int timeoutMs)
{
    return RunProgram(QStringLiteral(AOSTRACK_BIN_DIR "/aostrack-cli"), args, timeoutMs);
}

CliResult RunProgram(const QString& program, const QStringList& args, int timeoutMs,
    const QStringList& extraEnvironment)
{
    QProcess process;
    if (!extraEnvironment.isEmpty())
        process.setEnvironment(QProcess::systemEnvironment() + extraEnvironment);
    process.start(program, args);
    CliResult result;
    if (!process.waitForStarted(timeoutMs))
        return result;
    process.closeWriteChannel();
    result.finished
        = process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit;
    if (!result.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QString ExampleFile(const QString& name)
{
    return QStringLiteral(AOSTRACK_SOURCE_DIR "/examples/") + name;
}

bool CopyTwoLineExampleStation(const QString& dir)
{
    for (const char* name : { "amateur.txt", "doppler.sql", "transmitters.json" })
        if (!QFile::copy(ExampleFile(QString::fromLatin1(name)), QDir(dir).filePath(name)))
            return false;
    QFile example(ExampleFile(QStringLiteral("sat.ini")));
    QFile ini(QDir(dir).filePath(QStringLiteral("sat.ini")));
    if (!example.open(QIODevice::ReadOnly) || !ini.open(QIODevice::WriteOnly))
        return false;
    QByteArray text = example.readAll();
    text.replace("\nTLEFILE=amateur.csv\r\n", "\nTLEFILE=amateur.txt\r\n");
    return text.contains("\nTLEFILE=amateur.txt\r\n") && ini.write(text) == text.size();
}

} // namespace aostrack::test
