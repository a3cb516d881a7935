#include "app/cli/CatalogArgs.h"

#include "app/cli/CliArgs.h"
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

void ReportIgnoredRecords(const TleLoad& load, const QString& tlePath)
{
    for (const TleRecordIssue& issue : load.Refused)
        WriteErr(QStringLiteral("aostrack-cli: %1 (record refused)\n")
                     .arg(QString::fromStdString(DescribeTleIssue(tlePath.toStdString(), issue))));
}

} // namespace aostrack
