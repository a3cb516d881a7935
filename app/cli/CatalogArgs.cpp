#include "app/cli/CatalogArgs.h"

#include "app/cli/CliArgs.h"
#include "core/ElementFile.h"
#include "orbit/CatalogNumber.h"

namespace aostrack {

int FindCatalogNumber(const SatTable& table, const QString& text, const QString& tlePath)
{
    const QString number = text.trimmed();
    bool allDigits = !number.isEmpty() && number.size() <= 9;
    for (const QChar c : number)
        allDigits = allDigits && c >= u'0' && c <= u'9';
    const int wanted = allDigits ? number.toInt() : 0;
    if (wanted < 1 || wanted > MaxCatalogNumber)
        throw UsageError(
            QStringLiteral("--norad: \"%1\" is not a catalogue number (1 to 999999999)").arg(text));
    for (int index = 1; index <= table.SatCount(); ++index) {
        if (table.Record(index).Elements.CatalogNumber == wanted)
            return index;
    }
    throw UsageError(
        QStringLiteral("--norad: no satellite numbered %1 in %2").arg(wanted).arg(tlePath));
}

namespace {

void ReportIssues(
    const std::vector<TleRecordIssue>& issues, const QString& tlePath, const QString& verdict)
{
    constexpr std::size_t shown = 10;
    const std::string file = tlePath.toStdString();
    for (std::size_t i = 0; i < issues.size() && i < shown; ++i)
        WriteErr(QStringLiteral("aostrack-cli: %1 (%2)\n")
                     .arg(QString::fromStdString(DescribeTleIssue(file, issues[i])), verdict));
    if (issues.size() > shown)
        WriteErr(QStringLiteral("aostrack-cli: %1: %2 more (%3)\n")
                     .arg(tlePath)
                     .arg(issues.size() - shown)
                     .arg(verdict));
}

} // namespace

TleLoad LoadCatalogue(const QString& tlePath)
{
    TleLoad load;
    try {
        load = LoadTleFile(tlePath);
    } catch (const TleFileError& error) {
        throw UsageError(QString::fromStdString(error.what()));
    }
    ReportIssues(load.Refused, tlePath, QStringLiteral("record refused"));
    ReportIssues(load.Warnings, tlePath, QStringLiteral("warning, record kept"));
    if (load.SatCount == 0)
        throw UsageError(QStringLiteral("%1 holds no element set").arg(tlePath));
    return load;
}

} // namespace aostrack
