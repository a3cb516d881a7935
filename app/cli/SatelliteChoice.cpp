#include "app/cli/SatelliteChoice.h"

#include "app/cli/CliArgs.h"
#include "core/DataPanel.h"
#include "core/TextExcerpt.h"

#include <cmath>
#include <functional>

namespace aostrack {
namespace {

constexpr int kMatchesListed = 5;

bool AllDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!c.isDigit())
            return false;
    return true;
}

// part stands in name, case ignored, with no letter or digit glued to either
// end: "ISS" in "ISS (ZARYA)" but not in "SWISSCUBE", "SO-50" in
// "SAUDISAT 1C (SO-50)".
bool ContainsAsWords(const QString& name, const QString& part)
{
    for (qsizetype at = name.indexOf(part, 0, Qt::CaseInsensitive); at >= 0;
         at = name.indexOf(part, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + part.size();
        const bool openBefore = at == 0 || !name[at - 1].isLetterOrNumber();
        const bool openAfter = end == name.size() || !name[end].isLetterOrNumber();
        if (openBefore && openAfter)
            return true;
    }
    return false;
}

// The positions whose name passes the test; several records of one name (the
// same satellite twice in a file) count as one match, the first of them.
template <class Test> QList<int> Matches(const QStringList& names, Test&& test)
{
    QList<int> found;
    QStringList seen;
    for (int i = 0; i < names.size(); ++i) {
        if (test(names[i]) && !seen.contains(names[i])) {
            found << i;
            seen << names[i];
        }
    }
    return found;
}

[[noreturn]] void FailAmbiguous(
    const QString& sat, const QStringList& names, const QList<int>& found, const QString& tlePath)
{
    QStringList listed;
    for (int i = 0; i < found.size() && i < kMatchesListed; ++i)
        listed << QStringLiteral("\"%1\"").arg(InputExcerpt(names[found[i]]));
    QString list = listed.join(QStringLiteral(", "));
    if (found.size() > kMatchesListed)
        list += QStringLiteral(" and %1 more").arg(found.size() - kMatchesListed);
    throw UsageError(QStringLiteral("--sat: \"%1\" matches %2 satellites in %3: %4")
                         .arg(sat)
                         .arg(found.size())
                         .arg(tlePath, list));
}

} // namespace

int ChooseSatelliteIndex(const QString& sat, const QStringList& names, const QString& tlePath)
{
    if (sat.isEmpty())
        return 0;
    if (AllDigits(sat)) {
        bool ok = false;
        const int record = sat.toInt(&ok);
        if (!ok || record < 1 || record > names.size())
            throw UsageError(
                QStringLiteral("--sat: record %1 is not in %2 (it holds records 1 to %3)")
                    .arg(sat, tlePath)
                    .arg(names.size()));
        return record - 1;
    }
    const qsizetype exact = names.indexOf(sat);
    if (exact >= 0)
        return static_cast<int>(exact);
    for (const auto& test : {
             std::function<bool(const QString&)>([&sat](const QString& name) {
                 return name.compare(sat, Qt::CaseInsensitive) == 0;
             }),
             std::function<bool(const QString&)>(
                 [&sat](const QString& name) { return ContainsAsWords(name, sat); }),
             std::function<bool(const QString&)>(
                 [&sat](const QString& name) { return name.contains(sat, Qt::CaseInsensitive); }),
         }) {
        const QList<int> found = Matches(names, test);
        if (found.size() == 1)
            return found.front();
        if (found.size() > 1)
            FailAmbiguous(sat, names, found, tlePath);
    }
    throw UsageError(QStringLiteral("--sat: no satellite named \"%1\" in %2").arg(sat, tlePath));
}

std::optional<QString> ElementAgeWarning(
    const QString& satName, double epoch, std::chrono::sys_seconds instant)
{
    const double ageDays = TleAgeDays(instant, epoch);
    if (!(ageDays > CliMaxElementAgeDays))
        return std::nullopt;
    return QStringLiteral("element set of %1 is %2 days old: run 'aostrack-cli update'")
        .arg(satName)
        .arg(static_cast<long long>(std::floor(ageDays)));
}

void WarnIfElementSetOld(const QString& satName, double epoch, std::chrono::sys_seconds instant)
{
    if (const std::optional<QString> warning = ElementAgeWarning(satName, epoch, instant))
        WriteErr(*warning + QLatin1Char('\n'));
}

} // namespace aostrack
