#include "ParamRules.h"

#include "ValueText.h"

#include <cmath>

namespace kvd {
namespace {

// Versions are compared in thousandths, so 1.1 from the word 1100, 110 or 11 matches exactly.
long thousandths(double version) {
    return std::lround(version * 1000);
}

RuleViolation distinctViolation(const ParamSpec& spec) {
    return spec.group == 0 ? RuleViolation::Equal0005And0006 : RuleViolation::Equal1000And1001;
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

bool existsOnDrive(const ParamSpec& spec, double version) {
    return thousandths(version) >= thousandths(spec.minVersion);
}

RuleViolation checkVersion(const ParamSpec& spec, double version) {
    return existsOnDrive(spec, version) ? RuleViolation::None : RuleViolation::NotOnThisVersion;
}

const ParamSpec* distinctPartner(const ParamSpec& spec) {
    if (spec.code == "00-05")
        return findSpec("00-06");
    if (spec.code == "00-06")
        return findSpec("00-05");
    if (spec.code == "10-00")
        return findSpec("10-01");
    if (spec.code == "10-01")
        return findSpec("10-00");
    return nullptr;
}

RuleViolation checkDistinct(const ParamSpec& spec, std::string_view value,
                            std::string_view partnerValue) {
    if (!distinctPartner(spec))
        return RuleViolation::None;
    const auto a = parseText(spec, value);
    const auto b = parseText(spec, partnerValue);
    const bool equal = (a && b) ? *a == *b : value == partnerValue;
    return equal ? distinctViolation(spec) : RuleViolation::None;
}

RuleViolation checkDistinct(const ParamSpec& spec, std::string_view value,
                            std::uint16_t partnerWord) {
    if (!distinctPartner(spec))
        return RuleViolation::None;
    const auto a = parseText(spec, value);
    return (a && *a == partnerWord) ? distinctViolation(spec) : RuleViolation::None;
}

const ParamSpec* motorCurrentPartner(const ParamSpec& spec) {
    if (spec.code == "02-00")
        return findSpec("02-01");
    if (spec.code == "02-01")
        return findSpec("02-00");
    return nullptr;
}

RuleViolation checkMotorCurrents(const ParamSpec& spec, std::string_view value,
                                 std::uint16_t partnerWord) {
    if (!motorCurrentPartner(spec))
        return RuleViolation::None;
    const auto w = parseText(spec, value);
    if (!w)
        return RuleViolation::MotorCurrentOrder;
    const bool ok = spec.code == "02-00" ? *w < partnerWord : *w >= partnerWord;
    return ok ? RuleViolation::None : RuleViolation::MotorCurrentOrder;
}

RuleViolation checkRunSource(const ParamSpec& spec, int cachedRunSource) {
    return (spec.code == "00-01" && cachedRunSource != 0) ? RuleViolation::ReadOnly
                                                          : RuleViolation::None;
}

std::optional<int> runSourceAfterWrite(const ParamSpec& spec, std::string_view text) {
    if (spec.code != "00-02")
        return std::nullopt;
    const auto w = parseText(spec, text);
    if (!w)
        return std::nullopt;
    return static_cast<int>(*w);
}

} // namespace kvd
