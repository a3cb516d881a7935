// aostrack-cli's arguments: the option reader, the instant and number forms,
// and the whole "state" command on the example element file. The input is
// the argument list, arguments separated by NUL bytes.
#include "app/cli/CliArgs.h"
#include "app/cli/Commands.h"

#include <QStringList>
#include <cstdint>

using namespace aostrack;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QStringList args;
    for (const QByteArray& piece :
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\0'))
        args << QString::fromUtf8(piece);
    if (args.size() > 16)
        return 0;
    try {
        const ParsedArgs parsed = ParseOptions(args,
            { QStringLiteral("--at"), QStringLiteral("--sat"), QStringLiteral("--lat"),
                QStringLiteral("--for") },
            { QStringLiteral("--json") });
        if (parsed.Has(QStringLiteral("--at")))
            (void)FormatUtcInstant(ParseUtcInstant(parsed.Value(QStringLiteral("--at")), "--at"));
        if (parsed.Has(QStringLiteral("--lat")))
            (void)ParseNumberInRange(parsed.Value(QStringLiteral("--lat")), "--lat", -90, 90);
        if (parsed.Has(QStringLiteral("--for")))
            (void)ParseNumber(parsed.Value(QStringLiteral("--for")), "--for");
    } catch (const UsageError&) {
    }
    // The command itself, kept away from other files than the example's.
    for (const QString& arg : args)
        if (arg.contains(QStringLiteral("--tle")) || arg.contains(QStringLiteral("--config"))
            || arg.contains(QStringLiteral("--help")))
            return 0;
    // Only UsageError is the tool's way to refuse arguments: anything else
    // escaping a command would end aostrack-cli with an abort.
    try {
        RunStateCommand(
            QStringList { QStringLiteral("--tle"),
                QStringLiteral(AOSTRACK_SOURCE_DIR "/examples/amateur.txt"),
                QStringLiteral("--lat"), QStringLiteral("48.1"), QStringLiteral("--lon"),
                QStringLiteral("11.6"), QStringLiteral("--height"), QStringLiteral("0.5") }
            + args);
    } catch (const UsageError&) {
    }
    return 0;
}
