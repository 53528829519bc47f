// The parts of the main window around the test panels: the STATUS, EUT and
// FAULT lamps, the title bar, the monitor and the buttons.
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "core/control_names.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "execution/stop_key.h"
#include "execution/test_type.h"
#include "link/supervision.h"
#include "program/campaign_run.h"
#include "program/main_window_commands.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/lamp.h"
#include "ui/widgets/press_button.h"
#include "ui/windows/main_window.h"
#include "ui/windows/panel_style.h"

namespace mz {

void MainWindow::BuildSidePanels(QWidget* client) {
  QFrame* status = Panel(client, ControlId{"Statuspanel"}, {4, 4, 100, 112});
  Heading(status, "STATUS", {2, 3, 96, 17});
  LampRow(status, ctl::LampReady, "Ready", 24);
  LampRow(status, ctl::LampRunning, "Running", 41);
  LampRow(status, ctl::LampSettling, "Settling", 58);
  LampRow(status, ctl::LampModulation, "Modulation", 75);
  LampRow(status, ctl::LampStandby, "Standby", 92);

  QFrame* eut = Panel(client, ControlId{"Eutpanel"}, {4, 120, 100, 78});
  Heading(eut, "EUT", {2, 3, 96, 17});
  LampRow(eut, ctl::LampEutOk, "OK", 24);
  LampRow(eut, ctl::LampEutFault, "Fault", 41);
  LampRow(eut, ctl::LampPrompt, "Prompt", 58);

  QFrame* fault = Panel(client, ControlId{"Faultpanel"}, {4, 202, 100, 112});
  Heading(fault, "FAULT", {2, 3, 96, 17});
  LampRow(fault, ctl::LampSynth, "Synth.", 24);
  LampRow(fault, ctl::LampAmplifier, "P. A.", 41);
  // "Comms." is a lamp whose caption can be clicked to reopen the port.
  auto* commsLamp = new Lamp(fault);
  commsLamp->setObjectName(ObjectName(ctl::LampComms));
  commsLamp->move(10, 58);
  binder_.Bind(ctl::LampComms, commsLamp);
  auto* comms = new ClickableLabel("Comms.", fault);
  comms->setObjectName(ObjectName(ctl::CommsLabel));
  comms->setGeometry(32, 58, 64, 16);
  comms->setToolTip("Reopen the port");
  binder_.Bind(ctl::CommsLabel, comms);
  connect(comms, &ClickableLabel::clicked, this,
          [this] { Handle([this] { Label11Click(ctx_); }); });

  auto* simulation = new QLabel("Simulation", fault);
  simulation->setObjectName(ObjectName(ctl::SimulationLabel));
  simulation->setGeometry(4, 76, 92, 14);
  simulation->setAlignment(Qt::AlignCenter);
  QFont bold = simulation->font();
  bold.setBold(true);
  simulation->setFont(bold);
  QPalette red = simulation->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  simulation->setPalette(red);
  simulation->hide();
  binder_.Bind(ctl::SimulationLabel, simulation);

  auto* reset = new QPushButton("Reset Comms", fault);
  reset->setObjectName(ObjectName(ctl::ResetComms));
  reset->setGeometry(6, 90, 88, 19);
  reset->hide();
  binder_.Bind(ctl::ResetComms, reset);
  connect(reset, &QPushButton::clicked, this, [this] { Handle([this] { Button7Click(ctx_); }); });
}

void MainWindow::BuildTitleBar(QWidget* client) {
  QFrame* bar = Panel(client, ControlId{"Titlepanel"}, {108, 4, 520, 25});
  auto* title = new QLabel("Title :", bar);
  title->setObjectName(ObjectName(ctl::TitleLabel));
  title->setGeometry(8, 4, 330, 17);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  binder_.Bind(ctl::TitleLabel, title);
  auto* clock = new QLabel("Clock", bar);
  clock->setObjectName(ObjectName(ctl::ClockLabel));
  clock->setGeometry(342, 4, 170, 17);
  clock->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  binder_.Bind(ctl::ClockLabel, clock);
}

void MainWindow::BuildMonitor(QWidget* client) {
  QFrame* monitor = Panel(client, ControlId{"Monitorpanel"}, {108, 268, 388, 162});
  auto* heading = Heading(monitor, "MONITOR", {4, 3, 380, 17});
  heading->setObjectName(ObjectName(ctl::MonitorHeading));
  binder_.Bind(ctl::MonitorHeading, heading);

  auto* mode = new QLabel("Mode", monitor);
  mode->setObjectName(ObjectName(ctl::ModeLabel));
  mode->setGeometry(8, 22, 176, 17);
  QFont bold = mode->font();
  bold.setBold(true);
  mode->setFont(bold);
  binder_.Bind(ctl::ModeLabel, mode);
  auto* file = new QLabel(QString(), monitor);
  file->setObjectName(ObjectName(ctl::FileLabel));
  file->setGeometry(188, 22, 192, 17);
  file->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  binder_.Bind(ctl::FileLabel, file);

  // Three read-outs, two values each: frequency, elapsed time, field strength.
  struct Reading {
    ControlId name;
    const char* caption;
    const char* unit;
    const char* text;
    const char* spoken;  // the read-out's name for assistive technologies
  };
  struct Group {
    const char* caption;
    Reading first;
    Reading second;
  };
  const Group groups[] = {
      {"Frequency",
       {ctl::Current, "Current", "MHz", "", "Current frequency (MHz)"},
       {ctl::MonitorModulation, "Modulation", "", "None", "Modulation"}},
      {"Elapsed Time",
       {ctl::Dwell, "Dwell", "Secs", "", "Dwell elapsed (secs)"},
       {ctl::Total, "Total", "", "", "Total elapsed"}},
      {"Field Strength",
       {ctl::Target, "Target", "V/M", "", "Target field (V/M)"},
       {ctl::Actual, "Actual", "V/M", "", "Actual field (V/M)"}},
  };
  QFont readout = font();
  readout.setBold(true);
  readout.setPixelSize(13);
  int x = 6;
  for (const Group& g : groups) {
    auto* frame = new QFrame(monitor);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(x, 42, 122, 114);
    Heading(frame, g.caption, {2, 2, 118, 16});
    int y = 20;
    for (const Reading* r : {&g.first, &g.second}) {
      Caption(frame, r->caption, {8, y, 100, 14});
      const bool unit = r->unit[0] != '\0';
      QLineEdit* edit = Edit(frame, r->name, r->text, {8, y + 15, unit ? 74 : 106, 23}, true);
      edit->setFont(readout);
      edit->setAccessibleName(r->spoken);
      edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (unit) Caption(frame, r->unit, {86, y + 19, 34, 14});
      y += 46;
    }
    x += 127;
  }
}

void MainWindow::BuildButtons(QWidget* client) {
  QFont big = font();
  big.setBold(true);
  big.setPixelSize(13);

  auto* run = new PressButton("RUN", client);
  run->setObjectName(ObjectName(ctl::RunButton));
  run->setGeometry(4, 318, 100, 34);
  run->setFont(big);
  binder_.Bind(ctl::RunButton, run);
  run->setToolTip("RUN starts the test; STOP (Esc) ends it and switches the RF off");
  connect(run, &PressButton::mousePressed, this,
          [this] { Handle([this] { CampaignRunButton(ctx_); }); });

  auto* preScan = new QPushButton("PRE-SCAN", client);
  preScan->setObjectName(ObjectName(ctl::PreScanButton));
  preScan->setGeometry(4, 356, 100, 34);
  preScan->setFont(big);
  preScan->setToolTip("PRE-SCAN records the drive codes; STOP (Esc) ends it");
  binder_.Bind(ctl::PreScanButton, preScan);
  connect(preScan, &QPushButton::clicked, this, [this] { Handle([this] { button2click(ctx_); }); });

  auto* dwell = new QPushButton("DWELL", client);
  dwell->setObjectName(ObjectName(ctl::DwellButton));
  dwell->setGeometry(4, 394, 100, 34);
  dwell->setFont(big);
  dwell->setEnabled(false);
  binder_.Bind(ctl::DwellButton, dwell);
  connect(dwell, &QPushButton::clicked, this, [this] { Handle([this] { Button10Click(ctx_); }); });

  struct TypeButton {
    ControlId name;
    const char* caption;
    std::function<void()> handler;
  };
  const TypeButton types[] = {
      {ctl::StandardButton, "STANDARD", [this] { SelectTestType(ctx_, 1); }},
      {ctl::SingleButton, "SINGLE", [this] { SelectTestType(ctx_, 2); }},
      {ctl::CustomButton, "CUSTOM", [this] { SelectTestType(ctx_, 3); }},
      {ControlId{"Button5"}, "REPORT", [this] { ShowReport(ctx_); }},
  };
  int y = 268;
  for (const TypeButton& t : types) {
    auto* b = new QPushButton(t.caption, client);
    b->setObjectName(ObjectName(t.name));
    b->setGeometry(500, y, 128, 38);
    b->setFont(big);
    binder_.Bind(t.name, b);
    connect(b, &QPushButton::clicked, this, [this, h = t.handler] { Handle(h); });
    y += 41;
  }

  // Esc stops whatever runs, wherever the focus is in the window: the RF
  // must be switchable off without the mouse.
  auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  stop->setObjectName("StopKey");
  connect(stop, &QShortcut::activated, this, [this] { Handle([this] { StopKeyPressed(ctx_); }); });
}

}  // namespace mz
