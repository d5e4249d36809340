// Catalogue lookup for tests: fails the test instead of dereferencing a null entry.
#pragma once

#include "params/Catalogue.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

inline const kvd::ParamSpec& specOf(std::string_view code) {
    const kvd::ParamSpec* s = kvd::findSpec(code);
    if (!s)
        throw std::runtime_error("no catalogue entry " + std::string(code));
    return *s;
}
