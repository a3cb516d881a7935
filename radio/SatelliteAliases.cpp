#include "radio/SatelliteAliases.h"

#include "core/Configuration.h"

#include <QFile>
#include <QRegularExpression>

namespace aostrack {

QList<SatelliteAlias> ReadFrequencyAliases(const QString& path)
{
    QList<SatelliteAlias> aliases;
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return aliases;
    const QString text = DecodeSettingsText(file.readAll());
    // OSCAR numbers and their kin: AO-7, QO-100, RS-44, CAS-4A.
    static const QRegularExpression designator(QStringLiteral("\\b[A-Z]{2,4}-\\d{1,3}[A-Z]?\\b"));
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    for (const QString& line : text.split(lineEnd)) {
        if (line.startsWith(QLatin1Char(';')))
            continue;
        const QStringList fields = line.split(QLatin1Char(','));
        if (fields.size() < 6 || fields[0].trimmed().isEmpty())
            continue;
        const QString& key = fields[0];
        // A remark may hold commas of its own.
        const QString remark = fields.mid(5).join(QLatin1Char(','));
        for (auto it = designator.globalMatch(remark); it.hasNext();) {
            const SatelliteAlias alias { it.next().captured(), key };
            if (!key.contains(alias.Alias, Qt::CaseInsensitive) && !aliases.contains(alias))
                aliases << alias;
        }
    }
    return aliases;
}

} // namespace aostrack
