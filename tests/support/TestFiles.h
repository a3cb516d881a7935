#pragma once
// Writing the small station files (sat.ini, element sets, doppler.sql) that
// the tests put in their temporary folders.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace aostrack {

inline void WriteTestFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

// The example station (sat.ini, doppler.sql, transmitters.json) in dir, tracking from the
// two-line sets of February 2024 (amateur.txt) that the tests' instants are
// chosen for; its own sat.ini names the 2026 catalogue.
inline bool CopyTwoLineExampleStation(const QString& dir)
{
    const QString examples = QStringLiteral(AOSTRACK_SOURCE_DIR "/examples/");
    QFile ini(examples + QStringLiteral("sat.ini"));
    if (!ini.open(QIODevice::ReadOnly)
        || !QFile::copy(examples + QStringLiteral("amateur.txt"),
            QDir(dir).filePath(QStringLiteral("amateur.txt")))
        || !QFile::copy(examples + QStringLiteral("doppler.sql"),
            QDir(dir).filePath(QStringLiteral("doppler.sql")))
        || !QFile::copy(examples + QStringLiteral("transmitters.json"),
            QDir(dir).filePath(QStringLiteral("transmitters.json"))))
        return false;
    QByteArray text = ini.readAll();
    text.replace("\nTLEFILE=amateur.csv\r\n", "\nTLEFILE=amateur.txt\r\n");
    QFile copy(QDir(dir).filePath(QStringLiteral("sat.ini")));
    return copy.open(QIODevice::WriteOnly) && copy.write(text) == text.size();
}

} // namespace aostrack
