// The parameter registers a drive of one model has, with their access and factory words.
// Taken from the program's catalogue and data files, so the simulator and the program can
// never disagree about them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace kvd::sim {

struct ParamRegister {
    bool readOnly = false;
    int minVersion = 0;          // in thousandths (1.1 is 1100); 0: every drive has it
    std::uint16_t factory50 = 0; // factory word for 50 Hz
    std::uint16_t factory60 = 0; // and for 60 Hz
};

struct ParameterSet {
    std::map<std::uint16_t, ParamRegister> registers;
};

// Empty (and `error` filled) when the data files cannot be read.
std::shared_ptr<const ParameterSet> loadParameterSet(const std::string& dataDir, int modelCode,
                                                     std::string* error = nullptr);

} // namespace kvd::sim
