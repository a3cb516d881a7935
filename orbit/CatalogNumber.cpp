#include "orbit/CatalogNumber.h"

namespace aostrack {

namespace {

// The Alpha-5 letters in order of their values 10..33.
constexpr std::string_view Alpha5Letters = "ABCDEFGHJKLMNPQRSTUVWXYZ";

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<int> ReadTleCatalogNumber(std::string_view columns)
{
    while (!columns.empty() && columns.front() == ' ')
        columns.remove_prefix(1);
    if (columns.empty() || columns.size() > 5)
        return std::nullopt;
    int value = 0;
    std::size_t i = 0;
    if (!IsDigit(columns[0])) {
        // A letter is only allowed in the first of five columns.
        const std::size_t letter = Alpha5Letters.find(columns[0]);
        if (letter == std::string_view::npos || columns.size() != 5)
            return std::nullopt;
        value = static_cast<int>(letter) + 10;
        i = 1;
    }
    for (; i < columns.size(); ++i) {
        if (!IsDigit(columns[i]))
            return std::nullopt;
        value = value * 10 + (columns[i] - '0');
    }
    return value;
}

std::string TleCatalogText(int number)
{
    if (number < 0 || number > MaxAlpha5Number)
        return {};
    std::string text(5, '0');
    int rest = number % 10000;
    for (int i = 4; i >= 1; --i, rest /= 10)
        text[static_cast<std::size_t>(i)] = static_cast<char>('0' + rest % 10);
    const int lead = number / 10000;
    text[0] = lead < 10 ? static_cast<char>('0' + lead)
                        : Alpha5Letters[static_cast<std::size_t>(lead - 10)];
    return text;
}

} // namespace aostrack
