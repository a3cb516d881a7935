#include "update/ElementText.h"

#include "orbit/Tle.h"

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
    // The catalogue's own reader decides what a line is, so what passes here
    // is exactly what LoadTleFile will list after the update.
    const std::string bytes = text.toStdString();
    // JSON, XML or CSV does not belong in a two-line catalogue.
    if (DetectElementFormat(bytes) != ElementFormat::Tle)
        return 0;
    const TleLoad load = ReadElementText(bytes, "downloaded text");
    int complete = 0;
    for (int index = 1; index <= load.SatCount; ++index) {
        const SatRecord& record = load.Table.Record(index);
        if (!record.Line1.empty() && !record.Line2.empty())
            ++complete;
    }
    return complete;
}

bool IsBlankText(const QString& text)
{
    return text.trimmed().isEmpty();
}

} // namespace aostrack
