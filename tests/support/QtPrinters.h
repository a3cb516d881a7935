#pragma once
// Readable gtest messages for Qt's texts and byte strings (a CR shown as \r,
// so that device lines can be read in a failure).
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

// gtest looks for PrintTo in the namespace of the printed type.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '[' << list.join(QStringLiteral("\", \"")).prepend('"').append('"').toStdString() << ']';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << '"'
        << QString::fromLatin1(bytes)
               .replace(QLatin1Char('\r'), QStringLiteral("\\r"))
               .toStdString()
        << '"';
}
QT_END_NAMESPACE
