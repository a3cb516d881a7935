#pragma once
// A fixed-pitch font for columns of text (element lines, pass list, rotor
// status, frequency rows).
#include <QFont>
#include <QStringList>

namespace aostrack {

// The first of families that the desktop has, when the face it resolves to is
// really fixed-pitch; otherwise the desktop's own fixed font. pointSize <= 0
// keeps the application's size.
QFont FixedPitchFont(const QStringList& families, double pointSize = 0);

} // namespace aostrack
