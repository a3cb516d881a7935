#pragma once
// InputExcerpt (orbit/InputExcerpt.h) for Qt texts: outside input quoted in
// a message, cut after kInputExcerptChars characters with "…".
#include "orbit/InputExcerpt.h"

#include <QString>

namespace aostrack {

inline QString InputExcerpt(const QString& text)
{
    const auto limit = static_cast<qsizetype>(kInputExcerptChars);
    if (text.size() <= limit)
        return text;
    // Never half of a surrogate pair.
    const qsizetype cut = text.at(limit - 1).isHighSurrogate() ? limit - 1 : limit;
    return text.left(cut) + QChar(0x2026);
}

} // namespace aostrack
