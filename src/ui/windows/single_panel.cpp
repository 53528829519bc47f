// The single-frequency panel: frequency and level with their step arrows and
// increments, the automatic level increase and the modulation switch.
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "core/control_names.h"
#include "execution/setup_handlers.h"
#include "execution/single_frequency.h"
#include "ui/widgets/radio_group.h"
#include "ui/windows/main_window.h"
#include "ui/windows/panel_style.h"

namespace mz {

namespace {

QGroupBox* Group(QWidget* parent, const QString& title, QRect r) {
  auto* g = new QGroupBox(title, parent);
  g->setGeometry(r);
  return g;
}

QToolButton* Arrow(QWidget* parent, ControlId name, Qt::ArrowType type, QRect r,
                   const QString& tip) {
  auto* b = new QToolButton(parent);
  b->setObjectName(ObjectName(name));
  b->setArrowType(type);
  b->setGeometry(r);
  b->setToolTip(tip);
  b->setAutoRepeat(false);
  return b;
}

}  // namespace

void MainWindow::BuildSinglePanel(QWidget* client) {
  QFrame* panel = Panel(client, ctl::SinglePanel, kTestPanelRect);
  testPanels_.push_back(panel);
  ctx_.controls.SetVisible(ctl::SinglePanel, false);
  Heading(panel, "SINGLE FREQUENCY CONTROL", {110, 4, 300, 18}, 13);
  auto* rule = new QFrame(panel);
  rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  rule->setGeometry(4, 23, 512, 2);

  // Frequency and level, each with an up and a down arrow and its increment.
  struct Stepper {
    const char* title;
    ControlId edit;
    const char* text;
    const char* unit;
    ControlId up;
    ControlId down;
    ControlId increment;
    const char* incrementText;
    int y;
    void (*leave)(Context&);
    void (*key)(Context&, char);
    void (*upClick)(Context&);
    void (*downClick)(Context&);
  };
  const Stepper steppers[] = {
      {"Frequency", ctl::SingleFreq, "10", "MHz", ctl::FreqUp, ctl::FreqDown, ctl::FreqIncrement,
       "1.23", 30, Edit15Exit, Edit15KeyPress, BitBtn1Click, BitBtn2Click},
      {"Level", ctl::SingleLevel, "0.0", "V/M", ctl::LevelUp, ctl::LevelDown, ctl::LevelIncrement,
       "0.1", 130, Edit16Exit, Edit16KeyPress, BitBtn3Click, BitBtn4Click},
  };
  QFont big = font();
  big.setBold(true);
  big.setPixelSize(14);
  for (const Stepper& s : steppers) {
    QGroupBox* g = Group(panel, s.title, {6, s.y, 196, 96});
    QLineEdit* value = Edit(g, s.edit, s.text, {10, 24, 84, 28});
    const QString title(s.title);
    const QString unit(s.unit);
    value->setAccessibleName(title + " (" + unit + ")");
    value->setFont(big);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Caption(g, s.unit, {98, 24, 30, 28});
    QToolButton* up =
        Arrow(g, s.up, Qt::UpArrow, {132, 20, 28, 18}, QString("Up by the increment"));
    QToolButton* down =
        Arrow(g, s.down, Qt::DownArrow, {132, 40, 28, 18}, QString("Down by the increment"));
    up->setAccessibleName(title + " up");
    down->setAccessibleName(title + " down");
    binder_.Bind(s.up, up);
    binder_.Bind(s.down, down);
    OnExit(value, [this, h = s.leave] { h(ctx_); });
    OnEnter(value, [this, h = s.key] { h(ctx_, kEnterKey); });
    connect(up, &QToolButton::clicked, this,
            [this, h = s.upClick] { Handle([this, h] { h(ctx_); }); });
    connect(down, &QToolButton::clicked, this,
            [this, h = s.downClick] { Handle([this, h] { h(ctx_); }); });
    Caption(g, "Inc", {10, 64, 24, 22});
    Edit(g, s.increment, s.incrementText, {38, 64, 56, 22})
        ->setAccessibleName(title + " increment (" + unit + ")");
    Caption(g, s.unit, {98, 64, 30, 22});
  }

  QGroupBox* automatic = Group(panel, "Auto Increase", {208, 30, 170, 196});
  auto* autoIncrease = new QCheckBox("AutoIncrease", automatic);
  autoIncrease->setObjectName(ObjectName(ctl::AutoIncrease));
  autoIncrease->setGeometry(10, 20, 150, 20);
  binder_.Bind(ctl::AutoIncrease, autoIncrease);
  connect(autoIncrease, &QCheckBox::clicked, this,
          [this] { Handle([this] { Edit18Exit(ctx_); }); });
  struct Level {
    ControlId name;
    const char* caption;
    const char* text;
    const char* unit;
    int y;
  };
  const Level levels[] = {{ctl::AutoIncStart, "Start", "0.0", "V/M", 46},
                          {ctl::AutoIncStop, "Stop", "0.0", "V/M", 72},
                          {ctl::AutoIncStep, "Step", "0.0", "V/M", 98},
                          {ctl::AutoIncDwell, "Auto Inc  Dwell", "5", "Secs", 130}};
  for (const Level& l : levels) {
    const bool dwell = l.name == ctl::AutoIncDwell;
    Caption(automatic, l.caption, {10, l.y, dwell ? 84 : 44, 22});
    QLineEdit* edit = Edit(automatic, l.name, l.text, {dwell ? 94 : 58, l.y, dwell ? 36 : 60, 22});
    edit->setAccessibleName(QString(l.caption).simplified() + " (" + l.unit + ")");
    ctx_.controls.SetEnabled(l.name, false);  // greyed while AutoIncrease is clear
    Caption(automatic, l.unit, {134, l.y, 32, 22});
    OnExit(edit, [this] { Edit18Exit(ctx_); });
    OnEnter(edit, [this] { Edit17KeyPress(ctx_, kEnterKey); });
  }
  auto* stopOnFault = new QCheckBox("Stop on EUT Fault", automatic);
  stopOnFault->setObjectName(ObjectName(ctl::StopOnEutFault));
  stopOnFault->setGeometry(10, 164, 150, 20);
  stopOnFault->setEnabled(false);
  binder_.Bind(ctl::StopOnEutFault, stopOnFault);
  connect(stopOnFault, &QCheckBox::clicked, this, [this] { Handle([this] { Edit18Exit(ctx_); }); });

  auto* modulation = new RadioGroup("Modulation", {"Off", "On"}, 1, panel);
  modulation->setObjectName(ObjectName(ctl::SingleModGroup));
  modulation->setGeometry(384, 30, 130, 72);
  modulation->setItemIndex(0);
  binder_.Bind(ctl::SingleModGroup, modulation);
  connect(modulation, &RadioGroup::clicked, this,
          [this] { Handle([this] { singlemodgroupClick(ctx_); }); });

  auto* kind = Caption(panel, "Modulation", {384, 112, 130, 20}, Qt::AlignCenter);
  kind->setObjectName(ObjectName(ctl::SingleModulationLabel));
  QFont bold = kind->font();
  bold.setBold(true);
  bold.setPixelSize(13);
  kind->setFont(bold);
  binder_.Bind(ctl::SingleModulationLabel, kind);
  auto* depthCaption = Caption(panel, "Modulation Depth", {384, 142, 130, 18}, Qt::AlignCenter);
  depthCaption->setObjectName(ObjectName(ctl::SingleDepthCaption));
  binder_.Bind(ctl::SingleDepthCaption, depthCaption);
  auto* depth = Caption(panel, "-%", {384, 162, 130, 24}, Qt::AlignCenter);
  depth->setObjectName(ObjectName(ctl::SingleDepthValue));
  depth->setFont(bold);
  binder_.Bind(ctl::SingleDepthValue, depth);
}

}  // namespace mz
