#pragma once
// Names in the Controls model of main-window controls whose designer names
// say nothing of their role. Controls not listed here are used by their
// designer names directly ("Edit8", "Shape9", "Button7", "ComboBox1").

namespace mz::ctl {

// The three test panels, which overlap, and the custom sub-panel.
inline constexpr const char* SetupPanel = "Setuppanel";
inline constexpr const char* SinglePanel = "Singlepanel";
inline constexpr const char* ReportPanel = "Reportpanel";
inline constexpr const char* CustomPanel = "Custompanel";
inline constexpr const char* SetupHeading = "Setupheading";  // "STANDARD", "CUSTOM", ...
inline constexpr const char* SetupFileLabel = "Setupfilelabel";

// Monitor panel.
inline constexpr const char* MonitorHeading = "Label19";  // "MONITOR" / "Watchdog Alarm"
inline constexpr const char* ModeLabel = "Modelabel";
inline constexpr const char* FileLabel = "Filelabel";
inline constexpr const char* Current = "Edit8";
inline constexpr const char* Dwell = "Edit9";
inline constexpr const char* Total = "Edit10";
inline constexpr const char* Actual = "Edit11";
inline constexpr const char* Target = "Edit12";
inline constexpr const char* MonitorModulation = "Edit21";

// The main window's caption, which shows a test's progress while it runs.
inline constexpr const char* MainCaption = "Main";
inline constexpr const char* kMainTitle = "Halvorn Synthesiser MZ4800";

// Title bar.
inline constexpr const char* TitleLabel = "Titlelabel";
inline constexpr const char* ClockLabel = "Clocklabel";

// Lamps.
inline constexpr const char* LampReady = "Shape1";
inline constexpr const char* LampRunning = "shape2";
inline constexpr const char* LampSettling = "Shape3";
inline constexpr const char* LampModulation = "Shape4";
inline constexpr const char* LampStandby = "Shape5";
inline constexpr const char* LampEutOk = "Shape6";
inline constexpr const char* LampEutFault = "Shape7";
inline constexpr const char* LampPrompt = "Shape8";
inline constexpr const char* LampComms = "Shape9";
inline constexpr const char* LampSynth = "Shape10";
inline constexpr const char* LampAmplifier = "Shape11";
inline constexpr const char* ResetComms = "Button7";
inline constexpr const char* SimulationLabel = "warnlabel";

// Modulation display.
inline constexpr const char* ModulationCombo = "ComboBox1";
inline constexpr const char* SetupDepthLabel = "Label28";     // "Modulation Depth = 80%"
inline constexpr const char* SingleDepthCaption = "Label61";  // "Modulation Depth"
inline constexpr const char* SingleDepthValue = "Label30";    // "80 %"
inline constexpr const char* SingleModulationLabel = "Label62";
inline constexpr const char* SingleModGroup = "singlemodgroup";

// Single-frequency increment boxes, stored verbatim in the configuration.
inline constexpr const char* FreqIncrement = "Edit1";
inline constexpr const char* LevelIncrement = "Edit3";

// Test Type group ("Normal" / "Pre-Scanned").
inline constexpr const char* TestTypeGroup = "RadioGroup1";

// Menu items (their check marks are set while the window paints).
inline constexpr const char* MenuKv3100 = "KV31001";
inline constexpr const char* MenuWpa20 = "WPA201";
inline constexpr const char* MenuPaOther = "PAOther1";
inline constexpr const char* MenuCom[] = {"Simulate1", "Com11", "Com21", "Com31", "Com41"};
inline constexpr const char* MenuMode = "Mode1";
inline constexpr const char* MenuSaveResults = "SaveResults1";
inline constexpr const char* MenuSavePreScans = "SavePreScans1";
inline constexpr const char* MenuShowFieldWarnings = "ShowFieldWarningMessages1";

// Other windows' controls used by more than one part of the program.
inline constexpr const char* WarningsForm = "Warns";
inline constexpr const char* WarningText = "Warns.Label1";
inline constexpr const char* WarningDontShow =
    "Warns.CheckBox1";  // "Do Not Show This Warning Again "
inline constexpr const char* HardwareVersion = "Hkeep.VersionLabel";

// The main window's own dialogs, shown modally by form name, and their controls.
inline constexpr const char* NotesForm = "Nbook";
inline constexpr const char* NotesMemo = "Nbook.Memo1";
inline constexpr const char* DetailsForm = "Hkeep";
inline constexpr const char* DetailsDelimiter = "Hkeep.Edit1";
inline constexpr const char* DetailsCellNumber = "Hkeep.Edit2";
inline constexpr const char* AboutForm = "About";
inline constexpr const char* AboutVersion = "About.Label1";
inline constexpr const char* ScreenColoursForm = "Scol";
inline constexpr const char* PrinterColoursForm = "Pcol";

// The herald and the diagnostics window as non-modal windows.
inline constexpr const char* Herald = "Msg";
inline constexpr const char* Diagnostics = "diag";

}  // namespace mz::ctl

// The diagnostics window (TDiagform): its value labels.
namespace mz::diag {

inline constexpr const char* TxValue = "Diagform.Label2";    // drive code last computed
inline constexpr const char* TxFactor = "Diagform.Label11";  // characteristic value last computed
inline constexpr const char* RxValue = "Diagform.Label4";    // raw field reading
inline constexpr const char* DataValidity = "Diagform.Label6";  // condition byte
inline constexpr const char* TxString = "Diagform.Label8";      // last frame built
inline constexpr const char* RxString = "Diagform.Label10";     // receive buffer at the last frame

}  // namespace mz::diag
