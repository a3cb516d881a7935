#include "orbit/Omm.h"

#include "orbit/CatalogNumber.h"
#include "orbit/ElementCheck.h"
#include "orbit/InputExcerpt.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

namespace aostrack {

namespace {

using namespace std::chrono;

constexpr double SecondsPerDay = 86400.0;

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The last digits of a count for its fixed columns, never with a minus
// sign that would push the columns after it out of place.
int LastDigits(int value, int modulus)
{
    return (value % modulus + modulus) % modulus;
}

bool AllDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// The whole text as one finite number; a leading '+' is allowed.
std::optional<double> WholeNumber(std::string_view text)
{
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Two-digit field of an ISO date-time at pos, or -1.
int Digits(std::string_view s, std::size_t pos, std::size_t count)
{
    if (pos + count > s.size() || !AllDigits(s.substr(pos, count)))
        return -1;
    int v = 0;
    for (std::size_t i = 0; i < count; ++i)
        v = v * 10 + (s[pos + i] - '0');
    return v;
}

std::string ShortestText(double value)
{
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

// The implied-decimal exponent field of line 1 ("56963-4" is 0.56963e-4):
// a sign column, five digits, the exponent's sign and digit.
std::string ExponentField(double value)
{
    const char sign = value < 0 ? '-' : ' ';
    double a = std::fabs(value);
    long long mantissa = 0;
    int exponent = 0;
    if (a >= 1e-10) {
        exponent = static_cast<int>(std::floor(std::log10(a))) + 1;
        mantissa = std::llround(a / std::pow(10.0, exponent) * 1e5);
        if (mantissa >= 100000) {
            mantissa = std::llround(static_cast<double>(mantissa) / 10.0);
            ++exponent;
        }
        if (exponent > 9) {
            mantissa = 99999;
            exponent = 9;
        }
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%c%05lld%c%d", mantissa == 0 ? ' ' : sign, mantissa,
        exponent < 0 ? '-' : '+', std::abs(exponent));
    return buf;
}

// The first derivative as line 1 writes it: sign column and ".dddddddd".
std::string DerivativeField(double value)
{
    const double a = std::min(std::fabs(value), 0.99999999);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.8f", a);
    return std::string(1, value < 0 && a >= 0.000000005 ? '-' : ' ') + (buf + 1);
}

// Column 69: the digits of the line summed, each minus sign counting 1, modulo 10.
char Checksum(std::string_view line)
{
    int sum = 0;
    for (char c : line) {
        if (c >= '0' && c <= '9')
            sum += c - '0';
        else if (c == '-')
            sum += 1;
    }
    return static_cast<char>('0' + sum % 10);
}

// "98067A" for "1998-067A"; other forms as they stand, cut to eight columns.
std::string TleDesignator(const std::string& id)
{
    if (id.size() >= 9 && id[4] == '-' && AllDigits(std::string_view(id).substr(0, 4)))
        return (id.substr(2, 2) + id.substr(5)).substr(0, 8);
    return id.substr(0, 8);
}

// The OMM key of an ElementSet field, for messages about OMM records.
std::string OmmKeyForField(const std::string& field)
{
    static const std::pair<const char*, OmmKey> keys[] = {
        { "Epoch", OmmKey::Epoch },
        { "Inclination", OmmKey::Inclination },
        { "RAAN", OmmKey::RaOfAscNode },
        { "Eccentricity", OmmKey::Eccentricity },
        { "ArgPerigee", OmmKey::ArgOfPericenter },
        { "EpochMeanAnomaly", OmmKey::MeanAnomaly },
        { "MeanMotion", OmmKey::MeanMotion },
        { "Decay", OmmKey::MeanMotionDot },
        { "EpochRev", OmmKey::RevAtEpoch },
        { "BStar", OmmKey::Bstar },
    };
    for (const auto& [name, key] : keys) {
        if (field == name)
            return std::string(OmmKeyName(key));
    }
    return field;
}

} // namespace

std::string_view OmmKeyName(OmmKey key)
{
    return OmmKeyNames[static_cast<std::size_t>(key)];
}

std::optional<OmmKey> OmmKeyFromName(std::string_view name)
{
    for (std::size_t i = 0; i < OmmKeyCount; ++i) {
        if (OmmKeyNames[i] == name)
            return static_cast<OmmKey>(i);
    }
    return std::nullopt;
}

std::optional<double> EpochFromIso(std::string_view text)
{
    text = TrimBlanks(text);
    if (!text.empty() && (text.back() == 'Z' || text.back() == 'z'))
        text.remove_suffix(1);
    // YYYY-MM-DDTHH:MM:SS[.ffffff]
    if (text.size() < 19 || text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != ' ')
        || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    const int y = Digits(text, 0, 4);
    const int mo = Digits(text, 5, 2);
    const int d = Digits(text, 8, 2);
    const int h = Digits(text, 11, 2);
    const int mi = Digits(text, 14, 2);
    const int s = Digits(text, 17, 2);
    if (y < 2000 || y > 2099 || mo < 0 || d < 0 || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0
        || s > 59)
        return std::nullopt;
    double fraction = 0;
    if (text.size() > 19) {
        const std::string_view digits = text.substr(20);
        if (text[19] != '.' || digits.empty() || digits.size() > 9 || !AllDigits(digits))
            return std::nullopt;
        long long numerator = 0;
        double denominator = 1;
        for (char c : digits) {
            numerator = numerator * 10 + (c - '0');
            denominator *= 10;
        }
        fraction = static_cast<double>(numerator) / denominator; // both exact: one rounding
    }
    const year_month_day date { year { y }, month { static_cast<unsigned>(mo) },
        day { static_cast<unsigned>(d) } };
    if (!date.ok())
        return std::nullopt;
    const int dayOfYear
        = static_cast<int>((sys_days(date) - sys_days(year { y } / January / 1)).count()) + 1;
    const double secondOfDay = h * 3600.0 + mi * 60.0 + s + fraction;
    return (y - 2000) * 1000.0 + dayOfYear + secondOfDay / SecondsPerDay;
}

std::string IsoFromEpoch(double epoch)
{
    const int yy = static_cast<int>(std::floor(epoch / 1000.0));
    const double rest = epoch - yy * 1000.0;
    int dayOfYear = static_cast<int>(std::floor(rest));
    long long micro = std::llround((rest - dayOfYear) * SecondsPerDay * 1e6);
    constexpr long long MicroPerDay = 86400LL * 1000000LL;
    if (micro >= MicroPerDay) {
        micro -= MicroPerDay;
        ++dayOfYear;
    }
    const sys_days date = sys_days(year { 2000 + yy } / January / 1) + days { dayOfYear - 1 };
    const year_month_day ymd(date);
    const long long secondOfDay = micro / 1000000;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02uT%02lld:%02lld:%02lld.%06lld",
        static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
        static_cast<unsigned>(ymd.day()), secondOfDay / 3600, secondOfDay / 60 % 60,
        secondOfDay % 60, micro % 1000000);
    return buf;
}

std::string IntlDesignatorFromTle(std::string_view columns)
{
    columns = TrimBlanks(columns);
    if (columns.size() < 6 || !AllDigits(columns.substr(0, 5)))
        return std::string(columns);
    const int yy = (columns[0] - '0') * 10 + (columns[1] - '0');
    // The catalogue began in 1957: two-digit years from 57 are of the last century.
    const std::string century = yy >= 57 ? "19" : "20";
    return century + std::string(columns.substr(0, 2)) + "-" + std::string(columns.substr(2));
}

std::string OneLineName(std::string_view name)
{
    std::string line(name);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    return std::string(TrimBlanks(line));
}

OmmConversion SatRecordFromOmm(const OmmFields& fields)
{
    OmmConversion out;
    const auto fail = [&out](OmmKey key, std::string reason) {
        out.Fault = OmmFault { std::string(OmmKeyName(key)), std::move(reason) };
        return out;
    };
    const auto text = [&fields](OmmKey key) -> std::optional<std::string_view> {
        const std::optional<std::string>& value = fields[key];
        if (!value || TrimBlanks(*value).empty())
            return std::nullopt;
        return TrimBlanks(*value);
    };
    const auto given = [&](OmmKey key) {
        return fields.Numbers[static_cast<std::size_t>(key)].has_value() || text(key).has_value();
    };
    // The value of a numeric field, from a number or a text; the error names
    // what was given.
    std::string why;
    const auto number = [&](OmmKey key, bool whole) -> std::optional<double> {
        std::optional<double> value = fields.Numbers[static_cast<std::size_t>(key)];
        std::string shown;
        if (value) {
            shown = ShortestText(*value);
        } else {
            shown = std::string(*text(key));
            value = WholeNumber(shown);
        }
        if (value && std::isfinite(*value)
            && (!whole || (*value == std::floor(*value) && std::fabs(*value) <= 1e9)))
            return value;
        why = std::string(whole ? "not a whole number" : "not a number") + ": \""
            + InputExcerpt(shown) + "\"";
        return std::nullopt;
    };

    SatRecord record;
    record.FromOmm = true;
    ElementSet& e = record.Elements;

    if (!given(OmmKey::NoradCatId))
        return fail(OmmKey::NoradCatId, "missing");
    {
        // Digits only (up to nine): "7530", or a whole JSON number (whose
        // shortest text may be "1e+05", so it is checked as a number).
        const std::optional<double> asNumber = text(OmmKey::NoradCatId)
            ? std::nullopt
            : fields.Numbers[static_cast<std::size_t>(OmmKey::NoradCatId)];
        if (asNumber) {
            if (*asNumber != std::floor(*asNumber) || *asNumber < 1 || *asNumber > MaxCatalogNumber)
                return fail(OmmKey::NoradCatId,
                    "not a catalogue number: \"" + ShortestText(*asNumber) + "\"");
            e.CatalogNumber = static_cast<int>(*asNumber);
        } else {
            const std::string shown(*text(OmmKey::NoradCatId));
            if (!AllDigits(shown) || shown.size() > 9 || std::atoi(shown.c_str()) < 1)
                return fail(
                    OmmKey::NoradCatId, "not a catalogue number: \"" + InputExcerpt(shown) + "\"");
            e.CatalogNumber = std::atoi(shown.c_str());
        }
    }

    const auto epoch = text(OmmKey::Epoch);
    if (!epoch)
        return fail(OmmKey::Epoch, "missing");
    const std::optional<double> epochValue = EpochFromIso(*epoch);
    if (!epochValue)
        return fail(
            OmmKey::Epoch, "not a date-time of 2000 to 2099: \"" + InputExcerpt(*epoch) + "\"");
    e.Epoch = *epochValue;

    // The mean elements the model needs; a record without one of them is no set.
    struct Field {
        OmmKey Key;
        double* Target;
        bool Whole;
    };
    const Field required[] = {
        { OmmKey::MeanMotion, &e.MeanMotion, false },
        { OmmKey::Eccentricity, &e.Eccentricity, false },
        { OmmKey::Inclination, &e.Inclination, false },
        { OmmKey::RaOfAscNode, &e.RAAN, false },
        { OmmKey::ArgOfPericenter, &e.ArgPerigee, false },
        { OmmKey::MeanAnomaly, &e.EpochMeanAnomaly, false },
    };
    for (const Field& r : required) {
        if (!given(r.Key))
            return fail(r.Key, "missing");
        const std::optional<double> value = number(r.Key, r.Whole);
        if (!value)
            return fail(r.Key, why);
        *r.Target = *value;
    }

    double ephemerisType = 0;
    double elementSetNo = 999;
    const Field optional[] = {
        { OmmKey::MeanMotionDot, &e.Decay, false },
        { OmmKey::RevAtEpoch, &e.EpochRev, true },
        { OmmKey::Bstar, &e.BStar, false },
        { OmmKey::MeanMotionDdot, &record.Extras.MeanMotionDdot, false },
        { OmmKey::EphemerisType, &ephemerisType, true },
        { OmmKey::ElementSetNo, &elementSetNo, true },
    };
    for (const Field& o : optional) {
        if (!given(o.Key))
            continue;
        const std::optional<double> value = number(o.Key, o.Whole);
        if (!value)
            return fail(o.Key, why);
        *o.Target = *value;
    }
    record.Extras.EphemerisType = static_cast<int>(ephemerisType);
    record.Extras.ElementSetNo = static_cast<int>(elementSetNo);
    if (const auto cls = text(OmmKey::ClassificationType))
        record.Extras.Classification = cls->front();
    // Column 8 of line 1: a printable letter, or the unclassified default.
    if (record.Extras.Classification <= ' ' || record.Extras.Classification > '~')
        record.Extras.Classification = 'U';
    if (const auto id = text(OmmKey::ObjectId))
        e.IntlDesignator = OneLineName(*id);

    if (const std::string name = OneLineName(fields[OmmKey::ObjectName].value_or(""));
        !name.empty())
        record.SatName = name;
    else
        record.SatName
            = e.IntlDesignator.empty() ? std::to_string(e.CatalogNumber) : e.IntlDesignator;
    // The same plausibility check as every two-line set, named by OMM key.
    if (const std::optional<ElementFault> fault = CheckElementSet(e)) {
        out.Fault = OmmFault { OmmKeyForField(fault->Field), fault->Reason };
        return out;
    }
    out.Record = std::move(record);
    return out;
}

OmmFields OmmFromSatRecord(const SatRecord& record)
{
    const ElementSet& e = record.Elements;
    OmmFields f;
    f[OmmKey::ObjectName] = record.SatName;
    f[OmmKey::ObjectId] = e.IntlDesignator;
    f[OmmKey::Epoch] = IsoFromEpoch(e.Epoch);
    f[OmmKey::MeanMotion] = ShortestText(e.MeanMotion);
    f[OmmKey::Eccentricity] = ShortestText(e.Eccentricity);
    f[OmmKey::Inclination] = ShortestText(e.Inclination);
    f[OmmKey::RaOfAscNode] = ShortestText(e.RAAN);
    f[OmmKey::ArgOfPericenter] = ShortestText(e.ArgPerigee);
    f[OmmKey::MeanAnomaly] = ShortestText(e.EpochMeanAnomaly);
    f[OmmKey::EphemerisType] = std::to_string(record.Extras.EphemerisType);
    f[OmmKey::ClassificationType] = std::string(1, record.Extras.Classification);
    f[OmmKey::NoradCatId] = std::to_string(e.CatalogNumber);
    f[OmmKey::ElementSetNo] = std::to_string(record.Extras.ElementSetNo);
    f[OmmKey::RevAtEpoch] = ShortestText(e.EpochRev);
    f[OmmKey::Bstar] = ShortestText(e.BStar);
    f[OmmKey::MeanMotionDot] = ShortestText(e.Decay);
    f[OmmKey::MeanMotionDdot] = ShortestText(record.Extras.MeanMotionDdot);
    return f;
}

std::pair<std::string, std::string> ShownLines(const SatRecord& record)
{
    if (!record.FromOmm)
        return { record.Line1, record.Line2 };
    if (auto lines = FormatTleLines(record))
        return std::move(*lines);
    // Beyond what two-line columns can number: the number, designator and epoch.
    const ElementSet& e = record.Elements;
    return { std::to_string(e.CatalogNumber) + "  " + e.IntlDesignator + "  "
            + IsoFromEpoch(e.Epoch),
        std::string() };
}

std::vector<SatRecord> MergeByCatalogNumber(const std::vector<SatRecord>& records)
{
    std::vector<SatRecord> merged;
    std::unordered_map<int, std::size_t> position; // catalogue number -> index in merged
    for (const SatRecord& record : records) {
        const int number = record.Elements.CatalogNumber;
        if (number == 0) {
            merged.push_back(record);
            continue;
        }
        const auto [it, added] = position.try_emplace(number, merged.size());
        if (added)
            merged.push_back(record);
        else if (record.Elements.Epoch > merged[it->second].Elements.Epoch)
            merged[it->second] = record;
    }
    return merged;
}

std::optional<std::pair<std::string, std::string>> FormatTleLines(const SatRecord& record)
{
    const ElementSet& e = record.Elements;
    const std::string number = TleCatalogText(e.CatalogNumber);
    if (number.empty())
        return std::nullopt;
    const int yy = static_cast<int>(std::floor(e.Epoch / 1000.0));
    char epoch[24];
    std::snprintf(epoch, sizeof epoch, "%02d%012.8f", yy % 100, e.Epoch - yy * 1000.0);

    char buf[96];
    std::snprintf(buf, sizeof buf, "1 %s%c %-8s %.14s %s %s %s %d %4d", number.c_str(),
        record.Extras.Classification, TleDesignator(e.IntlDesignator).c_str(), epoch,
        DerivativeField(e.Decay).c_str(), ExponentField(record.Extras.MeanMotionDdot).c_str(),
        ExponentField(e.BStar).c_str(), LastDigits(record.Extras.EphemerisType, 10),
        LastDigits(record.Extras.ElementSetNo, 10000));
    std::string line1 = buf;

    // Seven digits after the implied "0.", rounded from the exact binary value
    // as printf rounds (0.00093775 is stored a hair below ...775 and gives 9377).
    char ecc[16];
    std::snprintf(ecc, sizeof ecc, "%.7f", std::clamp(e.Eccentricity, 0.0, 0.9999999));
    std::snprintf(buf, sizeof buf, "2 %s %8.4f %8.4f %.7s %8.4f %8.4f %11.8f%5lld", number.c_str(),
        e.Inclination, e.RAAN, ecc + 2, e.ArgPerigee, e.EpochMeanAnomaly, e.MeanMotion,
        std::llround(e.EpochRev) % 100000);
    std::string line2 = buf;
    line1 += Checksum(line1);
    line2 += Checksum(line2);
    return std::make_pair(std::move(line1), std::move(line2));
}

} // namespace aostrack
