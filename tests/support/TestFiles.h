#pragma once
// Writing the small station files (sat.ini, element sets, doppler.sql) that
// the tests put in their temporary folders.
#include <QByteArray>
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

} // namespace aostrack
