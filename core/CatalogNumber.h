#pragma once
// The NORAD catalogue number of an element set, read from columns 3 to 7 of
// its line 1: five digits, or the "alpha-5" form the public services use for
// numbers above 99999 (a letter for the leading two digits, I and O left
// out: A0001 is 100001, Z9999 is 339999).
#include <cctype>
#include <optional>
#include <string_view>

namespace aostrack {

inline std::optional<int> CatalogNumberOfLine1(std::string_view line1)
{
    if (line1.size() < 7)
        return std::nullopt;
    std::string_view field = line1.substr(2, 5);
    while (!field.empty() && field.front() == ' ')
        field.remove_prefix(1);
    if (field.empty())
        return std::nullopt;
    int number = 0;
    const unsigned char first = static_cast<unsigned char>(field.front());
    if (std::isalpha(first)) {
        const char c = static_cast<char>(std::toupper(first));
        if (c == 'I' || c == 'O' || field.size() != 5)
            return std::nullopt;
        number = 10 + (c - 'A') - (c > 'I' ? 1 : 0) - (c > 'O' ? 1 : 0);
        field.remove_prefix(1);
    }
    for (const char d : field) {
        if (!std::isdigit(static_cast<unsigned char>(d)))
            return std::nullopt;
        number = number * 10 + (d - '0');
    }
    return number;
}

} // namespace aostrack
