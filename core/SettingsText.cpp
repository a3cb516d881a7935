#include "core/SettingsText.h"

#include "core/Configuration.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace aostrack {

namespace {

// A line with its own ending, so that CR LF files stay CR LF.
struct TextLine {
    QString body;
    QString ending;
};

QList<TextLine> SplitKeepingEnds(const QString& text)
{
    QList<TextLine> lines;
    TextLine current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            current.body += c;
            continue;
        }
        current.ending = c;
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            current.ending += text[++i];
        lines.append(current);
        current = {};
    }
    if (!current.body.isEmpty())
        lines.append(current);
    return lines;
}

// The key of a setting line as the reader sees it; empty for comments and
// lines without "=".
QString KeyOf(const QString& line)
{
    if (line.startsWith(QLatin1Char('#')))
        return QString();
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return QString();
    QString key = line.left(equals);
    while (key.startsWith(QLatin1Char(' ')))
        key.remove(0, 1);
    while (key.endsWith(QLatin1Char(' ')))
        key.chop(1);
    return key;
}

} // namespace

QString RewriteSettingsText(const QString& text, const QList<SettingChange>& changes)
{
    QList<TextLine> lines = SplitKeepingEnds(text);
    const QString ending = lines.isEmpty() || lines.front().ending.isEmpty() ? QStringLiteral("\n")
                                                                             : lines.front().ending;
    for (const SettingChange& change : changes) {
        bool found = false;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (KeyOf(lines[i].body) != change.Key)
                continue;
            found = true;
            if (change.Value) {
                lines[i].body = change.Key + QLatin1Char('=') + *change.Value;
            } else {
                lines.removeAt(i--);
            }
        }
        if (!found && change.Value) {
            if (!lines.isEmpty() && lines.back().ending.isEmpty())
                lines.back().ending = ending;
            lines.append({ change.Key + QLatin1Char('=') + *change.Value, ending });
        }
    }
    QString result;
    for (const TextLine& line : std::as_const(lines))
        result += line.body + line.ending;
    return result;
}

QString SettingValue(const QString& text, const QString& key)
{
    QString value;
    for (const TextLine& line : SplitKeepingEnds(text)) {
        if (KeyOf(line.body) == key)
            value = line.body.mid(line.body.indexOf(QLatin1Char('=')) + 1).trimmed();
    }
    return value;
}

Result<QString> EditSettingsText(
    const QString& text, const QList<SettingChange>& changes, const QString& iniPath)
{
    const QString edited = RewriteSettingsText(text, changes);
    try {
        ParseConfiguration(edited, QFileInfo(iniPath).absolutePath(), QLocale(),
            QDir::toNativeSeparators(QFileInfo(iniPath).absoluteFilePath()));
    } catch (const StartupError& error) {
        return Failure { QString::fromUtf8(error.what()) };
    }
    return edited;
}

Result<void> WriteSettingsFile(const QString& path, const QString& text)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return Failure { QStringLiteral("cannot make the folder %1").arg(info.absolutePath()) };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure { QStringLiteral("cannot write %1: %2").arg(path, file.errorString()) };
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit())
        return Failure { QStringLiteral("cannot write %1: %2").arg(path, file.errorString()) };
    return {};
}

} // namespace aostrack
