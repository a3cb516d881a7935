#include "app/cli/SatelliteChoice.h"

#include "app/cli/CliArgs.h"
#include "core/DataPanel.h"
#include "core/NearestName.h"
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

// Letters and digits only, upper case: "ES'HAIL 2" and "eshail2" alike.
QString Compact(const QString& text)
{
    QString out;
    for (const QChar c : text)
        if (c.isLetterOrNumber())
            out += c.toUpper();
    return out;
}

// "SAUDISAT 1C (SO-50)" -> "SO-50" and "SAUDISAT 1C"; a name without a part
// in parentheses at its end gives two empty texts.
std::pair<QString, QString> SplitParenthesised(const QString& name)
{
    const QString trimmed = name.trimmed();
    const qsizetype open = trimmed.lastIndexOf(QLatin1Char('('));
    if (open <= 0 || !trimmed.endsWith(QLatin1Char(')')))
        return {};
    return { trimmed.mid(open + 1, trimmed.size() - open - 2).trimmed(),
        trimmed.left(open).trimmed() };
}

// The aliases of name: those whose NamePart it holds, as frequency rows match.
QStringList AliasesOf(const QString& name, const QList<SatelliteAlias>& aliases)
{
    QStringList found;
    for (const SatelliteAlias& alias : aliases)
        if (!alias.NamePart.isEmpty() && name.contains(alias.NamePart))
            found << alias.Alias;
    return found;
}

// The names nearest to a sat that matched nothing, as the operator would
// type them: "SO-50 (SAUDISAT 1C)" for the part in parentheses, "QO-100
// (ES'HAIL 2)" for an alias.
QStringList Suggestions(
    const QString& sat, const QStringList& names, const QList<SatelliteAlias>& aliases)
{
    QStringList compared; // what sat is measured against
    QStringList shown; // and how each is offered
    const auto offer = [&](const QString& text, const QString& display) {
        compared << text;
        shown << display;
    };
    for (const QString& raw : names) {
        const QString name = raw.trimmed();
        offer(name, name);
        const auto [part, rest] = SplitParenthesised(name);
        if (!part.isEmpty()) {
            offer(part, QStringLiteral("%1 (%2)").arg(part, rest));
            offer(rest, name);
        }
        for (const QString& alias : AliasesOf(name, aliases))
            offer(alias, QStringLiteral("%1 (%2)").arg(alias, name));
    }
    QStringList out;
    for (const QString& near : NearestNames(sat, compared))
        out << shown[compared.indexOf(near)];
    return out;
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

QString SatOption(const ParsedArgs& args)
{
    const QString sat = args.Value(QStringLiteral("--sat")).trimmed();
    if (args.Has(QStringLiteral("--sat")) && sat.isEmpty())
        throw UsageError(QStringLiteral(
            "--sat: an empty name chooses no satellite; give a record number or a name"));
    return sat;
}

int ChooseSatelliteIndex(const QString& sat, const QStringList& names, const QString& tlePath,
    const QList<SatelliteAlias>& aliases)
{
    if (sat.isEmpty())
        return 0;
    if (AllDigits(sat)) {
        bool ok = false;
        const int record = sat.toInt(&ok);
        if (!ok || record < 1 || record > names.size()) {
            QString message
                = QStringLiteral("--sat: record %1 is not in %2 (it holds records 1 to %3)")
                      .arg(sat, tlePath)
                      .arg(names.size());
            // 25544 is far more likely a catalogue number than a record.
            if (record > names.size() || !ok)
                message += QStringLiteral("; for the satellite with catalogue number %1 "
                                          "use --norad %1")
                               .arg(sat);
            throw UsageError(message);
        }
        return record - 1;
    }
    const qsizetype exact = names.indexOf(sat);
    if (exact >= 0)
        return static_cast<int>(exact);
    const QString compact = Compact(sat);
    for (const auto& test : {
             std::function<bool(const QString&)>([&sat](const QString& name) {
                 return name.compare(sat, Qt::CaseInsensitive) == 0;
             }),
             std::function<bool(const QString&)>(
                 [&sat](const QString& name) { return ContainsAsWords(name, sat); }),
             std::function<bool(const QString&)>(
                 [&sat](const QString& name) { return name.contains(sat, Qt::CaseInsensitive); }),
             std::function<bool(const QString&)>([&](const QString& name) {
                 return AliasesOf(name, aliases).contains(sat, Qt::CaseInsensitive);
             }),
             std::function<bool(const QString&)>([&](const QString& name) {
                 if (compact.isEmpty())
                     return false;
                 const auto [part, rest] = SplitParenthesised(name);
                 QStringList forms = AliasesOf(name, aliases);
                 forms << name << part << rest;
                 for (const QString& form : forms)
                     if (!form.isEmpty() && Compact(form) == compact)
                         return true;
                 return false;
             }),
         }) {
        const QList<int> found = Matches(names, test);
        if (found.size() == 1)
            return found.front();
        if (found.size() > 1)
            FailAmbiguous(sat, names, found, tlePath);
    }
    throw UsageError(QStringLiteral("--sat: no satellite named \"%1\" in %2%3")
                         .arg(sat, tlePath, DidYouMean(Suggestions(sat, names, aliases))));
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

std::optional<QString> CatalogueAgeWarning(
    const std::vector<NamedEpoch>& sets, std::chrono::sys_seconds instant)
{
    int old = 0;
    double oldestDays = 0;
    std::string_view oldest;
    for (const NamedEpoch& set : sets) {
        const double ageDays = TleAgeDays(instant, set.Epoch);
        if (!(ageDays > CliMaxElementAgeDays))
            continue;
        ++old;
        if (ageDays > oldestDays) {
            oldestDays = ageDays;
            oldest = set.Name;
        }
    }
    if (old == 0)
        return std::nullopt;
    return QStringLiteral("%1 set%2 older than %3 days, the oldest %4 days: %5")
        .arg(old)
        .arg(old == 1 ? QString() : QStringLiteral("s"))
        .arg(CliMaxElementAgeDays)
        .arg(static_cast<long long>(std::floor(oldestDays)))
        .arg(QString::fromUtf8(oldest.data(), static_cast<qsizetype>(oldest.size())));
}

} // namespace aostrack
