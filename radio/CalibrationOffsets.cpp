#include "radio/CalibrationOffsets.h"

#include "core/SettingsText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace aostrack {

QString OffsetsPathFor(const QString& iniPath)
{
    return QFileInfo(iniPath).absoluteDir().filePath(QStringLiteral("offsets.ini"));
}

Result<OffsetTable> ReadOffsets(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return OffsetTable {};
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return Failure { QStringLiteral("cannot read %1: %2").arg(path, file.errorString()) };
    OffsetTable table;
    int lineNumber = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList parts = line.split(u'=');
        const QStringList hz = parts.value(1).split(u',');
        bool okNumber = false;
        bool okRx = false;
        bool okTx = false;
        const int number = parts.value(0).trimmed().toInt(&okNumber);
        const double rx = hz.value(0).trimmed().toDouble(&okRx);
        const double tx = hz.value(1).trimmed().toDouble(&okTx);
        if (parts.size() != 2 || hz.size() != 2 || !okNumber || !okRx || !okTx || !std::isfinite(rx)
            || !std::isfinite(tx))
            return Failure { QStringLiteral(
                "%1 line %2: \"%3\" is not CATALOGUE_NUMBER=RX_HZ,TX_HZ")
                                 .arg(path)
                                 .arg(lineNumber)
                                 .arg(line.left(60)) };
        table.insert(number, { rx, tx });
    }
    return table;
}

Result<void> StoreOffsets(const QString& path, int catalogNumber, const CalibrationOffsets& offsets)
{
    const Result<OffsetTable> read = ReadOffsets(path);
    if (!read)
        return Failure { read.Error() };
    OffsetTable table = *read;
    if (table.value(catalogNumber) == offsets)
        return {};
    table.insert(catalogNumber, offsets);
    QString text = QStringLiteral("# Transceiver calibration in Hz per satellite: "
                                  "CATALOGUE_NUMBER=RX_HZ,TX_HZ\n");
    for (auto it = table.cbegin(); it != table.cend(); ++it)
        text += QStringLiteral("%1=%2,%3\n")
                    .arg(it.key())
                    .arg(QString::number(it->RxHz, 'g', 12), QString::number(it->TxHz, 'g', 12));
    return WriteSettingsFile(path, text);
}

} // namespace aostrack
