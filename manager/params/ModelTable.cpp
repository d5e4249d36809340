#include "ModelTable.h"

namespace kvd {

int modelRow(int code) {
    for (std::size_t i = 0; i < ModelTable.size(); ++i)
        if (ModelTable[i].code == code)
            return static_cast<int>(i);
    return -1;
}

std::string modelText(int code) {
    const int row = modelRow(code);
    return row < 0 ? std::string() : std::string(ModelTable[row].shortText);
}

std::string modelName(int code) {
    const int row = modelRow(code);
    return row < 0 ? std::string() : std::string(ModelTable[row].name);
}

int modelCode(std::string_view name, int previous) {
    for (const ModelRow& r : ModelTable)
        if (r.name == name)
            return r.code;
    return previous;
}

VoltageClass voltageClass(int code) {
    // The four single-phase models carry four-digit codes but belong to the low class.
    if (code == 1102 || code == 1105 || code == 1202 || code == 1205 || code < 400)
        return VoltageClass::Low;
    if (code > 400)
        return VoltageClass::High;
    return VoltageClass::Neither;
}

} // namespace kvd
