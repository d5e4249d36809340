#include "ParamRules.h"

#include "ValueText.h"

#include <cmath>

namespace kvd {
namespace {

// Versions are compared in thousandths, so 1.1 from the word 1100, 110 or 11 matches exactly.
long thousandths(double version) {
    return std::lround(version * 1000);
}

RuleViolation distinctViolation(const ParamSpec& entry) {
    return entry.group == 0 ? RuleViolation::Equal0005And0006 : RuleViolation::Equal1000And1001;
}

} // namespace

double driveVersion(std::uint16_t word) {
    // Division, not multiplication by 0.001: it yields the double nearest to the decimal.
    if (word > 999)
        return word / 1000.0;
    if (word > 99)
        return word / 100.0;
    return word / 10.0;
}

bool existsOnDrive(const ParamSpec& entry, double version) {
    return thousandths(version) >= thousandths(entry.minVersion);
}

RuleViolation checkVersion(const ParamSpec& entry, double version) {
    return existsOnDrive(entry, version) ? RuleViolation::None : RuleViolation::NotOnThisVersion;
}

const ParamSpec* distinctPartner(const ParamSpec& entry) {
    if (entry.code == "00-05")
        return findSpec("00-06");
    if (entry.code == "00-06")
        return findSpec("00-05");
    if (entry.code == "10-00")
        return findSpec("10-01");
    if (entry.code == "10-01")
        return findSpec("10-00");
    return nullptr;
}

RuleViolation checkDistinct(const ParamSpec& entry, std::string_view value,
                            std::string_view partnerValue) {
    if (!distinctPartner(entry))
        return RuleViolation::None;
    const auto a = parseText(entry, value);
    const auto b = parseText(entry, partnerValue);
    const bool equal = (a && b) ? *a == *b : value == partnerValue;
    return equal ? distinctViolation(entry) : RuleViolation::None;
}

RuleViolation checkDistinct(const ParamSpec& entry, std::string_view value,
                            std::uint16_t partnerWord) {
    if (!distinctPartner(entry))
        return RuleViolation::None;
    const auto a = parseText(entry, value);
    return (a && *a == partnerWord) ? distinctViolation(entry) : RuleViolation::None;
}

const ParamSpec* motorCurrentPartner(const ParamSpec& entry) {
    if (entry.code == "02-00")
        return findSpec("02-01");
    if (entry.code == "02-01")
        return findSpec("02-00");
    return nullptr;
}

RuleViolation checkMotorCurrents(const ParamSpec& entry, std::string_view value,
                                 std::uint16_t partnerWord) {
    if (!motorCurrentPartner(entry))
        return RuleViolation::None;
    const auto w = parseText(entry, value);
    if (!w)
        return RuleViolation::MotorCurrentOrder;
    const bool ok = entry.code == "02-00" ? *w < partnerWord : *w >= partnerWord;
    return ok ? RuleViolation::None : RuleViolation::MotorCurrentOrder;
}

RuleViolation checkRunSource(const ParamSpec& entry, int cachedRunSource) {
    return (entry.code == "00-01" && cachedRunSource != 0) ? RuleViolation::ReadOnly
                                                           : RuleViolation::None;
}

std::optional<int> runSourceAfterWrite(const ParamSpec& entry, std::string_view text) {
    if (entry.code != "00-02")
        return std::nullopt;
    const auto w = parseText(entry, text);
    if (!w)
        return std::nullopt;
    return static_cast<int>(*w);
}

} // namespace kvd
