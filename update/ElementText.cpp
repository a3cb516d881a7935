#include "update/ElementText.h"

#include <QStringDecoder>

namespace aostrack {

QString DecodePage(const QByteArray& body)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(body);
    if (utf8.hasError())
        return QString::fromLatin1(body);
    return text;
}

QString RemovePreTags(QString text)
{
    text.remove(QStringLiteral("<PRE>"));
    text.remove(QStringLiteral("</PRE>"));
    return text;
}

QString JoinPageText(const QString& collected, const QString& body)
{
    if (collected.isEmpty() || body.isEmpty() || collected.endsWith(QLatin1Char('\n'))
        || collected.endsWith(QLatin1Char('\r')))
        return collected + body;
    return collected + QStringLiteral("\r\n") + body;
}

int CountCompleteElementSets(const QString& text)
{
    // Line ends may be CR LF, LF or CR; empty pieces between CR and LF are
    // blank lines, which the reader skips anyway.
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    int complete = 0;
    bool inRecord = false;
    bool haveLine1 = false;
    bool haveLine2 = false;
    const auto closeRecord = [&] {
        if (inRecord && haveLine1 && haveLine2)
            ++complete;
    };
    for (const QStringView line : QStringView(normalised).split(QLatin1Char('\n'))) {
        // Element lines are recognised by their first two characters as read,
        // without trimming: " 1 ..." is a name line.
        if (line.startsWith(QLatin1String("1 "))) {
            haveLine1 = true;
        } else if (line.startsWith(QLatin1String("2 "))) {
            haveLine2 = true;
        } else if (!line.trimmed().isEmpty()) {
            closeRecord();
            inRecord = true;
            haveLine1 = false;
            haveLine2 = false;
        }
    }
    closeRecord();
    return complete;
}

bool IsBlankText(const QString& text)
{
    return text.trimmed().isEmpty();
}

} // namespace aostrack
