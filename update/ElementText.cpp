#include "update/ElementText.h"

#include "core/TextExcerpt.h"
#include "orbit/Tle.h"

#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <sstream>

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

bool HoldsElementLines(const QString& text)
{
    for (qsizetype at = 0; at < text.size();) {
        if (text.mid(at, 2) == QLatin1String("1 ") || text.mid(at, 2) == QLatin1String("2 "))
            return true;
        const qsizetype lf = text.indexOf(QLatin1Char('\n'), at);
        const qsizetype cr = text.indexOf(QLatin1Char('\r'), at);
        if (lf < 0 && cr < 0)
            break;
        at = (lf < 0 ? cr : (cr < 0 ? lf : std::min(lf, cr))) + 1;
    }
    return false;
}

bool IsBlankText(const QString& text)
{
    // Without trimmed(), which copies a page that may be 32 MiB.
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSpace(); });
}

QString PageBytesFault(const QByteArray& body, bool lengthKnown)
{
    int line = 1;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const auto byte = static_cast<unsigned char>(body[i]);
        if (byte == '\n')
            ++line;
        if ((byte < 0x20 && byte != '\n' && byte != '\r') || byte == 0x7F)
            return QStringLiteral("control character 0x%1 in line %2")
                .arg(QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0')))
                .arg(line);
    }
    if (!lengthKnown && !body.isEmpty() && !body.endsWith('\n') && !body.endsWith('\r'))
        return QStringLiteral("page ends inside a line and the server gave no length: cut short");
    return {};
}

QString ElementRecordsFault(const QString& text)
{
    // One copy of a page that may be 32 MiB, read where it lies.
    const std::string bytes = text.toStdString();
    // OMM text (whose reader would also take CSV) is no two-line text.
    if (DetectElementFormat(bytes) != ElementFormat::Tle)
        return QStringLiteral("not two-line element text");
    const TleLoad load = ReadElementText(bytes, "page", TleSource::Download);
    if (!load.Refused.empty()) {
        const TleRecordIssue& issue = load.Refused.front();
        return QStringLiteral("line %1: %2: %3 %4")
            .arg(issue.Line)
            .arg(InputExcerpt(QString::fromStdString(issue.SatName)),
                QString::fromStdString(issue.Field), QString::fromStdString(issue.Reason));
    }
    if (load.IgnoredElementLines > 0)
        return QStringLiteral("line %1: element line without a name line")
            .arg(load.FirstIgnoredLine);
    return {};
}

QString RefusalText(const QByteArray& body)
{
    constexpr qsizetype kMaxChars = 160;
    // Only the start is read: a refusal says why in its first words.
    const QString text = DecodePage(body.left(4 * kMaxChars));
    if (text.trimmed().startsWith(QLatin1Char('<')))
        return {};
    for (const QString& rawLine : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QChar c : rawLine) {
            if (c.category() != QChar::Other_Control)
                line += c;
        }
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (line.size() > kMaxChars)
            line = line.left(kMaxChars) + QStringLiteral("...");
        return line;
    }
    return {};
}

} // namespace aostrack
