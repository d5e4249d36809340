#include "PortNames.h"

#include <cctype>
#include <string_view>

namespace kvd {
namespace {

struct Family {
    std::string_view prefix;
    int firstCom;
};
constexpr Family kFamilies[] = {{"/dev/ttyS", 1}, {"/dev/ttyUSB", 33}, {"/dev/ttyACM", 65}};
constexpr int kFamilySize = 32;

// Digits only, at most 4 of them, so huge numbers in a settings file cannot overflow.
int smallNumber(std::string_view s) {
    if (s.empty() || s.size() > 4)
        return -1;
    int n = 0;
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace

bool isDevicePath(const std::string& portText) {
    return !portText.empty() && portText[0] == '/';
}

std::string portDevice(const std::string& portText) {
    if (isDevicePath(portText))
        return portText;
    std::string_view t = portText;
    if (t.starts_with("\\\\.\\"))
        t.remove_prefix(4);
    if (t.size() < 4 || (t.substr(0, 3) != "COM" && t.substr(0, 3) != "com"))
        return {};
    const int com = smallNumber(t.substr(3));
    for (const Family& f : kFamilies)
        if (com >= f.firstCom && com < f.firstCom + kFamilySize)
            return std::string(f.prefix) + std::to_string(com - f.firstCom);
    return {};
}

int comNumberForDevice(const std::string& device) {
    for (const Family& f : kFamilies) {
        if (!std::string_view(device).starts_with(f.prefix))
            continue;
        const int k = smallNumber(std::string_view(device).substr(f.prefix.size()));
        if (k >= 0 && k < kFamilySize)
            return f.firstCom + k;
    }
    return 0;
}

std::string comPortText(int number) {
    // Ports above 9 need the device namespace prefix where COM names come from.
    return (number > 9 ? "\\\\.\\COM" : "COM") + std::to_string(number);
}

} // namespace kvd
