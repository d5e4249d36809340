// Numeric ids of the resources the program loads from the resource library.
// Texts themselves live only in the library; code passes ids and arguments.
#pragma once

namespace kvd::ids {

// Window titles and fixed labels.
constexpr int MainTitle = 128;       // main window title
constexpr int MenuNoProject = 128;   // menu while no project is open
constexpr int MenuProject = 129;     // menu while a project is open
constexpr int Accelerators = 128;
constexpr int ToolBar = 128;
constexpr int DialogAbout = 100;
constexpr int DialogProgress = 167;

// Strings.
constexpr int ColumnFactory = 61447;
constexpr int ColumnCurrent = 61448;
constexpr int DockWindows = 61449;
constexpr int ProjectTree = 61450;
constexpr int PaneFileName = 61451;
constexpr int PaneVersion = 61452;
constexpr int PaneStation = 61453;
constexpr int PaneModel = 61454;
constexpr int PaneUnlink = 61455;
constexpr int NewProject = 61458;
constexpr int ParameterTree = 61459;
constexpr int CantOpenPort = 61468;
constexpr int CrcParityError = 61477;
constexpr int TimeOut = 61478;
constexpr int CommunicationError = 61479;
constexpr int Online = 61540;
constexpr int HelpMissing = 61554;

// Commands.
constexpr int CmdNew = 57600;
constexpr int CmdOpen = 57601;
constexpr int CmdClose = 57602;
constexpr int CmdSave = 57603;
constexpr int CmdSaveAs = 57604;
constexpr int CmdPrintSetup = 57606;
constexpr int CmdPrint = 57607;
constexpr int CmdPrintPreview = 57609;
constexpr int CmdRecentFirst = 57616;
constexpr int CmdAbout = 57664;
constexpr int CmdExit = 57665;
constexpr int CmdHelp = 32771;
constexpr int CmdConnect = 32772;
constexpr int CmdProjectWindow = 32773;
constexpr int CmdToolBar = 59392;
constexpr int CmdStatusBar = 59393;

} // namespace kvd::ids
