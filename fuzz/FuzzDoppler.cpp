// doppler.sql: the frequency rows of a satellite, read from a file as the
// receiver controller reads them, and every row on its own.
#include "radio/FrequencyDatabase.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>

using namespace aostrack;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doppler.sql"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const FrequencyRows rows = ReadFrequencyRows(path, QStringLiteral("AO-7"));
    const FrequencyRows all = ReadFrequencyRows(path, QString());
    for (const QString& row : all.Rows) {
        (void)ParseFrequencyRow(row, QLocale::c()).Error();
        (void)ParseFrequencyRow(row, QLocale(QLocale::German, QLocale::Germany)).Error();
    }
    (void)rows;
    return 0;
}
