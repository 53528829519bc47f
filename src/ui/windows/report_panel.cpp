// The report panel: the live graph with its two buttons.
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "core/control_names.h"
#include "display/screen_graph.h"
#include "ui/widgets/graph_box.h"
#include "ui/windows/main_window.h"
#include "ui/windows/panel_style.h"

namespace mz {

void MainWindow::BuildReportPanel(QWidget* client) {
  QFrame* panel = Panel(client, ctl::ReportPanel, kTestPanelRect);
  testPanels_.push_back(panel);
  ctx_.controls.SetVisible(ctl::ReportPanel, false);

  auto* heading = new QLabel("REPORT", panel);
  QFont f("Arial");
  f.setPointSize(10);
  f.setBold(true);
  heading->setFont(f);
  heading->move(233, 4);
  heading->adjustSize();
  auto* rule = new QFrame(panel);
  rule->setFrameStyle(QFrame::HLine | QFrame::Raised);
  rule->setGeometry(2, 21, 516, 2);

  QFont small = font();
  small.setPixelSize(11);
  auto* plotPreScan = new QPushButton("Plot Pre-Scan", panel);
  plotPreScan->setObjectName(ObjectName(ctl::PlotPreScan));
  plotPreScan->setGeometry(7, 4, 98, 17);
  plotPreScan->setFont(small);
  plotPreScan->hide();
  binder_.Bind(ctl::PlotPreScan, plotPreScan);
  connect(plotPreScan, &QPushButton::clicked, this,
          [this] { Handle([this] { Button9Click(ctx_); }); });

  auto* changeRange = new QPushButton("Change Range", panel);
  changeRange->setObjectName(ObjectName(ctl::ChangeRange));
  changeRange->setGeometry(408, 4, 105, 17);
  changeRange->setFont(small);
  binder_.Bind(ctl::ChangeRange, changeRange);
  connect(changeRange, &QPushButton::clicked, this,
          [this] { Handle([this] { Button12Click(ctx_); }); });

  graph_ = new GraphBox(ctx_, panel);
  graph_->move(2, 22);
  connect(graph_, &GraphBox::doubleClicked, this, [this] {
    if (openGraphWindow) openGraphWindow();
  });
}

}  // namespace mz
