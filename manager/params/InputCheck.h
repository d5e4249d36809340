// What an edit field of a group page lets through while the user types. The page's field
// validator and the small keyboard both ask it, so a keystroke from either is judged alike.
#pragma once

#include "Catalogue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvd {

class FieldInput {
public:
    // `decimals` 0 makes an integer field. `upperUnits` is the upper bound in units of the
    // last decimal (650.00 with two decimals is 65000).
    FieldInput(int decimals, std::int64_t upperUnits);

    // The field of `entry` on a drive of `modelCode`. Where the drive's class leaves the range
    // unchecked the bound is what one register word can carry.
    static FieldInput forSpec(const ParamSpec& entry, int modelCode);

    // The text the field keeps after the user changed it to `typed`: `typed` itself, `typed`
    // without the decimals beyond the field's, or nothing when the change is to be undone.
    // Only digits and one decimal point (not first, decimal fields only) pass, and only while
    // the number is not above the upper bound. The lower bound is left to the page check:
    // every number has to be typed through its shorter beginnings.
    std::optional<std::string> accept(std::string_view typed) const;

    int decimals() const { return decimals_; }
    std::int64_t upperUnits() const { return upperUnits_; }

private:
    int decimals_;
    std::int64_t upperUnits_;
};

} // namespace kvd
