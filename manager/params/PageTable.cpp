#include "PageTable.h"

#include "ValueText.h"

#include <array>
#include <cmath>

namespace kvd {
namespace {

using C = RowControl;
constexpr unsigned RO = rowflag::ReadOnly;
constexpr unsigned RUN = rowflag::Refused;

// Option texts of the lists, in position order. A text starts with the value it stands for,
// except on F_19 and F_20, whose values are the positions.
// clang-format off
// 00-01, F_04
constexpr std::string_view k0001[] = {
    "0: Forward",
    "1: Reverse",
};

// 00-02, 00-03
constexpr std::string_view k0002[] = {
    "0: Keypad",
    "1: External Run/Stop",
    "2: Communication",
};

// F_10
constexpr std::string_view kF10[] = {
    "0: Keypad",
    "1: External Run/Stop",
};

// 00-04
constexpr std::string_view k0004[] = {
    "0: Forward/Stop-Reverse/Stop",
    "1: Run/Stop-Forward/Reverse",
    "2: 3-Wire Mode Run/Stop",
};

// F_03
constexpr std::string_view kF03[] = {
    "0: Forward/Stop-Reverse/Stop",
    "1: Run/Stop-Forward/Reverse",
};

// 00-05, 00-06
constexpr std::string_view k0005[] = {
    "0: Keypad",
    "1: Potentionmeter on Keypad",
    "2: External AVI",
    "3: External ACI",
    "4: External UP/DOWN",
    "5: Communication",
    "6: PID",
};

// F_11
constexpr std::string_view kF11[] = {
    "0: Keypad",
    "1: Potentionmeter on Keypad",
    "2: External AVI",
    "3: External ACI",
};

// 00-07
constexpr std::string_view k0007[] = {
    "0: Main and Subsidiary Freq. Select",
    "1: Main+Subsidiary Freq.",
};

// 00-09, 08-09
constexpr std::string_view k0009[] = {
    "0: Disabled",
    "1: Enabled",
};

// 00-10
constexpr std::string_view k0010[] = {
    "0: by current freq. command",
    "1: by Zero freq. command",
    "2: by 00-11",
};

// 03-00 to 03-04
constexpr std::string_view k0300[] = {
    "0: Forward/Stop",
    "1: Reverse/Stop",
    "2: Preset Speed unit 0(5-02)",
    "3: Preset Speed unit 1(5-03)",
    "4: Preset Speed unit 2(5-05)",
    "6: Jog Forward",
    "7: Jog Reverse",
    "8: Up Command",
    "9: Down Command",
    "10: Acc/Dec 2",
    "11: Acc/Dec Disabled",
    "12: Main/ Sub run command select",
    "13: Main/Sub Frequency command select",
    "14: Emergency Stop(to 0)",
    "15: Base Block",
    "16: PID Function Disabled",
    "17: Reset",
    "18: Auto-Run Mode enable",
};

// F_19, F_20
constexpr std::string_view kF19[] = {
    "0: Forward/Stop",
    "1: Reverse/Stop",
    "2: Preset Speed unit 0(5-02)",
    "3: Preset Speed unit 1(5-03)",
    "14: Emergency Stop(to 0)",
    "15: Base Block",
    "17: Reset",
};

// 03-07
constexpr std::string_view k0307[] = {
    "0: the preset freq. is held",
    "1: the preset freq. is reset to 0Hz",
    "2: the preset freq. is held,the Up/Down is available",
};

// 03-11
constexpr std::string_view k0311[] = {
    "0: Run",
    "1: Fault",
    "2: setting frequency reached",
    "3: any frequency reached (03-13±03-14)",
    "4: frequency threshold level 1(> 03-13)",
    "5: frequency threshold level 2(< 03-13)",
    "6: auto restart ",
    "7: momentary AC power loss",
    "8: emergency stop",
    "9: base block stop",
    "10: motor overload protection (OL1)",
    "11: drive overload protection (OL2)",
    "13: output current reached ",
    "14: brake control",
};

// F_21
constexpr std::string_view kF21[] = {
    "0: Run",
    "1: Fault",
    "2: setting frequency reached",
};

// 03-19
constexpr std::string_view k0319[] = {
    "0: A (normal open)",
    "1: B (normal close)",
};

// 04-00
constexpr std::string_view k0400[] = {
    "0: 0~10V  0~20mA",
    "1: 0~10V  4~20mA",
    "2: 2~10V  0~20mA",
    "3: 2~10V  4~20mA",
};

// 04-04, 04-05, 04-09, 04-10, 04-14, 04-15, 10-08
constexpr std::string_view k0404[] = {
    "0: Positive",
    "1: Negative",
};

// 04-11
constexpr std::string_view k0411[] = {
    "0: Output Frequency",
    "1: Frequency Setting",
    "2: Output Voltage",
    "3: DC Bus Voltage",
    "4: Output Current",
};

// 05-00
constexpr std::string_view k0500[] = {
    "0: common",
    "1: special",
};

// 06-00
constexpr std::string_view k0600[] = {
    "0: Disabled",
    "1: Single cycle(continues to run from the unfinished step if restarted) ",
    "2: Periodic cycle(continues to run from the unfinished step if restarted)",
    "3: Single cycle,then holds the speed of final step to run(continues to run from the unfinished step if restarted)",
    "4: Single cycle(Starts a new cycle if restarted)",
    "5: Periodic cycle(Starts a new cycle if restarted)",
    "6: Single cycle,then hold the speed of final step to run(Starts a new cycle if restarted)",
};

// 06-32 to 06-39
constexpr std::string_view k0632[] = {
    "0: stop",
    "1: forward   ",
    "2: reverse",
};

// 06-36: the same choices and a fourth, empty one
constexpr std::string_view k0636[] = {
    "0: stop",
    "1: forward   ",
    "2: reverse",
    "",
};

// 07-00, F_23
constexpr std::string_view k0700[] = {
    "0: Momentary power loss and restart disable",
    "1: Momentary power loss and restart enable",
};

// 07-03
constexpr std::string_view k0703[] = {
    "0: Enable reset only when run command is off ",
    "1: Enable reset when run command is on or off",
};

// 07-04, F_28
constexpr std::string_view k0704[] = {
    "0: Enable direct running after power up",
    "1: Disable direct running after power up",
};

// 07-09, F_14
constexpr std::string_view k0709[] = {
    "0: Deceleration to stop",
    "1: Coast to stop",
};

// 08-05, 08-06
constexpr std::string_view k0805[] = {
    "0: Enable electronic motor overload protection",
    "1: Disable electronic motor overload protection",
};

// 08-07
constexpr std::string_view k0807[] = {
    "0: Auto(depends on temp.)",
    "1: Operate while in RUN mode",
    "2: Continuous operate",
    "3: Stop operate",
};

// 08-08
constexpr std::string_view k0808[] = {
    "0: Enable",
    "1: Disable",
    "2: Disable for stop",
    "3: Disable for deceleration",
    "4: Disable stop and deceleration",
    "5: Disable stop and deceleration(when VDC>360V) ",
};

// 09-01
constexpr std::string_view k0901[] = {
    "0: RTU code",
    "1: ASCII code",
};

// 09-02
constexpr std::string_view k0902[] = {
    "0: 4800 ",
    "1: 9600 ",
    "2: 19200",
    "3: 38400",
};

// 09-03
constexpr std::string_view k0903[] = {
    "0: 1 stop bit",
    "1: 2 stop bits",
};

// 09-04
constexpr std::string_view k0904[] = {
    "0: Without parity",
    "1: Even Parity ",
    "2: Odd parity",
};

// 09-05
constexpr std::string_view k0905[] = {
    "0: 8 bits Data",
    "1: 7 bits Data",
};

// 09-07
constexpr std::string_view k0907[] = {
    "0: Stop in decelerating time 1 and show COT ",
    "1: Stop in free run mode and show COT",
    "2: Stop in decelerating time 2 and showCOT ",
    "3:  Keep running and show COT ",
};

// 10-00, 10-01
constexpr std::string_view k1000[] = {
    "0: Potentiometer on Keypad ",
    "1: External AVI Analog Signal Input",
    "2: External ACI Analog Signal Input",
    "3: Communication Setting ",
    "4: By 10-02 Setting ",
};

// 10-03
constexpr std::string_view k1003[] = {
    "0: Disabled",
    "1: Bias D Control",
    "2: Feedback D Control",
    "3: Bias D Reversed Characteristics Control",
    "4: Feedback D Reversed Characteristics Control",
};

// 10-11
constexpr std::string_view k1011[] = {
    "0: Disable",
    "1: Enable-Drive Continues to Operate ",
    "2: Enable-Drive \"STOP\"",
};

// 11-00, F_22
constexpr std::string_view k1100[] = {
    "0: Enabled",
    "1: Disabled",
};

// 11-02
constexpr std::string_view k1102[] = {
    "0: Mode 0 3-phase PWM modulation ",
    "1: Mode 1 2-phase PWM modulation ",
    "2: Mode 2 2-phase randomized PWM modulation ",
};

// 11-03
constexpr std::string_view k1103[] = {
    "0: Disabled",
    "1: Enabled ",
};

// 12-01
constexpr std::string_view k1201[] = {
    "0: Displayed in Integer(xxx) ",
    "1: Displayed with one decimal place(xx.x) ",
    "2: Displayed with one decimal place(x.xx) ",
};

// 12-02
constexpr std::string_view k1202[] = {
    "0: xxx__",
    "1: xxxpb(pressure) ",
    "2: xxxfl(flow) ",
};

// 12-04
constexpr std::string_view k1204[] = {
    "0: Drive output frequency is displayed ",
    "1: Line speed is displayed in integer(xxxxx) ",
    "2: Line speed is displayed with one decimal place(xxxx.x) ",
    "3: Line speed is displayed with two decimal place(xxx.xx) ",
    "4: Line speed is displayed with three decimal place(xx.xxx) ",
};

// 13-02, F_30
constexpr std::string_view k1302[] = {
    "0: The inverter is normal",
    "1: Inverter over heat",
    "2: Over current at stop",
    "3: Under voltage at stop",
    "4: Over voltage at stop",
    "6: External bb",
    "8: PID feedback loss detect",
    "9: EEPROM problem",
    "12: Inverter overload",
    "13: Motor overload",
    "14: EFO",
    "15: External Rapid stop",
    "16: Parameter locked",
    "18: Over-current at fixed speed",
    "19: Over-current at acceleration",
    "20: Over-current at deceleration",
    "21: Over-current at start",
    "23: Voltage too low during operation",
    "24: Excessive voltage during operation/deceleration",
    "26: Zero speed at stop",
    "27: Fail to start directly on power up",
    "28: Keypad emergency stop operated",
    "29: Keypad operation error",
    "30: Parameter setting error",
    "32: Parameter modified in communication",
    "33: Communication failed",
    "34: Parameter confilict",
};

// 13-05
constexpr std::string_view k1305[] = {
    "0: time under power ",
    "1: time only run mode",
};

// 13-06
constexpr std::string_view k1306[] = {
    "0: Enalbe all Functions",
    "1: 5-01~5-08 can't be changed",
    "2: only 5-01~5-08 can be changed",
    "3: only 13- 06 can be changed",
};

// 13-08
constexpr std::string_view k1308[] = {
    "0000: None",
    "1150: Reset to the factory setting(50hz)",
    "1160: Reset to the factory setting(60hz)",
};

// F_25
constexpr std::string_view kF25[] = {
    "0000: None",
    "1150: Reset to the factory setting(50Hz)",
    "1160: Reset to the factory setting(60Hz)",
};

// 13-09
constexpr std::string_view k1309[] = {
    "0: Basic parameters",
    "1: Advanced parameters",
};

// clang-format on

constexpr std::string_view kBinaryDigitLabels[] = {"S5", "S4", "S3", "S2", "S1"};

constexpr PageRow list(std::string_view code, std::span<const std::string_view> options,
                       unsigned flags = 0) {
    return PageRow{code, C::List, options, flags, {}};
}
constexpr PageRow dec(std::string_view code, unsigned flags = 0) {
    return PageRow{code, C::DecimalEdit, {}, flags, {}};
}
constexpr PageRow num(std::string_view code, unsigned flags = 0) {
    return PageRow{code, C::IntegerEdit, {}, flags, {}};
}

// clang-format off
constexpr PageRow k134[] = {
    list("00-01", k0001), list("00-02", k0002, RUN), list("00-03", k0002, RUN),
    list("00-04", k0004, RUN), list("00-05", k0005, RUN), list("00-06", k0005, RUN),
    list("00-07", k0007, RUN), dec("00-08", RO | RUN), list("00-09", k0009, RUN),
    list("00-10", k0010, RUN),
};
constexpr PageRow k135[] = {
    dec("00-11", RUN), dec("00-12", RUN), dec("00-13", RUN), dec("00-14"), dec("00-15"),
    dec("00-16"), dec("00-17"), dec("00-18"), dec("00-19"), dec("00-20"),
};
constexpr PageRow k141[] = {
    num("01-00", RUN), dec("01-01", RUN), dec("01-02", RUN), dec("01-03", RUN), dec("01-04", RUN),
    dec("01-05", RUN), dec("01-06", RUN), dec("01-07", RUN), dec("01-08", RUN), dec("01-09", RUN),
};
constexpr PageRow k143[] = {
    dec("01-10"), dec("01-11", RUN),
};
constexpr PageRow k173[] = {
    dec("02-00", RUN), dec("02-01", RUN), dec("02-02"), num("02-03", RUN), dec("02-04", RUN),
};
constexpr PageRow k174[] = {
    list("03-00", k0300, RUN), list("03-01", k0300, RUN), list("03-02", k0300, RUN),
    list("03-03", k0300, RUN), list("03-04", k0300, RUN), dec("03-06", RUN),
    list("03-07", k0307, RUN), num("03-08", RUN),
    PageRow{"03-09", C::BinaryDigits, {}, RUN, kBinaryDigitLabels},
    list("03-11", k0311, RUN),
};
constexpr PageRow k175[] = {
    dec("03-13"), dec("03-14"), dec("03-15", RUN), dec("03-16", RUN), dec("03-17", RUN),
    dec("03-18", RUN), list("03-19", k0319, RUN),
};
constexpr PageRow k176[] = {
    list("04-00", k0400, RUN), num("04-01", RUN), num("04-02"), num("04-03"), list("04-04", k0404),
    list("04-05", k0404), num("04-06", RUN), num("04-07"), num("04-08"), list("04-09", k0404),
};
constexpr PageRow k177[] = {
    list("04-10", k0404), list("04-11", k0411), num("04-12"), num("04-13"), list("04-14", k0404),
    list("04-15", k0404),
};
constexpr PageRow k262[] = {
    list("05-00", k0500, RUN), dec("05-01"), dec("05-02"), dec("05-03"), dec("05-04"),
    dec("05-05"), dec("05-06"), dec("05-07"), dec("05-08"), dec("05-17"),
};
constexpr PageRow k264[] = {
    dec("05-18"), dec("05-19"), dec("05-20"), dec("05-21"), dec("05-22"), dec("05-23"),
    dec("05-24"), dec("05-25"), dec("05-26"), dec("05-27"),
};
constexpr PageRow k265[] = {
    dec("05-28"), dec("05-29"), dec("05-30"), dec("05-31"), dec("05-32"),
};
constexpr PageRow k266[] = {
    list("06-00", k0600, RUN), dec("06-01"), dec("06-02"), dec("06-03"), dec("06-04"),
    dec("06-05"), dec("06-06"), dec("06-07"), dec("06-16"), dec("06-17"),
};
constexpr PageRow k267[] = {
    dec("06-18"), dec("06-19"), dec("06-20"), dec("06-21"), dec("06-22"), dec("06-23"),
    list("06-32", k0632, RUN), list("06-33", k0632, RUN), list("06-34", k0632, RUN),
    list("06-35", k0632, RUN),
};
constexpr PageRow k268[] = {
    list("06-36", k0636, RUN), list("06-37", k0632, RUN), list("06-38", k0632, RUN),
    list("06-39", k0632, RUN),
};
constexpr PageRow k269[] = {
    list("07-00", k0700, RUN), dec("07-01", RUN), num("07-02", RUN), list("07-03", k0703, RUN),
    list("07-04", k0704, RUN), dec("07-05", RUN), dec("07-06", RUN), num("07-07", RUN),
    dec("07-08", RUN), list("07-09", k0709, RUN),
};
constexpr PageRow k270[] = {
    PageRow{"08-00", C::BinaryDigits, {}, RUN | rowflag::FirstDigitFixed, {}},
    num("08-01", RUN), num("08-02", RUN), num("08-03", RUN), dec("08-04"),
    list("08-05", k0805, RUN), list("08-06", k0805, RUN), list("08-07", k0807, RUN),
    list("08-08", k0808, RUN), list("08-09", k0009, RUN),
};
constexpr PageRow k271[] = {
    num("09-00", RO | RUN), list("09-01", k0901, RO | RUN), list("09-02", k0902, RO | RUN),
    list("09-03", k0903, RO | RUN), list("09-04", k0904, RO | RUN), list("09-05", k0905, RO | RUN),
    dec("09-06", RUN), list("09-07", k0907, RUN), num("09-08", RUN), num("09-09", RUN),
};
constexpr PageRow k272[] = {
    list("10-00", k1000), list("10-01", k1000), dec("10-02"), list("10-03", k1003, RUN),
    dec("10-04", RUN), dec("10-05", RUN), dec("10-06", RUN), dec("10-07", RUN),
    list("10-08", k0404, RUN), num("10-09", RUN),
};
constexpr PageRow k273[] = {
    dec("10-10"), list("10-11", k1011, RUN), num("10-12", RUN), dec("10-13", RUN), num("10-14"),
    num("10-15", RUN), num("10-16", RUN), dec("10-17", RUN), dec("10-18", RUN), dec("10-19", RUN),
};
constexpr PageRow k274[] = {
    dec("10-20", RUN), num("10-21"), num("10-22"),
};
constexpr PageRow k275[] = {
    list("11-00", k1100, RUN), num("11-01", RUN), list("11-02", k1102, RUN),
    list("11-03", k1103, RUN), dec("11-04", RUN), dec("11-05", RUN), dec("11-06", RUN),
    dec("11-07", RUN), dec("11-08"), dec("11-09"),
};
constexpr PageRow k276[] = {
    dec("11-10"), dec("11-11"),
};
constexpr PageRow k277[] = {
    PageRow{"12-00", C::OctalDigits, {}, 0, {}},
    list("12-01", k1201), list("12-02", k1202), num("12-03"), list("12-04", k1204),
    num("12-05", RO | RUN | rowflag::NoRange),
};
constexpr PageRow k278[] = {
    PageRow{"13-00", C::TextEdit, {}, RO | rowflag::NoRange, {}},
    dec("13-01", RO | rowflag::NoRange), list("13-02", k1302, RO), num("13-03", RUN),
    num("13-04", RUN), list("13-05", k1305, RUN), list("13-06", k1306, RUN),
    num("13-07", RO | RUN | rowflag::Masked), PageRow{"13-08", C::ResetList, k1308, RUN, {}},
    list("13-09", k1309, RUN | rowflag::NotInProject),
};
constexpr PageRow k5781[] = {
    dec("F_01"), dec("F_02"), list("F_03", kF03, RUN), list("F_04", k0001),
    num("F_05", RUN), dec("F_06", RUN), dec("F_07", RUN), dec("F_08"), dec("F_09"),
    list("F_10", kF10, RUN),
};
constexpr PageRow k5782[] = {
    list("F_11", kF11, RUN), num("F_12", RUN), dec("F_13"), list("F_14", k0709, RUN),
    dec("F_15", RUN), dec("F_16", RUN), num("F_17", RUN), dec("F_18", RUN),
    list("F_19", kF19, RUN), list("F_20", kF19, RUN),
};
constexpr PageRow k5783[] = {
    list("F_21", kF21, RUN), list("F_22", k1100, RUN), list("F_23", k0700, RUN),
    num("F_24", RUN), PageRow{"F_25", C::ResetList, kF25, RUN, {}}, dec("F_26"), dec("F_27"),
    list("F_28", k0704, RUN), dec("F_29", RO | RUN | rowflag::NoRange), list("F_30", k1302, RO | RUN),
};

constexpr int kAddend = 1000;       // 0.001
constexpr int kBasicAddend = 10;    // 0.00001 on the basic group's pages

constexpr PageSpec page(int dialogId, int group, int firstPosition, std::string_view tabText,
                        std::span<const PageRow> rows, bool checksRunning = true) {
    return PageSpec{dialogId, group, firstPosition, tabText, rows, checksRunning, false, false,
                    group == kBasicGroup ? kBasicAddend : kAddend};
}

constexpr PageSpec withRunSource(PageSpec p) {
    p.readsRunSource = true;
    return p;
}
constexpr PageSpec withVersion(PageSpec p) {
    p.readsVersion = true;
    return p;
}

constexpr std::array kPages{
    withRunSource(page(134, 0, 0, "-> 00-01 - 00-10 ", k134)),
    page(135, 0, 10, "    00-11 - 00-20    ", k135),
    page(141, 1, 0, "-> 01-01 - 01-09 ", k141),
    page(143, 1, 10, "    01-10 - 01-11    ", k143),
    withVersion(page(173, 2, 0, "-> 02-00 - 02-04 ", k173)),
    page(174, 3, 0, "-> 03-00 - 03-11 ", k174),
    page(175, 3, 10, "    03-13 - 03-19    ", k175),
    page(176, 4, 0, "-> 04-00 - 04-09 ", k176),
    page(177, 4, 10, "    04-10 - 04-15    ", k177, false),
    page(262, 5, 0, "-> 05-00 - 05-17 ", k262),
    page(264, 5, 10, "    05-18 - 05-27    ", k264, false),
    page(265, 5, 20, "    05-28 - 05-32    ", k265, false),
    page(266, 6, 0, "-> 06-00 - 06-17 ", k266),
    page(267, 6, 10, "    06-18 - 06-35    ", k267),
    page(268, 6, 20, "    06-36 - 06-39    ", k268),
    page(269, 7, 0, "-> 07-00 - 07-09 ", k269),
    page(270, 8, 0, "-> 08-00 - 08-09 ", k270),
    page(271, 9, 0, "-> 09-00 - 09-09 ", k271),
    page(272, 10, 0, "-> 10-00 - 10-09 ", k272),
    page(273, 10, 10, "    10-10 - 10-19    ", k273),
    page(274, 10, 20, "    10-20 - 10-22    ", k274),
    page(275, 11, 0, "-> 11-00 - 11-09 ", k275),
    page(276, 11, 10, "    11-10 - 11-11    ", k276, false),
    page(277, 12, 0, "-> 12-00 - 12-05 ", k277),
    page(278, 13, 0, "-> 13-00 - 13-08 ", k278),
    page(5781, 14, 0, "-> F_01 - F_10 ", k5781),
    page(5782, 14, 10, "    F_11 - F_20    ", k5782),
    page(5783, 14, 20, "    F_21 - F_30    ", k5783),
};
// clang-format on

constexpr bool pagesInGroupOrder() {
    for (std::size_t i = 1; i < kPages.size(); ++i)
        if (kPages[i].group < kPages[i - 1].group)
            return false;
    for (const PageSpec& p : kPages)
        if (p.rows.empty() || p.rows.size() > kRowsPerPage)
            return false;
    return true;
}
static_assert(pagesInGroupOrder(), "pages must be listed group by group, ten rows at most");

std::int64_t powerOfTen(int n) {
    std::int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// The decimal number that is the whole text, in millionths; empty for anything else.
std::optional<std::int64_t> micros(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    std::int64_t whole = 0;
    std::int64_t fraction = 0;
    int places = 0;
    bool digits = false;
    bool point = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            digits = true;
            if (!point) {
                if (whole > 1'000'000'000)
                    return std::nullopt; // far beyond any word
                whole = whole * 10 + (c - '0');
            } else if (places < 6) {
                fraction = fraction * 10 + (c - '0');
                ++places;
            }
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    return whole * 1'000'000 + fraction * powerOfTen(6 - places);
}

} // namespace

std::span<const PageSpec> allPages() {
    return kPages;
}

std::span<const PageSpec> groupPages(int group) {
    std::size_t first = 0;
    while (first < kPages.size() && kPages[first].group < group)
        ++first;
    std::size_t end = first;
    while (end < kPages.size() && kPages[end].group == group)
        ++end;
    return std::span<const PageSpec>(kPages).subspan(first, end - first);
}

const PageSpec* findPage(int dialogId) {
    for (const PageSpec& p : kPages)
        if (p.dialogId == dialogId)
            return &p;
    return nullptr;
}

int pageIndexOfPosition(int group, int position) {
    const auto pages = groupPages(group);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const int first = pages[i].firstPosition;
        if (position >= first && position < first + static_cast<int>(pages[i].rows.size()))
            return static_cast<int>(i);
    }
    return -1;
}

const ParamSpec& rowSpec(const PageSpec& page, int row) {
    return groupSpecs(page.group)[static_cast<std::size_t>(page.firstPosition + row)];
}

int groupCommand(int group) {
    // The menu's commands were numbered as the groups were added: 01 came after 13.
    static constexpr std::array<int, kGroupCount> commands{32774, 32787, 32775, 32776, 32777,
                                                           32778, 32779, 32780, 32781, 32782,
                                                           32783, 32784, 32785, 32786, 32807};
    return group >= 0 && group < kGroupCount ? commands[static_cast<std::size_t>(group)] : 0;
}

std::optional<int> groupOfCommand(int command) {
    for (int g = 0; g < kGroupCount; ++g)
        if (groupCommand(g) == command)
            return g;
    return std::nullopt;
}

std::string rangeText(const ParamSpec& entry, int modelCode) {
    // A model of neither class checks nothing; the field still shows the low-voltage range.
    const ValueRange range =
        effectiveRange(entry, modelCode).value_or(ValueRange{entry.minValue, entry.maxValue});
    const std::int64_t scale = powerOfTen(decimalsOf(entry.format));
    const auto word = [scale](double v) {
        return static_cast<std::uint16_t>(std::llround(v * static_cast<double>(scale)));
    };
    return formatWord(entry.format, word(range.minValue)) + "~" +
           formatWord(entry.format, word(range.maxValue));
}

std::optional<std::string> listValueText(const ParamSpec& entry, const PageRow& row, int position) {
    if (position < 0 || position >= static_cast<int>(row.options.size()))
        return std::nullopt;
    const auto value = optionValue(entry, position);
    if (!value)
        return std::nullopt;
    return formatWord(entry.format, static_cast<std::uint16_t>(*value));
}

int listPosition(const ParamSpec& entry, const PageRow& row, std::string_view text) {
    const auto word = parseText(entry, text);
    const auto position = word ? optionPosition(entry, *word) : std::nullopt;
    if (row.control == RowControl::ResetList)
        return position.value_or(0);
    if (!position || *position >= static_cast<int>(row.options.size()))
        return -1;
    return *position;
}

std::vector<int> digitPositions(const ParamSpec& entry, std::string_view text) {
    const int base = entry.format == ValueFormat::Octal5 ? 8 : 2;
    std::vector<int> digits(kDigitCount, -1);
    if (text.size() != kDigitCount)
        return digits;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int d = text[i] - '0';
        if (d >= 0 && d < base)
            digits[i] = d;
    }
    return digits;
}

std::optional<std::string> digitsText(std::span<const int> positions) {
    std::string text;
    for (int p : positions) {
        if (p < 0 || p > 9)
            return std::nullopt;
        text += static_cast<char>('0' + p);
    }
    return text;
}

std::optional<std::uint16_t> rowWord(const PageSpec& page, const ParamSpec& entry,
                                     std::string_view text) {
    if (entry.format != ValueFormat::Tenths && entry.format != ValueFormat::Hundredths)
        return parseText(entry, text);
    const auto value = micros(text);
    if (!value)
        return std::nullopt;
    const std::int64_t units =
        (*value + page.addendMicros) * powerOfTen(decimalsOf(entry.format)) / 1'000'000;
    if (units > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(units);
}

std::optional<std::string> transmitText(const ParamSpec& entry, std::string_view valueText) {
    if (entry.format != ValueFormat::Binary5 && entry.format != ValueFormat::Octal5)
        return std::string(valueText);
    const auto word = parseText(entry, valueText);
    if (!word)
        return std::nullopt;
    return std::to_string(*word);
}

} // namespace kvd
