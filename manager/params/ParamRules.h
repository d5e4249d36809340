// Rules between parameters and drive state that the writers check before a write. They are
// never applied while a value is merely edited in the project.
#pragma once

#include "Catalogue.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace kvd {

// Why a write is refused; the value is the id of the message the writer shows.
enum class RuleViolation {
    None = 0,
    ReadOnly = 61483,          // "The parameter read only!"
    Equal0005And0006 = 61532,  // "The value of parameter 00-05 and 00-06 can't be same!"
    Equal1000And1001 = 61533,  // "The value of parameter 10-00 and 10-01can't be same!"
    NotOnThisVersion = 61580,  // the drive's software has no such parameter
    MotorCurrentOrder = 61581, // 02-00 must stay below 02-01
};

// The drive's software version from its 13-01 word: above 999 in thousandths, above 99 in
// hundredths, else in tenths.
double driveVersion(std::uint16_t word);

// 02-04 needs version 1.1 and 07-09 version 0.4; every other parameter exists on all drives.
// Where it does not exist it is neither read nor written.
bool existsOnDrive(const ParamSpec& entry, double driveVersion);
RuleViolation checkVersion(const ParamSpec& entry, double driveVersion);

// 00-05/00-06 and 10-00/10-01 must differ. The partner of one of them, nullptr for any other.
const ParamSpec* distinctPartner(const ParamSpec& entry);
// Group write: `value` and `partnerValue` are the two edit texts of the project. The values
// are compared, not the spelling ("2" and " 2" are equal); texts that are no number are compared
// as they are.
RuleViolation checkDistinct(const ParamSpec& entry, std::string_view value,
                            std::string_view partnerValue);
// Single-parameter write: the partner's current word as just read from the drive.
RuleViolation checkDistinct(const ParamSpec& entry, std::string_view value,
                            std::uint16_t partnerWord);

// 02-00 x 10 must be below the drive's 02-01 word and 02-01 x 10 must not be below the drive's
// 02-00 word. The register whose drive word the check needs (02-01 for 02-00 and back);
// nullptr for any other parameter.
const ParamSpec* motorCurrentPartner(const ParamSpec& entry);
// `partnerWord` is the partner's word read from the drive just before the write. A value that
// is no number is refused.
RuleViolation checkMotorCurrents(const ParamSpec& entry, std::string_view value,
                                 std::uint16_t partnerWord);

// 00-01 is written only while cachedRunSource (the drive's 00-02) is 0.
RuleViolation checkRunSource(const ParamSpec& entry, int cachedRunSource);
// The new cachedRunSource after `text` has been written to `entry`: the integer of the text for
// 00-02, empty for every other parameter (the cached value stays).
std::optional<int> runSourceAfterWrite(const ParamSpec& entry, std::string_view text);

} // namespace kvd
