#include "InputCheck.h"

#include "ValueText.h"

#include <cmath>

namespace kvd {

FieldInput::FieldInput(int decimals, std::int64_t upperUnits)
    : decimals_(decimals), upperUnits_(upperUnits) {}

FieldInput FieldInput::forSpec(const ParamSpec& entry, int modelCode) {
    const int decimals = decimalsOf(entry.format);
    const auto range = effectiveRange(entry, modelCode);
    double scale = 1;
    for (int d = 0; d < decimals; ++d)
        scale *= 10;
    return FieldInput(decimals, range ? std::llround(range->maxValue * scale) : 0xFFFF);
}

std::optional<std::string> FieldInput::accept(std::string_view typed) const {
    std::string kept;
    std::int64_t units = 0;
    int places = -1; // decimals typed so far; -1 before the point
    for (char c : typed) {
        if (c == '.') {
            if (decimals_ == 0 || places >= 0 || kept.empty())
                return std::nullopt;
            places = 0;
        } else if (c >= '0' && c <= '9') {
            if (places >= decimals_)
                continue; // a decimal more than the field has: dropped
            if (places >= 0)
                ++places;
            units = units * 10 + (c - '0');
            if (units > upperUnits_ * 1000) // far above the bound already: stop counting
                return std::nullopt;
        } else {
            return std::nullopt;
        }
        kept += c;
    }
    for (int p = std::max(places, 0); p < decimals_; ++p)
        units *= 10;
    if (units > upperUnits_)
        return std::nullopt;
    return kept;
}

} // namespace kvd
