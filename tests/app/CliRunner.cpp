#include "CliRunner.h"

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

} // namespace aostrack::test
