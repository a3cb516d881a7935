#include "orbit/InputExcerpt.h"

namespace aostrack {

std::string InputExcerpt(std::string_view text)
{
    // Count characters as UTF-8 lead bytes; continuation bytes (10xxxxxx)
    // belong to the character before them.
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (chars == kInputExcerptChars)
            return std::string(text.substr(0, i)) + "\xE2\x80\xA6"; // "…"
        ++chars;
    }
    return std::string(text);
}

} // namespace aostrack
