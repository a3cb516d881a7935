#pragma once
// Runs the built aostrack-cli as a child process and collects what it wrote.
#include <QString>
#include <QStringList>

namespace aostrack::test {

struct CliResult {
    int exitCode = -1;
    bool finished = false; // false: it crashed or hung past the time limit
    QString out;
    QString err;
    // stderr split into lines (without the final empty piece).
    QStringList ErrLines() const;
    QStringList OutLines() const;
};

// aostrack-cli from the build's bin folder; timeoutMs is a generous upper
// limit, not an expectation of speed.
CliResult RunCli(const QStringList& args, int timeoutMs = 60000);
// The same for another copy of the program.
CliResult RunProgram(const QString& program, const QStringList& args, int timeoutMs = 60000,
    const QStringList& extraEnvironment = {});

// Path of a file of the example station in the source tree.
QString ExampleFile(const QString& name);

} // namespace aostrack::test
