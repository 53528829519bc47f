// The set-up panel of the Standard and Custom tests, with the custom points
// grid on a sub-panel that covers the sweep boxes in Custom mode.
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>

#include "core/control_names.h"
#include "core/test_panels.h"
#include "execution/run_sequencer.h"
#include "execution/setup_handlers.h"
#include "program/main_window_commands.h"
#include "ui/widgets/radio_group.h"
#include "ui/widgets/string_grid.h"
#include "ui/windows/main_window.h"
#include "ui/windows/panel_style.h"

namespace mz {

namespace {

QGroupBox* Group(QWidget* parent, const QString& title, QRect r) {
  auto* g = new QGroupBox(title, parent);
  g->setGeometry(r);
  return g;
}

}  // namespace

void MainWindow::BuildSetupPanel(QWidget* client) {
  QFrame* panel = Panel(client, ctl::SetupPanel, kTestPanelRect);
  testPanels_.push_back(panel);

  auto* heading = Heading(panel, "STANDARD", {150, 4, 220, 18}, 13);
  heading->setObjectName(ObjectName(ctl::SetupHeading));
  binder_.Bind(ctl::SetupHeading, heading);
  auto* fileName = Caption(panel, QString(), {372, 6, 142, 14}, Qt::AlignRight | Qt::AlignVCenter);
  fileName->setObjectName(ObjectName(ctl::SetupFileLabel));
  binder_.Bind(ctl::SetupFileLabel, fileName);
  auto* rule = new QFrame(panel);
  rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  rule->setGeometry(4, 23, 512, 2);

  // The sweep: start, finish and field. Leaving any of these boxes, or the
  // step box, validates the whole panel.
  auto sweepBox = [this](QWidget* parent, ControlId name, const QString& caption,
                         const QString& text, const QString& unit, int y) {
    Caption(parent, caption, {8, y, 44, 22});
    QLineEdit* edit = Edit(parent, name, text, {54, y, 58, 22});
    edit->setAccessibleName(caption + " (" + unit + ")");
    Caption(parent, unit, {116, y, 32, 22});
    OnExit(edit, [this] { StepeditExit(ctx_); });
    OnEnter(edit, [this] { StepeditKeyPress(ctx_, kEnterKey); });
    return edit;
  };
  QGroupBox* sweep = Group(panel, "Sweep", {6, 30, 152, 196});
  sweepBox(sweep, ctl::StartFreq, "Start", "50", "MHz", 30);
  sweepBox(sweep, ctl::FinishFreq, "Finish", "100", "MHz", 72);
  sweepBox(sweep, ctl::FieldLevel, "Field", "5", "V/M", 114);
  auto* range = Caption(sweep, "30 to 1000 MHz", {8, 162, 140, 16});
  QPalette grey = range->palette();
  grey.setColor(QPalette::WindowText, QColor(96, 96, 96));
  range->setPalette(grey);

  QGroupBox* timing = Group(panel, "Timing", {162, 30, 176, 94});
  Caption(timing, "Step (%)", {8, 18, 104, 22});
  QLineEdit* step = Edit(timing, ctl::StepPercent, "5", {114, 18, 54, 22});
  step->setAccessibleName("Step (%)");
  OnExit(step, [this] { StepeditExit(ctx_); });
  OnEnter(step, [this] { StepeditKeyPress(ctx_, kEnterKey); });
  Caption(timing, "Dwell Time (secs)", {8, 43, 104, 22});
  QLineEdit* dwell = Edit(timing, ctl::DwellTime, "5.0", {114, 43, 54, 22});
  dwell->setAccessibleName("Dwell Time (secs)");
  OnExit(dwell, [this] { Edit7Exit(ctx_); });
  OnEnter(dwell, [this] { Edit7KeyPress(ctx_, kEnterKey); });
  Caption(timing, "Estimated Time", {8, 68, 104, 22});
  Edit(timing, ctl::EstimatedTime, "0.0", {114, 68, 54, 22}, true)
      ->setAccessibleName("Estimated Time");

  auto* prompt = new RadioGroup("EUT Prompt", {"Off", "Pulse", "On"}, 1, panel);
  prompt->setObjectName(ObjectName(ctl::EutPrompt));
  prompt->setGeometry(162, 128, 84, 98);
  prompt->setItemIndex(0);
  binder_.Bind(ctl::EutPrompt, prompt);
  auto* status = new RadioGroup("EUT Status", {"Off", "Halt", "Continue"}, 1, panel);
  status->setObjectName(ObjectName(ctl::EutStatus));
  status->setGeometry(250, 128, 88, 98);
  status->setItemIndex(0);
  binder_.Bind(ctl::EutStatus, status);
  connect(status, &RadioGroup::clicked, this, [this] { Handle([this] { EUTstatusClick(ctx_); }); });

  QGroupBox* modulation = Group(panel, "Modulation", {342, 30, 172, 134});
  auto* combo = new QComboBox(modulation);
  combo->setObjectName(ObjectName(ctl::ModulationCombo));
  for (const char* name : kModulationNames) combo->addItem(name);
  combo->setCurrentIndex(4);
  combo->setGeometry(10, 26, 152, 24);
  binder_.Bind(ctl::ModulationCombo, combo);
  connect(combo, &QComboBox::activated, this,
          [this](int index) { Handle([this, index] { ShowModulation(ctx_, index); }); });
  auto* depth = Caption(modulation, "Modulation Depth = 80%", {10, 62, 154, 18});
  depth->setObjectName(ObjectName(ctl::SetupDepthLabel));
  binder_.Bind(ctl::SetupDepthLabel, depth);

  auto* testType = new RadioGroup("Test Type", {"Normal", "Pre-Scanned"}, 2, panel);
  testType->setObjectName(ObjectName(ctl::TestTypeGroup));
  testType->setGeometry(342, 170, 172, 56);
  testType->layout()->setContentsMargins(4, 2, 0, 2);
  testType->setItemIndex(0);
  testType->setEnabled(false);
  binder_.Bind(ctl::TestTypeGroup, testType);
  connect(testType, &RadioGroup::clicked, this,
          [this](int index) { Handle([this, index] { SetPreScanUse(ctx_, index); }); });

  BuildCustomPanel(panel);
}

void MainWindow::BuildCustomPanel(QWidget* setupPanel) {
  auto* custom = new QFrame(setupPanel);
  custom->setObjectName(ObjectName(ctl::CustomPanel));
  custom->setFrameStyle(QFrame::Panel | QFrame::Raised);
  custom->setGeometry(6, 30, 152, 196);
  custom->setAutoFillBackground(true);
  Heading(custom, "Custom Points", {2, 2, 148, 16});
  auto* grid = new StringGrid(2, 30, custom);
  grid->setObjectName(ObjectName(ctl::CustomGrid));
  grid->setGeometry(4, 20, 144, 172);
  QFont small = grid->font();
  small.setPixelSize(11);
  grid->setFont(small);
  grid->setCell(0, 0, "MHz");
  grid->setCell(1, 0, "V/M");
  custom->hide();
  binder_.Bind(ctl::CustomPanel, custom);
  binder_.Bind(ctl::CustomGrid, grid);
  OnExit(grid, [this] { StringGrid1Exit(ctx_); });
}

}  // namespace mz
