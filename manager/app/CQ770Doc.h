// The project document: one set of drive parameters for one drive model, built from the
// parameter data files, kept in fifteen groups, and saved as a project file (qf7). The model
// name, model code, supply frequency, project path and graph channel settings belong to the
// program-wide state; the document reads and sets them there. No widgets: the user is reached
// through the Prompter, the windows through DocumentHost and FileChooser.
#pragma once

#include "AppState.h"
#include "DocumentHost.h"
#include "Prompter.h"
#include "params/ParamGroup.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string_view>
#include <vector>

namespace kvd {

inline constexpr int kMarksPerGroup = 100; // no group has more items
inline constexpr const char* kProjectSuffix = "qf7";

// A graph channel as a new project has it: no quantity, scale 0.00 to 10.00.
ChannelSetting defaultChannelSetting(const QString& noDisplayText);

// The filter of the project file dialogs: "Project File(*.qf7)|*.qf7||".
FileFilter projectFileFilter();

// `path` with ".qf7" appended when its file name has no extension.
QString withProjectSuffix(const QString& path);

class CQ770Doc {
public:
    // Builds the groups from the parameter data file in state.programFolder, applies the
    // region defaults for state.driveModelCode and state.frequencyRegion, and resets the
    // state's four channel settings. A missing data file leaves the document without groups.
    CQ770Doc(AppState& state, Prompter& prompter, DocumentHost& host, FileChooser& files);
    CQ770Doc(const CQ770Doc&) = delete;
    CQ770Doc& operator=(const CQ770Doc&) = delete;

    std::vector<ParamGroup>& groups() { return groups_; }
    const std::vector<ParamGroup>& groups() const { return groups_; }
    // The item at a position; nullptr outside the groups.
    ParamItem* item(int group, int position);
    const ParamItem* item(int group, int position) const;

    // Rows of the initial-parameter file as last read.
    const std::vector<InitialValueRow>& initialRows() const { return initialRows_; }

    // True while ApplyInitialValues may set edit values as well as factory values: a new
    // project. Cleared once a project file or a drive has supplied the values.
    bool valuesFromFile() const { return valuesFromFile_; }
    void setValuesFromFile(bool on) { valuesFromFile_ = on; }

    // Modified marks, one per (group, position) with 100 positions per group. They are the
    // items' own `modified` flags: positions without an item read false and ignore changes.
    bool modifiedMark(int group, int position) const;
    void setModifiedMark(int group, int position, bool on);
    void clearModifiedMarks();

    double driveVersion() const { return driveVersion_; }
    void setDriveVersion(double version) { driveVersion_ = version; }

    // The framework's modified flag: set when a page changes a value.
    bool isModified() const { return modified_; }
    void setModified(bool on = true) { modified_ = on; }

    // After a successful read of all groups: every edit value becomes the read value, except
    // for the parameters the group read leaves out (13-09, F_31). The drive has supplied the
    // values, so a following ApplyInitialValues sets factory values only.
    void adoptReadValues();

    // New project: applies the initial values and shows "New Project" and the model name.
    bool OnNewDocument();
    // Opens a project file into this (newly constructed) document. Refused with 61576 while
    // the automatic update runs. A file that cannot be read (61563) or is not a valid project
    // (61538) fails without changing the document or the state. On success the path becomes
    // the project path, the status panes show the file and model names and the project tree
    // is rebuilt.
    bool OnOpenDocument(const QString& path);
    // Writes the project file through a temporary file in the same folder that replaces the
    // target only once complete; on failure the old file is untouched and 61537 is shown.
    bool OnSaveDocument(const QString& path);

    // Load: decodes a project file into the groups' edit values, the model name and code and
    // the channel settings, and clears the values-from-file flag. False, with nothing
    // changed, for an invalid file.
    bool SerializeLoad(std::string_view bytes);
    // Store: the project file for the document and the state; empty (with `error`) when a
    // value does not fit the file's limits.
    std::optional<QByteArray> SerializeStore(std::string* error = nullptr) const;

    // Reads the initial-parameter file and puts the model's column into 01-01, 02-00, 02-01,
    // 02-04, 08-04 and F_18: factory values always, edit values while valuesFromFile(). A file
    // that cannot be read shows 61579 and changes nothing.
    bool ApplyInitialValues();

    // Before the project is left: when modified, asks 61536 with Yes, No and Cancel. Yes saves
    // (as Save does) and goes on only when the save succeeded; No goes on; Cancel stays.
    bool SaveModified(Icon icon = Icon::Question);
    // Save (57603): to the project path, asking for one when there is none.
    bool OnFileSave();
    // Save As (57604): always asks for the path first.
    bool OnFileSaveAs();

private:
    QString dataFilePath(std::string_view name) const;
    QString askSavePath();
    bool saveAt(const QString& path);

    AppState& state_;
    Prompter& prompter_;
    DocumentHost& host_;
    FileChooser& files_;

    std::vector<ParamGroup> groups_;
    std::vector<InitialValueRow> initialRows_;
    bool valuesFromFile_ = true;
    double driveVersion_ = 0;
    bool modified_ = false;
};

} // namespace kvd
