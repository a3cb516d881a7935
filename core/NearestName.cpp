#include "core/NearestName.h"

#include <QSet>
#include <algorithm>
#include <vector>

namespace aostrack {

int EditDistance(const QString& a, const QString& b)
{
    // Optimal string alignment: Levenshtein plus the swap of two neighbours,
    // the commonest slip of a typist ("PSASES").
    const QString x = a.toUpper();
    const QString y = b.toUpper();
    const auto n = static_cast<size_t>(x.size());
    const auto m = static_cast<size_t>(y.size());
    std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1, 0));
    for (size_t i = 0; i <= n; ++i)
        d[i][0] = static_cast<int>(i);
    for (size_t j = 0; j <= m; ++j)
        d[0][j] = static_cast<int>(j);
    for (size_t i = 1; i <= n; ++i) {
        for (size_t j = 1; j <= m; ++j) {
            const int cost = x[i - 1] == y[j - 1] ? 0 : 1;
            d[i][j] = std::min({ d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost });
            if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

QStringList NearestNames(const QString& typed, const QStringList& candidates, int maxShown)
{
    const QString wanted = typed.trimmed();
    if (wanted.isEmpty())
        return {};
    struct Scored {
        int distance;
        qsizetype order;
    };
    std::vector<Scored> close;
    QSet<QString> seen;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const QString& candidate = candidates[i];
        if (seen.contains(candidate.toUpper()))
            continue;
        seen.insert(candidate.toUpper());
        const int distance = EditDistance(wanted, candidate);
        const auto longer = std::max(wanted.size(), candidate.size());
        const auto allowed = std::max<qsizetype>(1, longer / 3);
        // A part of a longer name ("ZARYA" of "ISS (ZARYA)") is near as well;
        // it sorts after the slips of equal length.
        const bool part = wanted.size() >= 3 && candidate.contains(wanted, Qt::CaseInsensitive);
        if (distance <= allowed || part)
            close.push_back(
                { part ? std::min<int>(distance, static_cast<int>(allowed)) : distance, i });
    }
    std::stable_sort(close.begin(), close.end(),
        [](const Scored& a, const Scored& b) { return a.distance < b.distance; });
    // Only the nearest: "SO-50" for "SO-51", not "SO-121" as well.
    QStringList names;
    for (const Scored& s : close) {
        if (names.size() >= maxShown || s.distance > close.front().distance)
            break;
        names << candidates[s.order];
    }
    return names;
}

QString DidYouMean(const QStringList& names)
{
    if (names.isEmpty())
        return QString();
    if (names.size() == 1)
        return QStringLiteral("; did you mean %1?").arg(names.front());
    return QStringLiteral("; did you mean %1 or %2?")
        .arg(names.mid(0, names.size() - 1).join(QStringLiteral(", ")), names.back());
}

} // namespace aostrack
