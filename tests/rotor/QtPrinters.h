#pragma once
// Readable gtest failure messages for Qt's string types.
#include <QByteArray>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << '"'
        << QString::fromLatin1(bytes)
               .replace(QLatin1Char('\r'), QStringLiteral("\\r"))
               .toStdString()
        << '"';
}
