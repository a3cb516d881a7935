#pragma once
// "Did you mean ...?": the known names closest to a mistyped one, for sat.ini
// keys, subcommands, options and satellite names.
#include <QString>
#include <QStringList>

namespace aostrack {

// Edits (insert, delete, replace one character, or swap two neighbours) that
// turn a into b, case ignored: "QTH_LON" -> "QTH_LONG" is 1, "qth_lat" ->
// "QTH_LAT" is 0.
int EditDistance(const QString& a, const QString& b);

// The candidates nearest to typed (all as near as the nearest one, in
// candidate order), at most maxShown, and only if close enough to be a slip:
// at most a third of the longer text's characters differ (at least one). A
// candidate that contains typed as a whole, case ignored, counts as close.
QStringList NearestNames(const QString& typed, const QStringList& candidates, int maxShown = 3);

// "; did you mean QTH_LONG?" or "; did you mean A, B or C?"; empty when
// names is empty.
QString DidYouMean(const QStringList& names);

} // namespace aostrack
