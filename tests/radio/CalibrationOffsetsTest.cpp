// offsets.ini holds hand-measured calibrations the operator cannot recreate
// in the middle of a pass: a change to one satellite keeps the others, a
// damaged file is never overwritten, and an unchanged value writes nothing.
#include "radio/CalibrationOffsets.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST(CalibrationOffsets, StoringKeepsTheOtherSatellitesAndNeverOverwritesADamagedFile)
{
    struct Case {
        const char* name;
        QByteArray before; // "<missing>": no file
        int catalogNumber;
        CalibrationOffsets store;
        QByteArray after; // "" : the file must be left byte for byte as it was
        const char* error; // part of the failure, or nullptr
    };
    const QByteArray header = "# Transceiver calibration in Hz per satellite: "
                              "CATALOGUE_NUMBER=RX_HZ,TX_HZ\n";
    const Case cases[] = {
        { "first offset of a new station", "<missing>", 44909, { 120, -80 },
            header + "44909=120,-80\n", nullptr },
        { "a change keeps the other satellite", "27607=-35.5,12\n44909=120,-80\n", 44909,
            { 150, -80 }, header + "27607=-35.5,12\n44909=150,-80\n", nullptr },
        { "an unchanged value writes nothing", "# mine\n44909=120,-80\n", 44909, { 120, -80 }, "",
            nullptr },
        { "a damaged line stops the write", "27607=-35.5,12\n44909=12O,-80\n", 27607, { 0, 0 }, "",
            "line 2" },
        { "a number of satellite that is not one", "ISS=1,2\n", 25544, { 5, 5 }, "", "line 1" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = OffsetsPathFor(dir.filePath(QStringLiteral("sat.ini")));
        if (c.before != "<missing>")
            WriteAll(path, c.before);
        const Result<void> stored = StoreOffsets(path, c.catalogNumber, c.store);
        EXPECT_EQ(ReadAll(path), c.after.isEmpty() ? c.before : c.after);
        if (c.error) {
            ASSERT_FALSE(stored);
            EXPECT_TRUE(stored.Error().contains(path)) << stored.Error().toStdString();
            EXPECT_TRUE(stored.Error().contains(QLatin1String(c.error)))
                << stored.Error().toStdString();
            continue;
        }
        ASSERT_TRUE(stored) << stored.Error().toStdString();
        const Result<OffsetTable> read = ReadOffsets(path);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->value(c.catalogNumber), c.store);
    }
}

} // namespace
} // namespace aostrack
