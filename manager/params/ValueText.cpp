#include "ValueText.h"

#include "ModelTable.h"

#include <cmath>
#include <cstdint>

namespace kvd {
namespace {

constexpr std::int64_t kSaturation = 1'000'000'000'000'000; // far beyond any word or bound

std::string_view trimmed(std::string_view t) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!t.empty() && blank(t.front()))
        t.remove_prefix(1);
    while (!t.empty() && blank(t.back()))
        t.remove_suffix(1);
    return t;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Scanned {
    std::int64_t scaled; // value x 10^decimals, truncated toward zero, saturated
    bool whole;          // the number was the entire (trimmed) text
    bool hasPoint;       // a decimal point was present
};

// The decimal number at the start of `text` ([sign] digits [. digits], at least one digit),
// scaled by 10^decimals exactly; decimals beyond `decimals` are dropped.
std::optional<Scanned> scanDecimal(std::string_view text, int decimals) {
    text = trimmed(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::int64_t value = 0;
    bool anyDigit = false;
    const auto push = [&value](char c) {
        value = value >= kSaturation ? kSaturation : value * 10 + (c - '0');
    };
    for (; i < text.size() && isDigit(text[i]); ++i) {
        push(text[i]);
        anyDigit = true;
    }
    bool hasPoint = false;
    int fraction = 0;
    if (i < text.size() && text[i] == '.') {
        hasPoint = true;
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            if (fraction < decimals) {
                push(text[i]);
                ++fraction;
            }
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    for (; fraction < decimals; ++fraction)
        value = value >= kSaturation ? kSaturation : value * 10;
    return Scanned{negative ? -value : value, i == text.size(), hasPoint};
}

std::optional<std::uint16_t> toWord(std::int64_t v) {
    if (v < 0 || v > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(v);
}

std::string fixedPoint(std::uint16_t word, int decimals) {
    int divisor = 1;
    for (int d = 0; d < decimals; ++d)
        divisor *= 10;
    std::string fraction = std::to_string(word % divisor);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    return std::to_string(word / divisor) + '.' + fraction;
}

std::string zeroPadded(std::uint16_t word, std::size_t width) {
    std::string s = std::to_string(word);
    if (s.size() < width)
        s.insert(0, width - s.size(), '0');
    return s;
}

// Binary5 and Octal5: a decimal lead (the word divided by base^4) followed by four digits of
// the base, as formatWord writes them.
std::optional<std::uint16_t> parseDigits(std::string_view text, int base) {
    text = trimmed(text);
    if (text.size() < 5 || text.size() > 9)
        return std::nullopt;
    std::int64_t lead = 0;
    for (char c : text.substr(0, text.size() - 4)) {
        if (!isDigit(c))
            return std::nullopt;
        lead = lead * 10 + (c - '0');
    }
    std::int64_t value = lead;
    for (char c : text.substr(text.size() - 4)) {
        if (c < '0' || c >= '0' + base)
            return std::nullopt;
        value = value * base + (c - '0');
    }
    return toWord(value);
}

bool fiveDigitsOfBase(std::string_view text, int base) {
    if (text.size() != 5)
        return false;
    for (char c : text)
        if (c < '0' || c >= '0' + base)
            return false;
    return true;
}

std::int64_t micro(double v) {
    return std::llround(v * 1e6);
}

} // namespace

std::string formatWord(ValueFormat format, std::uint16_t word) {
    switch (format) {
    case ValueFormat::Integer:
        return std::to_string(word);
    case ValueFormat::Tenths:
    case ValueFormat::Hundredths:
    case ValueFormat::Thousandths:
        return fixedPoint(word, decimalsOf(format));
    case ValueFormat::Padded5:
        return zeroPadded(word, 5);
    case ValueFormat::Padded4:
        return zeroPadded(word, 4);
    case ValueFormat::Binary5: {
        std::string s = std::to_string(word / 16);
        for (int bit = 3; bit >= 0; --bit)
            s += ((word >> bit) & 1) ? '1' : '0';
        return s;
    }
    case ValueFormat::Octal5: {
        std::string s = std::to_string(word / 4096);
        for (int shift = 9; shift >= 0; shift -= 3)
            s += static_cast<char>('0' + ((word >> shift) & 7));
        return s;
    }
    case ValueFormat::ModelText:
        return modelText(word);
    }
    return {};
}

std::string formatWord(const ParamSpec& entry, std::uint16_t word) {
    return formatWord(entry.format, word);
}

std::optional<std::uint16_t> parseText(ValueFormat format, std::string_view text) {
    switch (format) {
    case ValueFormat::Integer:
    case ValueFormat::Padded5:
    case ValueFormat::Padded4:
    case ValueFormat::Tenths:
    case ValueFormat::Hundredths:
    case ValueFormat::Thousandths: {
        const auto s = scanDecimal(text, decimalsOf(format));
        return s ? toWord(s->scaled) : std::nullopt;
    }
    case ValueFormat::Binary5:
        return parseDigits(text, 2);
    case ValueFormat::Octal5:
        return parseDigits(text, 8);
    case ValueFormat::ModelText: {
        const std::string_view t = trimmed(text);
        for (const ModelRow& r : ModelTable)
            if (!t.empty() && r.shortText == t)
                return static_cast<std::uint16_t>(r.code);
        return std::nullopt;
    }
    }
    return std::nullopt;
}

std::optional<std::uint16_t> parseText(const ParamSpec& entry, std::string_view text) {
    return parseText(entry.format, text);
}

std::optional<ValueRange> effectiveRange(const ParamSpec& entry, int modelCode) {
    if (!hasClassRange(entry))
        return ValueRange{entry.minValue, entry.maxValue};
    switch (voltageClass(modelCode)) {
    case VoltageClass::Low:
        return ValueRange{entry.minValue, entry.maxValue};
    case VoltageClass::High:
        return ValueRange{entry.highMinValue, entry.highMaxValue};
    case VoltageClass::Neither:
        break;
    }
    return std::nullopt;
}

bool inRange(const ParamSpec& entry, std::string_view text, int modelCode) {
    text = trimmed(text);
    const std::optional<ValueRange> range = effectiveRange(entry, modelCode);
    switch (entry.format) {
    case ValueFormat::Integer:
    case ValueFormat::Padded5:
    case ValueFormat::Padded4: {
        const auto s = scanDecimal(text, 0);
        if (!s || !s->whole || s->hasPoint)
            return false;
        if (!range)
            return true;
        if (s->scaled < std::llround(range->minValue) || s->scaled > std::llround(range->maxValue))
            return false;
        if (!entry.values.empty())
            return optionPosition(entry, static_cast<int>(s->scaled)).has_value();
        return true;
    }
    case ValueFormat::Tenths:
    case ValueFormat::Hundredths:
    case ValueFormat::Thousandths: {
        // Six decimals are enough: truncating there keeps every comparison with the bounds and
        // their 0.000001 margin exact.
        const auto s = scanDecimal(text, 6);
        if (!s || !s->whole)
            return false;
        if (!range)
            return true;
        return micro(range->minValue) - 1 < s->scaled && s->scaled < micro(range->maxValue) + 1;
    }
    case ValueFormat::Binary5:
    case ValueFormat::Octal5: {
        if (!fiveDigitsOfBase(text, entry.format == ValueFormat::Binary5 ? 2 : 8))
            return false;
        const auto w = parseText(entry, text);
        return w && *w >= entry.minValue && *w <= entry.maxValue;
    }
    case ValueFormat::ModelText:
        return parseText(entry, text).has_value();
    }
    return false;
}

std::optional<std::string> normalizedText(const ParamSpec& entry, std::string_view text) {
    const auto w = parseText(entry, text);
    if (!w)
        return std::nullopt;
    return formatWord(entry, *w);
}

int decimalsOf(ValueFormat format) {
    switch (format) {
    case ValueFormat::Tenths:
        return 1;
    case ValueFormat::Hundredths:
        return 2;
    case ValueFormat::Thousandths:
        return 3;
    default:
        return 0;
    }
}

} // namespace kvd
