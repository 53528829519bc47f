#pragma once
// Every control of the Controls model that the logic uses, declared once: the
// C++ name says what the control is, the ControlId holds its designer name.
// kAllControls lists them all, for the check that each is bound to a widget.
#include <cstddef>
#include <iterator>

#include "core/control_id.h"

namespace mz::ctl {

// The three test panels, which overlap, and the custom sub-panel.
inline constexpr ControlId SetupPanel{"Setuppanel"};
inline constexpr ControlId SinglePanel{"Singlepanel"};
inline constexpr ControlId ReportPanel{"Reportpanel"};
inline constexpr ControlId CustomPanel{"Custompanel"};
inline constexpr ControlId SetupHeading{"Setupheading"};  // "STANDARD", "CUSTOM", ...
inline constexpr ControlId SetupFileLabel{"Setupfilelabel"};

// The standard sweep and its timing.
inline constexpr ControlId StartFreq{"Edit2"};   // MHz
inline constexpr ControlId FinishFreq{"Edit4"};  // MHz
inline constexpr ControlId FieldLevel{"Edit5"};  // V/m
inline constexpr ControlId StepPercent{"Stepedit"};
inline constexpr ControlId DwellTime{"Edit7"};      // seconds
inline constexpr ControlId EstimatedTime{"Edit6"};  // read-only
inline constexpr ControlId EutStatus{"EUTstatus"};  // radio group
inline constexpr ControlId EutPrompt{"EUTprompt"};  // radio group
// The custom table: frequency (MHz) and level of each point.
inline constexpr ControlId CustomGrid{"StringGrid1"};

// The single-frequency panel.
inline constexpr ControlId SingleFreq{"Edit15"};   // MHz
inline constexpr ControlId SingleLevel{"Edit16"};  // V/m
inline constexpr ControlId FreqUp{"BitBtn1"};
inline constexpr ControlId FreqDown{"BitBtn2"};
inline constexpr ControlId LevelUp{"BitBtn3"};
inline constexpr ControlId LevelDown{"BitBtn4"};
// Increment boxes, stored verbatim in the configuration.
inline constexpr ControlId FreqIncrement{"Edit1"};
inline constexpr ControlId LevelIncrement{"Edit3"};
// Automatic level increase.
inline constexpr ControlId AutoIncrease{"CheckBox2"};
inline constexpr ControlId AutoIncStart{"Edit17"};
inline constexpr ControlId AutoIncStop{"Edit18"};
inline constexpr ControlId AutoIncStep{"Edit19"};
inline constexpr ControlId AutoIncDwell{"Edit20"};  // seconds
inline constexpr ControlId StopOnEutFault{"CheckBox1"};

// The main window's buttons.
inline constexpr ControlId RunButton{"Button1"};       // RUN / STOP
inline constexpr ControlId PreScanButton{"Button2"};   // PRE-SCAN / STOP
inline constexpr ControlId CustomButton{"Button3"};    // CUSTOM
inline constexpr ControlId SingleButton{"Button4"};    // SINGLE
inline constexpr ControlId StandardButton{"Button6"};  // STANDARD
inline constexpr ControlId PlotPreScan{"Button9"};     // "Plot Pre-Scan" (report panel)
inline constexpr ControlId DwellButton{"Button10"};    // DWELL / RELEASE
inline constexpr ControlId ChangeRange{"Button12"};    // report panel

// Monitor panel.
inline constexpr ControlId MonitorHeading{"Label19"};  // "MONITOR" / "Watchdog Alarm"
inline constexpr ControlId ModeLabel{"Modelabel"};
inline constexpr ControlId FileLabel{"Filelabel"};
inline constexpr ControlId Current{"Edit8"};
inline constexpr ControlId Dwell{"Edit9"};
inline constexpr ControlId Total{"Edit10"};
inline constexpr ControlId Actual{"Edit11"};
inline constexpr ControlId Target{"Edit12"};
inline constexpr ControlId MonitorModulation{"Edit21"};

// The main window's caption, which shows a test's progress while it runs.
inline constexpr ControlId MainCaption{"Main"};
inline constexpr const char* kMainTitle = "Halvorn Synthesiser MZ4800";

// Title bar.
inline constexpr ControlId TitleLabel{"Titlelabel"};
inline constexpr ControlId ClockLabel{"Clocklabel"};

// Lamps.
inline constexpr ControlId LampReady{"Shape1"};
inline constexpr ControlId LampRunning{"shape2"};
inline constexpr ControlId LampSettling{"Shape3"};
inline constexpr ControlId LampModulation{"Shape4"};
inline constexpr ControlId LampStandby{"Shape5"};
inline constexpr ControlId LampEutOk{"Shape6"};
inline constexpr ControlId LampEutFault{"Shape7"};
inline constexpr ControlId LampPrompt{"Shape8"};
inline constexpr ControlId LampComms{"Shape9"};
inline constexpr ControlId LampSynth{"Shape10"};
inline constexpr ControlId LampAmplifier{"Shape11"};
inline constexpr ControlId CommsLabel{"Label11"};  // beside the comms lamp; a click resets
inline constexpr ControlId ResetComms{"Button7"};
inline constexpr ControlId SimulationLabel{"warnlabel"};

// Modulation display.
inline constexpr ControlId ModulationCombo{"ComboBox1"};
inline constexpr ControlId SetupDepthLabel{"Label28"};     // "Modulation Depth = 80%"
inline constexpr ControlId SingleDepthCaption{"Label61"};  // "Modulation Depth"
inline constexpr ControlId SingleDepthValue{"Label30"};    // "80 %"
inline constexpr ControlId SingleModulationLabel{"Label62"};
inline constexpr ControlId SingleModGroup{"singlemodgroup"};

// Test Type group ("Normal" / "Pre-Scanned").
inline constexpr ControlId TestTypeGroup{"RadioGroup1"};

// Menu items (their check marks are set while the window paints).
inline constexpr ControlId MenuKv3100{"KV31001"};
inline constexpr ControlId MenuWpa20{"WPA201"};
inline constexpr ControlId MenuPaOther{"PAOther1"};
inline constexpr ControlId MenuCom[] = {ControlId{"Simulate1"}, ControlId{"Com11"},
                                        ControlId{"Com21"}, ControlId{"Com31"}, ControlId{"Com41"}};
inline constexpr ControlId MenuMode{"Mode1"};
inline constexpr ControlId MenuFastStepping{"FastStepping1"};
inline constexpr ControlId MenuFindThreshold{"FindThreshold1"};
inline constexpr ControlId MenuSaveResults{"SaveResults1"};
inline constexpr ControlId MenuSavePreScans{"SavePreScans1"};
inline constexpr ControlId MenuShowFieldWarnings{"ShowFieldWarningMessages1"};

// The windows' names, for Operator::ShowModal and Display::ShowWindow. They
// are windows, not controls of the model.
inline constexpr const char* WarningsForm = "Warns";
inline constexpr const char* NotesForm = "Nbook";
inline constexpr const char* DetailsForm = "Hkeep";
inline constexpr const char* AboutForm = "About";
inline constexpr const char* ScreenColoursForm = "Scol";
inline constexpr const char* PrinterColoursForm = "Pcol";
inline constexpr const char* Herald = "Msg";
inline constexpr const char* Diagnostics = "diag";

// The dialogs' controls: the window's name in front of the designer name.
inline constexpr ControlId WarningText{"Warns.Label1"};
inline constexpr ControlId WarningDontShow{"Warns.CheckBox1"};  // "Do Not Show This Warning Again "
inline constexpr ControlId NotesMemo{"Nbook.Memo1"};
inline constexpr ControlId DetailsDelimiter{"Hkeep.Edit1"};
inline constexpr ControlId DetailsCellNumber{"Hkeep.Edit2"};
inline constexpr ControlId HardwareVersion{"Hkeep.VersionLabel"};
inline constexpr ControlId AboutVersion{"About.Label1"};

// The colour dialogs' working colours, one per colour button, by picker
// 1..8 and 1..6 (index 0 is picker 1).
inline constexpr ControlId ScreenColourPicker[] = {
    ControlId{"Scol.ColorDialog1"}, ControlId{"Scol.ColorDialog2"}, ControlId{"Scol.ColorDialog3"},
    ControlId{"Scol.ColorDialog4"}, ControlId{"Scol.ColorDialog5"}, ControlId{"Scol.ColorDialog6"},
    ControlId{"Scol.ColorDialog7"}, ControlId{"Scol.ColorDialog8"}};
inline constexpr ControlId PrinterColourPicker[] = {
    ControlId{"Pcol.ColorDialog1"}, ControlId{"Pcol.ColorDialog2"}, ControlId{"Pcol.ColorDialog3"},
    ControlId{"Pcol.ColorDialog4"}, ControlId{"Pcol.ColorDialog5"}, ControlId{"Pcol.ColorDialog6"}};

}  // namespace mz::ctl

// The diagnostics window (TDiagform): its value labels.
namespace mz::diag {

inline constexpr ControlId TxValue{"Diagform.Label2"};       // drive code last computed
inline constexpr ControlId TxFactor{"Diagform.Label11"};     // characteristic value last computed
inline constexpr ControlId RxValue{"Diagform.Label4"};       // raw field reading
inline constexpr ControlId DataValidity{"Diagform.Label6"};  // condition byte
inline constexpr ControlId TxString{"Diagform.Label8"};      // last frame built
inline constexpr ControlId RxString{"Diagform.Label10"};     // receive buffer at the last frame

}  // namespace mz::diag

namespace mz::ctl {

// Every control above, once.
// clang-format off
inline constexpr ControlId kAllControls[] = {
    SetupPanel, SinglePanel, ReportPanel, CustomPanel, SetupHeading, SetupFileLabel, StartFreq,
    FinishFreq, FieldLevel, StepPercent, DwellTime, EstimatedTime, EutStatus, EutPrompt, CustomGrid,
    SingleFreq, SingleLevel, FreqUp, FreqDown, LevelUp, LevelDown, FreqIncrement, LevelIncrement,
    AutoIncrease, AutoIncStart, AutoIncStop, AutoIncStep, AutoIncDwell, StopOnEutFault, RunButton,
    PreScanButton, CustomButton, SingleButton, StandardButton, PlotPreScan, DwellButton,
    ChangeRange, MonitorHeading, ModeLabel, FileLabel, Current, Dwell, Total, Actual, Target,
    MonitorModulation, MainCaption, TitleLabel, ClockLabel, LampReady, LampRunning, LampSettling,
    LampModulation, LampStandby, LampEutOk, LampEutFault, LampPrompt, LampComms, LampSynth,
    LampAmplifier, CommsLabel, ResetComms, SimulationLabel, ModulationCombo, SetupDepthLabel,
    SingleDepthCaption, SingleDepthValue, SingleModulationLabel, SingleModGroup, TestTypeGroup,
    MenuKv3100, MenuWpa20, MenuPaOther, MenuCom[0], MenuCom[1], MenuCom[2], MenuCom[3], MenuCom[4],
    MenuMode, MenuFastStepping, MenuFindThreshold, MenuSaveResults, MenuSavePreScans, MenuShowFieldWarnings,
    WarningText,
    WarningDontShow, NotesMemo, DetailsDelimiter, DetailsCellNumber, HardwareVersion, AboutVersion,
    ScreenColourPicker[0], ScreenColourPicker[1], ScreenColourPicker[2], ScreenColourPicker[3],
    ScreenColourPicker[4], ScreenColourPicker[5], ScreenColourPicker[6], ScreenColourPicker[7],
    PrinterColourPicker[0], PrinterColourPicker[1], PrinterColourPicker[2], PrinterColourPicker[3],
    PrinterColourPicker[4], PrinterColourPicker[5], diag::TxValue, diag::TxFactor, diag::RxValue,
    diag::DataValidity, diag::TxString, diag::RxString};
// clang-format on

// No designer name is declared twice.
consteval bool AllNamesDiffer() {
  for (std::size_t i = 0; i < std::size(kAllControls); ++i)
    for (std::size_t j = i + 1; j < std::size(kAllControls); ++j)
      if (kAllControls[i].Name() == kAllControls[j].Name()) return false;
  return true;
}
static_assert(AllNamesDiffer(), "a designer name is declared twice");

}  // namespace mz::ctl
