// Conversions between a parameter's 16-bit register word and its value text, and the range
// check of value texts. Decimal texts are handled as exact decimals, never as binary floating
// point, so 0.29 is 29 hundredths and not 28.
#pragma once

#include "Catalogue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvd {

// The text a drive's word stands for, in the parameter's display format.
std::string formatWord(ValueFormat format, std::uint16_t word);
std::string formatWord(const ParamSpec& entry, std::uint16_t word);

// The word for a value text; empty when the text holds no number of the format or the number
// does not fit a 16-bit word (negative, or above 65535 units). Integer, Padded4 and Padded5 take
// the decimal integer at the start of the text; Tenths, Hundredths and Thousandths the decimal
// number at its start, dropping decimals beyond the format's. Binary5 and Octal5 take the
// digits as formatWord writes them, ModelText the short text of a ModelTable row. Surrounding
// blanks are ignored. The writers never send Thousandths, Padded5 or ModelText; their parsing
// serves the data files.
std::optional<std::uint16_t> parseText(ValueFormat format, std::string_view text);
std::optional<std::uint16_t> parseText(const ParamSpec& entry, std::string_view text);

struct ValueRange {
    double minValue;
    double maxValue;
};

// The range that applies on a drive of `modelCode`: the VoltageClass range of 01-01 and 08-04,
// else the catalogue's. Empty when the model's class leaves the value unchecked (code 400).
std::optional<ValueRange> effectiveRange(const ParamSpec& entry, int modelCode);

// Whether `text` is a valid value of the parameter. Numbers pass when
// lower - 0.000001 < value < upper + 0.000001; integer-valued formats need a whole number
// within the bounds (and a member of a gapped value set); Binary5 and Octal5 need five digits
// of their base within the bounds; ModelText a short text of the ModelTable. Where the model
// leaves a class-dependent range unchecked any number passes.
bool inRange(const ParamSpec& entry, std::string_view text, int modelCode);

// The text rewritten in the parameter's format (5 in a Hundredths field becomes "5.00");
// empty when parseText fails.
std::optional<std::string> normalizedText(const ParamSpec& entry, std::string_view text);

// Decimal places of a format's text: 1 for Tenths, 2 for Hundredths, 3 for Thousandths.
int decimalsOf(ValueFormat format);

} // namespace kvd
