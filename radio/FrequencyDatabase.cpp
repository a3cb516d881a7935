#include "radio/FrequencyDatabase.h"

#include <QFile>
#include <QStringDecoder>

#include "core/NumberText.h"

namespace aostrack {

namespace {

constexpr int kFieldsPerRow = 6;

// The database is written on Windows in the ANSI code page by most tools, in
// UTF-8 by newer ones; the names and notes we show must survive either.
QString DecodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

// CR LF, LF and CR all end a line; a last line without an end counts too.
QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

bool IsBlank(const QString& line)
{
    return line.trimmed().isEmpty();
}

} // namespace

Result<FrequencyRowFields> ParseFrequencyRow(const QString& line, const QLocale& locale)
{
    const QStringList fields = line.split(u',');
    if (fields.size() < kFieldsPerRow)
        return Failure { QStringLiteral("fewer than six fields") };
    // A comma can never be part of a field here, so a full stop reads as the
    // decimal point in every region, never as a thousands separator: in a
    // decimal-comma locale "435.100" would otherwise put the receiver a
    // factor 1000 off.
    const std::optional<double> freq = ReadStrict(fields.at(1), locale);
    if (!freq)
        return Failure { QStringLiteral("frequency \"%1\" is not a number").arg(fields.at(1)) };
    return FrequencyRowFields { *freq, fields.at(3).trimmed() };
}

FrequencyRows ReadFrequencyRows(const QString& path, const QString& satName, const QLocale& locale)
{
    FrequencyRows result;
    if (path.isEmpty()) {
        result.OpenError = QStringLiteral("no file name given");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.OpenError = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.OpenError = file.errorString();
        return result;
    }
    file.close();
    result.Opened = true;

    const QStringList lines = SplitLines(DecodeText(bytes));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        // Only the very first character makes a comment.
        if (line.startsWith(u';') || IsBlank(line))
            continue;
        if (const Result<FrequencyRowFields> row = ParseFrequencyRow(line, locale); !row) {
            result.Skipped.append({ static_cast<int>(i + 1), line, row.Error() });
            continue;
        }
        const QString key = line.section(u',', 0, 0);
        if (key.isEmpty() || satName.contains(key, Qt::CaseSensitive))
            result.Rows.append(line);
    }
    return result;
}

} // namespace aostrack
