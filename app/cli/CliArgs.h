#pragma once
// Argument reading shared by the subcommands of aostrack-cli. Every problem
// with the command line becomes a UsageError: one line on stderr, exit 2.
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <chrono>
#include <stdexcept>

namespace aostrack {

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message)
        : std::runtime_error(message.toStdString())
    {
    }
};

struct ParsedArgs {
    QHash<QString, QString> values; // "--tle" -> "amateur.txt"
    QSet<QString> flags; // "--json"

    bool Has(const QString& option) const
    {
        return values.contains(option) || flags.contains(option);
    }
    QString Value(const QString& option) const { return values.value(option); }
};

// Reads "--opt VALUE", "--opt=VALUE" and "--flag". An unknown option, a
// missing value, a repeated option or a stray word throws UsageError.
ParsedArgs ParseOptions(
    const QStringList& args, const QStringList& valueOptions, const QStringList& flagOptions);

// "YYYY-MM-DDTHH:MM:SSZ", a real calendar date and time of day, UTC; also
// "now", a blank for the T, no Z (UTC all the same), an offset "+01:00",
// "+0100" or "+01" instead of the Z, and fractions of a second (cut to the
// whole second). Anything else throws UsageError naming option.
std::chrono::sys_seconds ParseUtcInstant(
    const QString& text, const QString& option, std::chrono::sys_seconds now);
// The same with "now" read from the system clock.
std::chrono::sys_seconds ParseUtcInstant(const QString& text, const QString& option);
// The same form back: 2024-02-12T14:03:27Z.
QString FormatUtcInstant(std::chrono::sys_seconds instant);

// A finite decimal number with a full stop ("48.137", "-0.5", "1e3").
double ParseNumber(const QString& text, const QString& option);
// A number within [low, high].
double ParseNumberInRange(const QString& text, const QString& option, double low, double high);

// Writes UTF-8 text to stdout or stderr as it stands (no newline added).
void WriteOut(const QString& text);
void WriteErr(const QString& text);
// "aostrack-cli: <message>" as the one line on stderr; returns ExitUsage.
int ReportUsageError(const QString& message);

} // namespace aostrack
