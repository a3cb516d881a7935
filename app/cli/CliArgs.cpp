#include "app/cli/CliArgs.h"

#include "core/NearestName.h"
#include "core/SystemClock.h"
#include "core/UtcText.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdio>

namespace aostrack {

ParsedArgs ParseOptions(
    const QStringList& args, const QStringList& valueOptions, const QStringList& flagOptions)
{
    ParsedArgs parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString word = args[i];
        // -h: the short form every tool knows.
        if (word == QLatin1String("-h") && flagOptions.contains(QLatin1String("--help")))
            word = QStringLiteral("--help");
        if (!word.startsWith(QLatin1String("--")) || word.size() == 2)
            throw UsageError(QStringLiteral("unexpected argument \"%1\"").arg(word));
        QString inlineValue;
        bool hasInlineValue = false;
        const qsizetype eq = word.indexOf(QLatin1Char('='));
        if (eq > 0) {
            inlineValue = word.mid(eq + 1);
            word = word.left(eq);
            hasInlineValue = true;
        }
        if (parsed.Has(word))
            throw UsageError(QStringLiteral("%1 given twice").arg(word));
        if (valueOptions.contains(word)) {
            if (hasInlineValue) {
                parsed.values.insert(word, inlineValue);
            } else {
                if (i + 1 >= args.size())
                    throw UsageError(QStringLiteral("%1 needs a value").arg(word));
                parsed.values.insert(word, args[++i]);
            }
        } else if (flagOptions.contains(word)) {
            if (hasInlineValue)
                throw UsageError(QStringLiteral("%1 takes no value").arg(word));
            parsed.flags.insert(word);
        } else {
            throw UsageError(
                QStringLiteral("unknown option %1%2")
                    .arg(word, DidYouMean(NearestNames(word, valueOptions + flagOptions))));
        }
    }
    return parsed;
}

std::chrono::sys_seconds ParseUtcInstant(const QString& text, const QString& option)
{
    return ParseUtcInstant(text, option, SystemClock().UtcNow());
}

std::chrono::sys_seconds ParseUtcInstant(
    const QString& text, const QString& option, std::chrono::sys_seconds now)
{
    using namespace std::chrono;
    if (text.trimmed().compare(QLatin1String("now"), Qt::CaseInsensitive) == 0)
        return now;
    // ISO 8601 as RFC 3339 writes it: a blank may stand for the T, the Z may
    // be left out (UTC) or be an offset, and fractions of a second are cut.
    static const QRegularExpression form(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})[Tt ](\\d{2}):(\\d{2}):(\\d{2})(?:[.,]\\d+)?"
                       "(?:([Zz])|([+-])(\\d{2})(?::?(\\d{2}))?)?$"));
    const auto match = form.match(text.trimmed());
    const auto bad = [&] {
        return UsageError(
            QStringLiteral("%1: \"%2\" is not a UTC time of the form YYYY-MM-DDTHH:MM:SSZ")
                .arg(option, text));
    };
    if (!match.hasMatch())
        throw bad();
    const year_month_day date { year { match.captured(1).toInt() },
        month { static_cast<unsigned>(match.captured(2).toInt()) },
        day { static_cast<unsigned>(match.captured(3).toInt()) } };
    const int h = match.captured(4).toInt();
    const int m = match.captured(5).toInt();
    const int s = match.captured(6).toInt();
    const int offsetH = match.captured(9).toInt();
    const int offsetM = match.captured(10).toInt();
    if (!date.ok() || h > 23 || m > 59 || s > 59 || offsetH > 23 || offsetM > 59)
        throw bad();
    // Local time = UTC + offset: 14:00+01:00 is 13:00Z.
    const int offsetSign = match.captured(8) == QLatin1String("-") ? -1 : 1;
    const minutes offset { offsetSign * (offsetH * 60 + offsetM) };
    return sys_days { date } + hours { h } + minutes { m } + seconds { s } - offset;
}

QString FormatUtcInstant(std::chrono::sys_seconds instant)
{
    return UtcInstantText(instant);
}

double ParseNumber(const QString& text, const QString& option)
{
    bool ok = false;
    // QString::toDouble reads the C locale: a full stop whatever the station's
    // regional settings, as the other numbers on a command line.
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw UsageError(QStringLiteral("%1: \"%2\" is not a number").arg(option, text));
    return value;
}

double ParseNumberInRange(const QString& text, const QString& option, double low, double high)
{
    const double value = ParseNumber(text, option);
    if (value < low || value > high)
        throw UsageError(
            QStringLiteral("%1: %2 is outside %3 to %4").arg(option, text).arg(low).arg(high));
    return value;
}

void WriteOut(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

void WriteErr(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

int ReportUsageError(const QString& message)
{
    QString line = message;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    WriteErr(QStringLiteral("aostrack-cli: %1\n").arg(line));
    return ExitUsage;
}

} // namespace aostrack
