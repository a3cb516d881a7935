#include "app/cli/UpcomingLines.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace aostrack {

using namespace std::chrono;

namespace {

void AppendDigits(std::string& out, long long value, int width)
{
    char buf[24];
    char* end = buf + sizeof buf;
    char* p = end;
    const bool negative = value < 0;
    unsigned long long v = negative ? 0ULL - static_cast<unsigned long long>(value)
                                    : static_cast<unsigned long long>(value);
    do {
        *--p = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v > 0);
    while (end - p < width)
        *--p = '0';
    if (negative)
        *--p = '-';
    out.append(p, end);
}

void AppendUtc(std::string& out, sys_seconds instant)
{
    const sys_days day = floor<days>(instant);
    const year_month_day date { day };
    const long long s = (instant - day).count();
    AppendDigits(out, static_cast<int>(date.year()), 4);
    out += '-';
    AppendDigits(out, static_cast<unsigned>(date.month()), 2);
    out += '-';
    AppendDigits(out, static_cast<unsigned>(date.day()), 2);
    out += 'T';
    AppendDigits(out, s / 3600, 2);
    out += ':';
    AppendDigits(out, s / 60 % 60, 2);
    out += ':';
    AppendDigits(out, s % 60, 2);
    out += 'Z';
}

// "%.1f" and the degree sign, right-aligned to width characters (the sign
// counts as one, as the operator sees it).
void AppendDegrees(std::string& out, double value, int width)
{
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    const int chars = static_cast<int>(r.ptr - buf) + 1;
    if (chars < width)
        out.append(static_cast<std::size_t>(width - chars), ' ');
    out.append(buf, r.ptr);
    out += "\u00B0";
}

// 17 significant digits, null where JSON has no number.
void AppendJsonNumber(std::string& out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 17);
    out.append(buf, r.ptr);
}

void AppendTextLine(std::string& out, const UpcomingPass& p, const PassLabel& label)
{
    AppendUtc(out, p.AosTime);
    out += "  ";
    if (p.LosTime)
        AppendUtc(out, *p.LosTime);
    else
        out += "no LOS found      ";
    out += "  max ";
    AppendDegrees(out, p.MaxElevation, 5);
    out += " at ";
    const long long s = (p.MaxElevationTime - floor<days>(p.MaxElevationTime)).count();
    AppendDigits(out, s / 3600, 2);
    out += ':';
    AppendDigits(out, s / 60 % 60, 2);
    out += ':';
    AppendDigits(out, s % 60, 2);
    out += "  Az ";
    AppendDegrees(out, p.AosAzimuth, 6);
    out += " -> ";
    if (p.LosTime)
        AppendDegrees(out, p.LosAzimuth, 6);
    else
        out += "     ?";
    out += "  ";
    out += label.Name;
    if (p.InProgress)
        out += "  (up at start)";
    out += '\n';
}

void AppendJsonObject(std::string& out, const UpcomingPass& p, const PassLabel& label)
{
    out += "{\"Name\": ";
    out += label.JsonName;
    if (label.CatalogNumber) {
        out += ", \"CatalogNumber\": ";
        AppendDigits(out, *label.CatalogNumber, 1);
    }
    out += ", \"AosTime\": \"";
    AppendUtc(out, p.AosTime);
    out += "\", \"LosTime\": ";
    if (p.LosTime) {
        out += '"';
        AppendUtc(out, *p.LosTime);
        out += '"';
    } else {
        out += "null";
    }
    out += ", \"MaxElevation\": ";
    AppendJsonNumber(out, p.MaxElevation);
    out += ", \"MaxElevationTime\": \"";
    AppendUtc(out, p.MaxElevationTime);
    out += "\", \"AosAzimuth\": ";
    AppendJsonNumber(out, p.AosAzimuth);
    out += ", \"LosAzimuth\": ";
    AppendJsonNumber(out, p.LosAzimuth);
    out += '}';
}

} // namespace

std::string UtcText(sys_seconds instant)
{
    std::string out;
    AppendUtc(out, instant);
    return out;
}

WrittenPasses WritePasses(std::span<const UpcomingPass> passes, const PassLabel& label,
    double minElevation, PassForm form)
{
    WrittenPasses out;
    for (const UpcomingPass& p : passes) {
        if (p.MaxElevation < minElevation)
            continue;
        if (form == PassForm::TextLine)
            AppendTextLine(out.Text, p, label);
        else
            AppendJsonObject(out.Text, p, label);
        out.Ends.push_back(out.Text.size());
        out.Aos.push_back(p.AosTime);
    }
    return out;
}

namespace {

// One pass's text within its satellite's piece.
struct Piece {
    const char* Text;
    std::size_t Length;
};

Piece PieceOf(const WrittenPasses& w, std::size_t k)
{
    const std::size_t begin = k == 0 ? 0 : w.Ends[k - 1];
    return Piece { w.Text.data() + begin, w.Ends[k] - begin };
}

// Every piece once, in AOS order: the pieces lie all over memory, so the
// order is worked out on their AOS alone and the texts are read once.
std::vector<Piece> PiecesByAos(std::span<const WrittenPasses> satellites)
{
    std::size_t count = 0;
    long long first = LLONG_MAX, last = LLONG_MIN;
    for (const WrittenPasses& w : satellites) {
        count += w.Aos.size();
        for (const std::chrono::sys_seconds aos : w.Aos) {
            first = std::min<long long>(first, aos.time_since_epoch().count());
            last = std::max<long long>(last, aos.time_since_epoch().count());
        }
    }
    std::vector<Piece> ordered(count);
    // AOS lie within the window, a week at most: counted into one slot per
    // second, satellite by satellite, which keeps the satellites' order
    // among equal AOS (a sort of 200,000 keys took longer).
    if (count > 0 && last - first < 8 * 86400) {
        const auto second = [&](std::chrono::sys_seconds aos) {
            return static_cast<std::size_t>(aos.time_since_epoch().count() - first);
        };
        std::vector<std::uint32_t> slot(static_cast<std::size_t>(last - first) + 2, 0);
        for (const WrittenPasses& w : satellites)
            for (const std::chrono::sys_seconds aos : w.Aos)
                ++slot[second(aos) + 1];
        for (std::size_t k = 1; k < slot.size(); ++k)
            slot[k] += slot[k - 1];
        for (const WrittenPasses& w : satellites)
            for (std::size_t k = 0; k < w.Aos.size(); ++k)
                ordered[slot[second(w.Aos[k])]++] = PieceOf(w, k);
        return ordered;
    }
    struct Key {
        long long Aos;
        Piece Text;
    };
    std::vector<Key> keys;
    keys.reserve(count);
    for (const WrittenPasses& w : satellites)
        for (std::size_t k = 0; k < w.Aos.size(); ++k)
            keys.push_back({ w.Aos[k].time_since_epoch().count(), PieceOf(w, k) });
    std::stable_sort(
        keys.begin(), keys.end(), [](const Key& a, const Key& b) { return a.Aos < b.Aos; });
    for (std::size_t k = 0; k < count; ++k)
        ordered[k] = keys[k].Text;
    return ordered;
}

} // namespace

void JoinByAos(std::span<const WrittenPasses> satellites, std::string_view separator,
    const std::function<void(std::string_view)>& out)
{
    const std::vector<Piece> ordered = PiecesByAos(satellites);
    // A piece fetched from main memory takes longer than writing it out:
    // the pieces some way ahead are asked for while this one is written.
    constexpr std::size_t lookAhead = 16;
    for (std::size_t k = 0; k < ordered.size(); ++k) {
        if (k + lookAhead < ordered.size())
            __builtin_prefetch(ordered[k + lookAhead].Text);
        if (k > 0 && !separator.empty())
            out(separator);
        out(std::string_view(ordered[k].Text, ordered[k].Length));
    }
}

} // namespace aostrack
