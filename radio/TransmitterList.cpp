#include "radio/TransmitterList.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>

namespace aostrack {
namespace {

std::optional<double> OptionalNumber(const QJsonObject& row, const char* key)
{
    const QJsonValue value = row.value(QLatin1String(key));
    if (!value.isDouble())
        return std::nullopt;
    return value.toDouble();
}

int CatalogNumberOf(const QJsonObject& row, const char* key)
{
    const QJsonValue value = row.value(QLatin1String(key));
    if (value.isDouble())
        return value.toInt();
    // Some dumps carry catalogue numbers as strings.
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : 0;
}

std::optional<double> ToneInDescription(const QString& description)
{
    static const QRegularExpression tone(
        QStringLiteral("(?:CTCSS|PL|tone)\\s*:?\\s*(\\d{2,3}(?:\\.\\d)?)\\s*Hz"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = tone.match(description);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toDouble();
}

Transmitter TransmitterFromJson(const QJsonObject& row)
{
    Transmitter t;
    t.Uuid = row.value(QLatin1String("uuid")).toString();
    t.Description = row.value(QLatin1String("description")).toString();
    t.Type = row.value(QLatin1String("type")).toString();
    t.Mode = row.value(QLatin1String("mode")).toString();
    t.UplinkMode = row.value(QLatin1String("uplink_mode")).toString();
    t.Status = row.value(QLatin1String("status")).toString();
    t.Alive = row.value(QLatin1String("alive")).toBool();
    t.Invert = row.value(QLatin1String("invert")).toBool();
    t.UplinkLowHz = OptionalNumber(row, "uplink_low");
    t.UplinkHighHz = OptionalNumber(row, "uplink_high");
    t.DownlinkLowHz = OptionalNumber(row, "downlink_low");
    t.DownlinkHighHz = OptionalNumber(row, "downlink_high");
    t.Baud = OptionalNumber(row, "baud");
    t.ListedCatalogNumber = CatalogNumberOf(row, "norad_cat_id");
    const int follow = CatalogNumberOf(row, "norad_follow_id");
    t.CatalogNumber = follow > 0 ? follow : t.ListedCatalogNumber;
    t.ToneHz = ToneInDescription(t.Description);
    return t;
}

} // namespace

Result<TransmitterList> ReadTransmitterList(const QString& path, bool allStatuses)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure { QStringLiteral("%1: %2").arg(path, file.errorString()) };
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        return Failure { QStringLiteral("%1: not a transmitter list: %2 at byte %3")
                             .arg(path, error.errorString())
                             .arg(error.offset) };
    if (!document.isArray())
        return Failure { QStringLiteral("%1: not a transmitter list: a JSON array of objects "
                                        "is expected")
                             .arg(path) };
    TransmitterList list;
    for (const QJsonValue& value : document.array()) {
        const QJsonObject row = value.toObject();
        if (!value.isObject() || !row.value(QLatin1String("uuid")).isString()) {
            ++list.SkippedDamaged;
            continue;
        }
        Transmitter t = TransmitterFromJson(row);
        // Older dumps have no status field: every row they hold was listed.
        const bool active = t.Status.isEmpty() || t.Status == QLatin1String("active");
        if (!active && !allStatuses) {
            ++list.SkippedByStatus;
            continue;
        }
        list.Rows.append(std::move(t));
    }
    return list;
}

TransmitterList MergeLocalTransmitters(TransmitterList imported, const TransmitterList& local)
{
    QHash<QString, qsizetype> position;
    for (qsizetype i = 0; i < imported.Rows.size(); ++i)
        position.insert(imported.Rows[i].Uuid, i);
    for (const Transmitter& row : local.Rows) {
        const auto found = position.constFind(row.Uuid);
        if (found != position.constEnd()) {
            imported.Rows[*found] = row;
        } else {
            position.insert(row.Uuid, imported.Rows.size());
            imported.Rows.append(row);
        }
    }
    return imported;
}

QList<Transmitter> TransmittersFromFrequencyRows(const QStringList& rows, int catalogNumber)
{
    QList<Transmitter> transmitters;
    const auto positiveField = [](const QStringList& fields, int index) -> std::optional<double> {
        bool ok = false;
        const double value = fields.value(index).trimmed().toDouble(&ok);
        return ok && value > 0 ? std::optional<double>(value) : std::nullopt;
    };
    for (const QString& row : rows) {
        const QStringList fields = row.split(QLatin1Char(','));
        const std::optional<double> downKHz = positiveField(fields, 1);
        if (!downKHz)
            continue;
        Transmitter t;
        t.Description = fields.value(5).trimmed();
        if (t.Description.isEmpty())
            t.Description = fields.value(3).trimmed();
        t.Mode = fields.value(3).trimmed();
        t.Status = QStringLiteral("active");
        t.Alive = true;
        t.DownlinkLowHz = *downKHz * 1000;
        if (const std::optional<double> upKHz = positiveField(fields, 2)) {
            t.UplinkLowHz = *upKHz * 1000;
            t.UplinkMode = t.Mode;
        }
        t.Type = t.UplinkLowHz ? QStringLiteral("Transceiver") : QStringLiteral("Transmitter");
        t.ToneHz = positiveField(fields, 4);
        t.CatalogNumber = t.ListedCatalogNumber = catalogNumber;
        transmitters.append(std::move(t));
    }
    return transmitters;
}

QList<Transmitter> TransmittersOf(const TransmitterList& list, int catalogNumber)
{
    QList<Transmitter> rows;
    for (const Transmitter& row : list.Rows)
        if (row.CatalogNumber == catalogNumber)
            rows.append(row);
    std::stable_sort(rows.begin(), rows.end(), [](const Transmitter& a, const Transmitter& b) {
        const bool aTransponder = a.Type == QLatin1String("Transponder");
        const bool bTransponder = b.Type == QLatin1String("Transponder");
        return aTransponder && !bTransponder;
    });
    return rows;
}

} // namespace aostrack
