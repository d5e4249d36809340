// Writing a project's parameters to a drive: one group at a time in blocks of consecutive
// registers (function 0x10), and the Write command that sends all fifteen groups behind the
// progress window.
#pragma once

#include "AppState.h"
#include "CQ770Doc.h"
#include "GroupReader.h"
#include "Prompter.h"
#include "TransferHost.h"
#include "params/ParamGroup.h"

#include <QString>

#include <span>
#include <string>
#include <vector>

namespace kvd {

// The write blocks of a group in the order they are sent. Group 00 starts at 00-02 instead of
// 00-01 while the drive's run command source (cachedRunSource) is not 0: 00-01 is not
// writable then. A block whose parameter needs a newer drive software (02-04, 07-09) is sent
// only to drives that have it.
std::span<const RegisterBlock> writeBlocks(int group, int cachedRunSource);

// The values a group write sends, one text per item in catalogue order: the edit values,
// with the digit strings of 03-09, 08-00 (binary) and 12-00 (octal) turned into plain decimal
// integers ("01101" becomes "13", "05077" becomes "2623").
std::vector<std::string> writeValueList(const ParamGroup& group, int groupIndex);

// Status line of the progress window while `group` is written: "03-XX -- Station Num:1".
QString writeProgressText(int group, int station);

// The message of a failed block: "Station Num 1:write parameter group 3 TimeOut!" (the basic
// group is "F").
QString writeFailureText(int station, int group, const QString& reason);

// Writes one group from `values` (writeValueList, or the page controls of one group) to the
// station. Group 00 first checks 00-05 against 00-06 and reads the drive's 00-02 into
// state.cachedRunSource; group 10 checks 10-00 against 10-01; group 02 checks 02-00 and 02-01
// against the drive's current values before each of their blocks. A value that does not fit a
// register word fails the group before any of its blocks is sent. On failure the message is
// in state.lastErrorText; the blocks already sent stay written. Only a failed 00-02 read shows
// a message box of its own.
bool writeGroup(AppState& state, Prompter& prompter, double driveVersion, int group,
                const std::vector<std::string>& values, int station);

// Command 32789: dialog 192, the password and running checks, the drive's version, then all
// groups. The modified marks are cleared only after every group has been written.
bool writeCommand(TransferContext& context, CQ770Doc& doc);

} // namespace kvd
