// aostrack-cli convert: a catalogue written in another form for other tools,
// for instance the two-line file an older tracker needs from today's CSV.
#include "app/cli/CatalogArgs.h"
#include "app/cli/CliArgs.h"
#include "app/cli/Commands.h"

#include "core/ElementFile.h"
#include "update/TleFileReplace.h"

namespace aostrack {

namespace {

QString ConvertHelp()
{
    return QStringLiteral(
        "Usage: aostrack-cli convert --tle FILE --to tle|csv|json|xml [--out FILE]\n"
        "\n"
        "Reads an element file in any of the four forms (two-line, OMM CSV, JSON or\n"
        "XML, told from the content) and writes its element sets in the form --to\n"
        "names: two-line sets with Alpha-5 numbers from 100000, CSV with the GP\n"
        "service's header, one JSON array, or one NDM/XML document of OMM records.\n"
        "Numbers above 339999 do not fit the two-line columns: those satellites are\n"
        "left out of two-line output and named in one line on stderr.\n"
        "\n"
        "  --tle FILE     the element file to read\n"
        "  --to FORMAT    tle, csv, json or xml\n"
        "  --out FILE     write here (replaced whole, or not at all) instead of stdout\n"
        "\n"
        "Exit codes: 0 written, 1 the output file could not be written,\n"
        "2 bad arguments or an unreadable element file.\n"
        "Example:\n"
        "  aostrack-cli convert --tle amateur.csv --to tle --out amateur.txt\n");
}

} // namespace

int RunConvertCommand(const QStringList& argList)
{
    const ParsedArgs args = ParseOptions(argList,
        { QStringLiteral("--tle"), QStringLiteral("--to"), QStringLiteral("--out") },
        { QStringLiteral("--help") });
    if (args.Has(QStringLiteral("--help"))) {
        WriteOut(ConvertHelp());
        return ExitOk;
    }
    if (!args.Has(QStringLiteral("--tle")) || !args.Has(QStringLiteral("--to")))
        throw UsageError(QStringLiteral("convert needs --tle FILE and --to tle|csv|json|xml"));
    const QString to = args.Value(QStringLiteral("--to"));
    const std::optional<ElementFormat> format = ElementFormatFromName(to.toStdString());
    if (!format)
        throw UsageError(QStringLiteral("--to: \"%1\" is none of tle, csv, json, xml").arg(to));

    const QString tlePath = args.Value(QStringLiteral("--tle"));
    const TleLoad load = LoadCatalogue(tlePath);
    std::vector<SatRecord> records;
    for (int index = 1; index <= load.Table.SatCount(); ++index) {
        if (load.Table.Record(index).HasElementSet())
            records.push_back(load.Table.Record(index));
    }
    if (records.empty())
        throw UsageError(QStringLiteral("%1 holds no element set").arg(tlePath));

    const ElementWrite written = WriteElementData(records, *format);
    if (!written.LeftOut.empty()) {
        QStringList names;
        for (const std::string& name : written.LeftOut)
            names << QString::fromStdString(name);
        WriteErr(QStringLiteral("aostrack-cli: numbered above 339999, left out of two-line "
                                "output: %1\n")
                     .arg(names.join(QStringLiteral(", "))));
    }

    if (!args.Has(QStringLiteral("--out"))) {
        WriteOut(QString::fromUtf8(written.Data));
        return ExitOk;
    }
    // The same write as the element update's: a full disk says so.
    const Result<void> saved = WriteWholeFile(args.Value(QStringLiteral("--out")), written.Data);
    if (!saved) {
        WriteErr(QStringLiteral("aostrack-cli: ") + saved.Error() + u'\n');
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace aostrack
