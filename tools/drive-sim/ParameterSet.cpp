#include "ParameterSet.h"

#include "Simulator.h"

#include "params/Catalogue.h"
#include "params/DataFiles.h"

#include <cmath>
#include <filesystem>
#include <system_error>

namespace kvd::sim {

std::string findDataFolder(const std::string& given) {
    if (!given.empty())
        return given;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && fs::exists(exe.parent_path() / kParamDataFileName, ec))
        return exe.parent_path().string();
    return KVD_DATA_DIR;
}

std::shared_ptr<const ParameterSet> loadParameterSet(const std::string& dataDir, int modelCode,
                                                     std::string* error) {
    std::string why;
    const auto words50 = factoryRegisterValues(dataDir, modelCode, 0, &why);
    const auto words60 =
        words50.empty() ? words50 : factoryRegisterValues(dataDir, modelCode, 1, &why);
    if (words50.empty() || words60.empty()) {
        if (error)
            *error = "data folder " + dataDir + ": " + why;
        return nullptr;
    }
    auto set = std::make_shared<ParameterSet>();
    for (const ParamSpec& entry : allSpecs()) {
        ParamRegister& r = set->registers[entry.reg];
        r.readOnly = entry.access == Access::ReadOnly;
        r.minVersion = static_cast<int>(std::lround(entry.minVersion * 1000));
        const auto f50 = words50.find(entry.reg);
        const auto f60 = words60.find(entry.reg);
        r.factory50 = f50 == words50.end() ? 0 : f50->second;
        r.factory60 = f60 == words60.end() ? 0 : f60->second;
    }
    return set;
}

} // namespace kvd::sim
