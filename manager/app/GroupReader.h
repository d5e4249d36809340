// Reading a drive's parameters into the project: one group at a time over the link, all
// fifteen groups behind the progress window, and the two commands that start such a read
// (Read, and the read offered after connecting).
#pragma once

#include "AppState.h"
#include "CQ770Doc.h"
#include "ProjectOps.h"
#include "Prompter.h"
#include "TransferHost.h"
#include "link/SerialLink.h"
#include "params/ParamGroup.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kvd {

// A run of consecutive registers that one request carries.
struct RegisterBlock {
    std::uint16_t start;
    int count;
};

// The read requests of a group in the order they are sent. A request whose parameters
// need a newer drive software (02-04, 07-09) is sent only to drives that have them.
std::span<const RegisterBlock> readRequests(int group);

// Status line of the progress window while `group` is read: "03-XX --Station Num:1".
QString readProgressText(int group, int station);

// Reads groups of one station over `link` into the read values of `groups`: the document's
// own groups, or a copy that a worker thread fills apart from the document.
class GroupReader {
public:
    GroupReader(SerialLink& link, std::vector<ParamGroup>& groups, double driveVersion);

    // Sends the group's requests in order and formats each reply word into the read value
    // of its item. Items of requests before a failing one keep their new values. A
    // parameter the drive's software lacks is not asked for; its read value becomes its
    // edit value so that it shows no difference and survives the copy into the project.
    bool readGroup(int group, int station);

    // The message text of the last failure: the link's message, or "Communication error!"
    // for a reply with the wrong function byte.
    const QString& error() const { return error_; }
    // The raw word of 13-00 once group 13 has been read.
    std::optional<int> modelCode() const { return modelCode_; }

private:
    SerialLink& link_;
    std::vector<ParamGroup>& groups_;
    double driveVersion_;
    QString error_;
    std::optional<int> modelCode_;
};

// readGroup on the project: 13-00 sets state.driveModelCode; a failure leaves its message in
// state.lastErrorText and shows nothing.
bool readGroup(AppState& state, CQ770Doc& doc, int group, int station);

// Groups 00 to 13 and F_ in order behind the progress window (range 0 to 15, the caption
// "Read Inverter function parameter...," and one status line per group). A failure hides the
// window and leaves the failing group's message in state.lastErrorText.
bool readAllGroups(AppState& state, CQ770Doc& doc, Prompter& prompter, int station);

// Reads 13-01 of the station into the document's driveVersion. A failure shows its message.
bool readDriveVersion(AppState& state, Prompter& prompter, CQ770Doc& doc, int station);

// Command 32788: dialog 172, the save question for a modified project, the drive's version,
// all groups, and on success the read values become the project's values (message 61575).
bool readCommand(TransferContext& context, CQ770Doc& doc);

// After a successful connection: offers to read (61582), asks the station (dialog 192),
// creates a project for the drive's model when none is open, and reads it as the Read
// command does, without the save question.
bool readAfterConnect(TransferContext& context, ProjectOps& projects);

} // namespace kvd
