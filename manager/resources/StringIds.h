// Numeric ids of the resources the program loads from the resource library.
// Texts themselves live only in the library; code passes ids and arguments.
#pragma once

namespace kvd::ids {

// Window titles and fixed labels.
constexpr int MainTitle = 128;        // main window title
constexpr int DocumentTemplate = 129; // document template string (title, type names)
constexpr int MenuNoProject = 128;    // menu while no project is open
constexpr int MenuProject = 129;      // menu while a project is open
constexpr int MenuGraphPopup = 143;   // right-click menu of the graph window
constexpr int MenuGraph = 174;        // menu bar of the graph window
constexpr int Accelerators = 128;
constexpr int ToolBar = 128;
constexpr int ToolBarGraph = 129;
constexpr int DialogAbout = 100;
constexpr int DialogModelSelect = 131;
constexpr int DialogConnect = 138;
constexpr int DialogPrintTitle = 161;
constexpr int DialogProgress = 167;
constexpr int DialogRead = 172;          // station of the Read command
constexpr int DialogStationSelect = 192; // station of the other transfers
constexpr int DialogParameterSelect = 199;

// Controls whose texts the library carries beyond the ones named with their dialog.
constexpr int ConnectStationHint = 1071; // hint line under the station text of DialogConnect
constexpr int PrintTitleEdit = 1142;     // DialogPrintTitle: title, name and department edits
constexpr int PrintNameEdit = 1143;
constexpr int PrintDepartmentEdit = 1144;
constexpr int AdvancedParametersRadio = 1059; // DialogParameterSelect: the two sets
constexpr int BasicParametersRadio = 1072;
constexpr int ReadStationList = 1025;   // DialogRead: the online stations
constexpr int SelectStationList = 1074; // DialogStationSelect: the online stations

// Strings: list columns, panes and labels.
constexpr int AppName = 61440;
constexpr int ColumnGroup = 61441;
constexpr int ColumnParameterCode = 61442;
constexpr int ColumnUnit = 61443;
constexpr int ColumnRange = 61444;
constexpr int LabelMinimum = 61445;
constexpr int LabelMaximum = 61446;
constexpr int ColumnFactory = 61447;
constexpr int ColumnCurrent = 61448;
constexpr int DockWindows = 61449;
constexpr int ProjectTree = 61450;
constexpr int PaneFileName = 61451;
constexpr int PaneVersion = 61452;
constexpr int PaneStation = 61453;
constexpr int PaneModel = 61454;
constexpr int PaneUnlink = 61455;
constexpr int ModelLinePrefix = 61456; // "TYPE:" of the model description file
constexpr int ModelSelectTitle = 61457;
constexpr int NewProject = 61458;
constexpr int ParameterTree = 61459;
constexpr int BeyondRange = 61460;
constexpr int ParameterWindowTitle = 61461;
constexpr int ProjectFileFilter = 61462; // two %s
constexpr int OpenProjectTitle = 61463;

// Strings: connection and stations.
constexpr int StationEmpty = 61464;
constexpr int StationAbove32 = 61465;
constexpr int StationRangeOrder = 61466;
constexpr int StationRepeated = 61467;
constexpr int CantOpenPort = 61468;
constexpr int StationConnectFailure = 61469;
constexpr int LinkSuccessful = 61470;
constexpr int LinkFailure = 61471;
constexpr int LinkClosed = 61472;
constexpr int ConnectFirst = 61473;
constexpr int NoStationOnline = 61474;
constexpr int PortInUse = 61475;
constexpr int InverterNoAnswer = 61476;
constexpr int CrcParityError = 61477;
constexpr int TimeOut = 61478;
constexpr int CommunicationError = 61479;

// Strings: group transfers.
constexpr int StationNumFormat = 61480; // %d
constexpr int ReadGroupFormat = 61481;  // %d
constexpr int WriteGroupFormat = 61482; // %d
constexpr int ParameterReadOnly = 61483;
constexpr int ReadSuccessful = 61484;
constexpr int WriteFailure = 61485;
constexpr int WritingParameters = 61486;
constexpr int ReadingParameters = 61487;
constexpr int PleaseWait = 61488;

// Strings: graph watch.
constexpr int GraphValue = 61489;
constexpr int GraphDegree = 61490;
constexpr int ChannelNoDisplay = 61491;
constexpr int ChannelSetFrequency = 61492;
constexpr int ChannelOutputFrequency = 61493;
constexpr int ChannelOutputVoltage = 61494;
constexpr int ChannelDcVoltage = 61495;
constexpr int ChannelOutputCurrent = 61496;
constexpr int ChannelOutputTorque = 61497;
constexpr int ChannelPidFeedback = 61498;
constexpr int ChannelPidInput = 61499;
constexpr int ChannelAviInput = 61500;
constexpr int ChannelAciInput = 61501;
constexpr int MaximumNotAboveMinimum = 61502;
constexpr int FileNotExist = 61503;
constexpr int CurveYellow = 61504;
constexpr int CurveGreen = 61505;
constexpr int CurveRed = 61506;
constexpr int CurveBlue = 61507;
constexpr int GraphStart = 61508;
constexpr int GraphStop = 61509;
constexpr int GraphPause = 61510;
constexpr int TimeIntervalLabel = 61511;
constexpr int GraphTitle = 61512;
constexpr int FileCantBeSaved = 61513;

// Strings: keypad and control.
constexpr int FrequencySourceError = 61514;
constexpr int FrequencyBeyondRange = 61515;
constexpr int RunSourceError = 61516;
constexpr int WriteRunCommandError = 61517;
constexpr int WriteStopCommandError = 61518;
constexpr int SetFrequencyError = 61519;

// Strings: password.
constexpr int ReadPasswordError = 61520;
constexpr int DisablePasswordError = 61521;
constexpr int SetPasswordFailure = 61522;

// Strings: printing.
constexpr int PrintTitleDefault = 61523;
constexpr int PrintTitleTooLong = 61524;
constexpr int PrintDepartment = 61525;
constexpr int PrintName = 61526;
constexpr int PrintDate = 61527;
constexpr int PrintTime = 61528;
constexpr int InstallPrinter = 61529;
constexpr int PrintPage = 61530;
constexpr int PrintTitleSetTitle = 61531;

// Strings: parameter rules, project and drive messages.
constexpr int Params0005And0006Same = 61532;
constexpr int Params1000And1001Same = 61533;
constexpr int StationHasPassword = 61534; // %d
constexpr int SetFrequencyBeyondLimits = 61535;
constexpr int SaveModifiedQuestion = 61536;
constexpr int SaveFailure = 61537;
constexpr int ProjectFileInvalid = 61538;
constexpr int NotConnected = 61539;
constexpr int Online = 61540;
constexpr int WriteSuccessful = 61541;
constexpr int ColumnDescription = 61542;
constexpr int JogForward = 61543;
constexpr int StopJogForward = 61544;
constexpr int JogReverse = 61545;
constexpr int StopJogReverse = 61546;
constexpr int TabStatus = 61547;
constexpr int TabTerminal = 61548;
constexpr int MonitorStatusTitle = 61549;
constexpr int RepeatPasswordDiffers = 61550;
constexpr int OldPasswordWrong = 61551;
constexpr int PasswordNotDecimal = 61552;
constexpr int StationHasNoPassword = 61553;
constexpr int HelpMissing = 61554;
constexpr int InverterTypeMismatch = 61555;
constexpr int ColumnCode = 61556;
constexpr int ColumnEdit = 61557;
constexpr int ColumnRead = 61558;

// Strings: import and export.
constexpr int DatabaseError = 61559;
constexpr int ImportSuccess = 61560;
constexpr int ExportSuccess = 61561;
constexpr int SetupExcelDriver = 61562;
constexpr int OpenFileFailed = 61563;
constexpr int ImportFileFilter = 61564; // five %s
constexpr int ExportFileFilter = 61565; // two %s
constexpr int FileLostSetupAgain = 61566;
constexpr int ExcelCantStart = 61567;
constexpr int InitialComFailed = 61568;
constexpr int ImportLineError = 61569; // %d, %s
constexpr int ImportFileError = 61570;

// Strings whose wording is the library's own.
constexpr int InverterRunning = 61571;
constexpr int StationDropped = 61572; // %d
constexpr int NoModuleChosen = 61573;
constexpr int CompareFileFilter = 61574; // two %s
constexpr int ReadCompleted = 61575;
constexpr int AutoUpdateBlocksProject = 61576;
constexpr int TimeIntervalZero = 61577;
constexpr int CompareFileName = 61578;
constexpr int InitialParamFileMissing = 61579;
constexpr int VersionLacksParameter = 61580;
constexpr int Param0200Above0201 = 61581;
constexpr int OfferReadAfterConnect = 61582;
constexpr int PreviewFailed = 61705;

// Commands.
constexpr int CmdNew = 57600;
constexpr int CmdOpen = 57601;
constexpr int CmdClose = 57602;
constexpr int CmdSave = 57603;
constexpr int CmdSaveAs = 57604;
constexpr int CmdPrintSetup = 57606;
constexpr int CmdPrint = 57607;
constexpr int CmdPrintDirect = 57608;
constexpr int CmdPrintPreview = 57609;
constexpr int CmdRecentFirst = 57616;
constexpr int CmdCopy = 57634;
constexpr int CmdCut = 57635;
constexpr int CmdPaste = 57637;
constexpr int CmdUndo = 57643;
constexpr int CmdAbout = 57664;
constexpr int CmdExit = 57665;
constexpr int CmdNextPane = 57680;
constexpr int CmdPrevPane = 57681;
constexpr int CmdHelp = 32771;
constexpr int CmdConnect = 32772;
constexpr int CmdProjectWindow = 32773;
constexpr int CmdGroup00 = 32774;
constexpr int CmdGroup02 = 32775; // 32776..32786: groups 03..13
constexpr int CmdGroup13 = 32786;
constexpr int CmdGroup01 = 32787;
constexpr int CmdRead = 32788;
constexpr int CmdWrite = 32789;
constexpr int CmdStatus = 32790;
constexpr int CmdControl = 32791;
constexpr int CmdGraphWatch = 32792;
constexpr int CmdKeyPad = 32793;
constexpr int CmdPasswordSet = 32794;
constexpr int CmdPasswordRemove = 32795;
constexpr int CmdPrintTitle = 32796;
constexpr int CmdImportParams = 32799;
constexpr int CmdExportParams = 32800;
constexpr int CmdGraphStop = 32800; // same id in the graph window
constexpr int CmdGraphDimTime = 32801;
constexpr int CmdGraphExport = 32802;
constexpr int CmdGraphImport = 32803;
constexpr int CmdAutoUpdate = 32805;
constexpr int CmdParameterSelect = 32806;
constexpr int CmdGroupF = 32807;
constexpr int CmdGraphSave = 32815;
constexpr int CmdGraphPause = 32819;
constexpr int CmdGraphStart = 32820;
constexpr int CmdCompare = 32821;
constexpr int CmdGraphSet = 32822;
constexpr int CmdToolBar = 59392;
constexpr int CmdStatusBar = 59393;

} // namespace kvd::ids
