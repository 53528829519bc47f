// The main window's menu bar. Every item is bound under its designer name, so
// that the logic can grey it or set its check mark. Every item has its
// underlined letter, and the usual commands their usual keys.
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>

#include "core/aux_dialogs.h"
#include "core/control_names.h"
#include "core/port_menu.h"
#include "display/colour_sets.h"
#include "display/printed_plot.h"
#include "display/printed_table.h"
#include "display/report_pages.h"
#include "display/screen_graph.h"
#include "execution/test_type.h"
#include "files/prescan_file.h"
#include "files/report_export.h"
#include "files/results_file.h"
#include "files/resume_run.h"
#include "files/setup_file.h"
#include "program/campaign_run.h"
#include "program/main_window_commands.h"
#include "program/port_devices.h"
#include "ui/adapters/qt_pdf_printer.h"
#include "ui/adapters/qt_printer.h"
#include "ui/windows/main_window.h"

namespace mz {

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  auto menu = [this](QMenu* parent, ControlId name, const QString& title) {
    QMenu* m = parent->addMenu(title);
    m->setObjectName(ObjectName(name));
    m->menuAction()->setObjectName(ObjectName(name));
    binder_.Bind(name, m->menuAction());
    return m;
  };
  auto topMenu = [this, bar](ControlId name, const QString& title) {
    QMenu* m = bar->addMenu(title);
    m->setObjectName(ObjectName(name));
    m->menuAction()->setObjectName(ObjectName(name));
    binder_.Bind(name, m->menuAction());
    return m;
  };

  // Files and printing.
  QMenu* file = topMenu(ControlId{"File1"}, "&File");
  QMenu* open = menu(file, ControlId{"Open1"}, "&Open");
  Item(open, ControlId{"ResultsSetup1"}, "&Results + Setup...", [this] {
    ResultsSetup1Click(ctx_);
  })->setShortcut(QKeySequence("Ctrl+O"));
  Item(open, ControlId{"SetupOnly1"}, "&Setup Only...", [this] { SetupOnly1Click(ctx_); });
  Item(open, ControlId{"PreScans1"}, "&Pre-Scans...", [this] { PreScans1Click(ctx_); });
  Item(file, ControlId{"ResumeRun1"}, "&Resume Run...", [this] { ResumeRun1Click(ctx_); });
  Item(file, ControlId{"NewCampaign1"}, "New Campai&gn...", [this] { NewCampaign1Click(ctx_); });
  Item(file, ControlId{"OpenCampaign1"}, "Open Ca&mpaign...", [this] { OpenCampaign1Click(ctx_); });
  Item(file, ControlId{"CloseCampaign1"}, "Close Campa&ign", [this] { CloseCampaign1Click(ctx_); });
  Item(file, ctl::MenuSaveResults, "&Save Results...", [this] {
    SaveResults1Click(ctx_);
  })->setShortcut(QKeySequence("Ctrl+S"));
  ctx_.controls.SetEnabled(ctl::MenuSaveResults, false);
  QMenu* saveAs = menu(file, ControlId{"SaveAs1"}, "Save &As");
  Item(saveAs, ControlId{"ResultsSetup2"}, "&Results + Setup...", [this] {
    ResultsSetup2Click(ctx_);
  })->setShortcut(QKeySequence("Ctrl+Shift+S"));
  Item(saveAs, ControlId{"SetupOnly2"}, "&Setup Only...", [this] { SetupOnly2Click(ctx_); });
  Item(saveAs, ctl::MenuSavePreScans, "&Pre-Scans...", [this] { SavePreScans1Click(ctx_); });
  ctx_.controls.SetEnabled(ctl::MenuSavePreScans, false);
  file->addSeparator();
  QMenu* print = menu(file, ControlId{"Print1"}, "&Print");
  // One printer for the window's life, so that Printer Setup... carries to
  // the print jobs.
  auto printer = [this]() -> QPrinter& {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
  };
  Item(print, ControlId{"Plot1"}, "&Plot...", [this, printer] {
    QtPrinter p(printer(), this);
    Plot1Click(ctx_, p);
  })->setShortcut(QKeySequence("Ctrl+P"));
  Item(print, ControlId{"Tabular1"}, "&Tabular...", [this, printer] {
    QtPrinter p(printer(), this);
    Results1Click(ctx_, p);
  });
  Item(file, ControlId{"PrinterSetup1"}, "Printer Set&up...", [this, printer] {
    QPrintDialog dialog(&printer(), this);
    dialog.setWindowTitle("Printer Setup");
    dialog.exec();
  });
  Item(file, ControlId{"PrinterColours1"}, "Printer &Colours...",
       [this] { PrinterColours1Click(ctx_); });
  Item(file, ControlId{"ExportReport1"}, "&Export Report (PDF)...", [this] {
    const PdfPrinterFor pdf = [](const std::string& path) -> std::unique_ptr<Printer> {
      return std::make_unique<QtPdfPrinter>(path);
    };
    // With a campaign open, the report of the whole campaign.
    if (ctx_.state.CampaignFile.empty()) {
      ExportReport1Click(ctx_, pdf);
    } else {
      ExportCampaignReport(ctx_, pdf);
    }
  });
  file->addSeparator();
  Item(file, ControlId{"Title1"}, "&Title...", [this] {
    EditTitle(ctx_);
  })->setShortcut(QKeySequence("Ctrl+T"));
  Item(file, ControlId{"Notes1"}, "&Notes...", [this] { EditNotes(ctx_); });
  file->addSeparator();
  Item(file, ControlId{"Exit1"}, "E&xit", [this] { close(); })->setShortcut(QKeySequence("Ctrl+Q"));

  QMenu* display = topMenu(ControlId{"Display1"}, "&Display");
  Item(display, ControlId{"Colours2"}, "&Colours...", [this] { Colours2Click(ctx_); });
  Item(display, ControlId{"Clear1"}, "C&lear", [this] { Clear1Click(ctx_); });
  Item(display, ControlId{"GraphWindow1"}, "&Graph Window", [this] {
    if (openGraphWindow) openGraphWindow();
  });
  Item(
      display, ctl::MenuShowFieldWarnings, "Show &Field Warning Messages",
      [this] { ShowFieldWarningMessages1Click(ctx_); }, true);

  QMenu* mode = topMenu(ctl::MenuMode, "&Mode");
  QMenu* iec = menu(mode, ControlId{"IECTests1"}, "&IEC Tests...");
  Item(iec, ControlId{"DomesticCommercial1"}, "&Domestic + Commercial",
       [this] { ApplyIecPreset(ctx_, 3.0); });
  Item(iec, ControlId{"Industrial1"}, "&Industrial", [this] { ApplyIecPreset(ctx_, 10.0); });
  Item(mode, ControlId{"StandardMode1"}, "&Standard Mode", [this] { SelectTestType(ctx_, 1); });
  Item(mode, ControlId{"SingleFrequencyMode1"}, "Si&ngle Frequency Mode",
       [this] { SelectTestType(ctx_, 2); });
  Item(mode, ControlId{"CustomScan1"}, "&Custom Scan", [this] { SelectTestType(ctx_, 3); });
  mode->addSeparator();
  Item(
      mode, ctl::MenuFastStepping, "&Fast Stepping", [this] { FastStepping1Click(ctx_); }, true);
  ctx_.controls.SetChecked(ctl::MenuFastStepping, ctx_.state.Prefs.FastStepping);
  Item(
      mode, ctl::MenuFindThreshold, "Find &Threshold on EUT Failure",
      [this] { FindThreshold1Click(ctx_); }, true);
  ctx_.controls.SetChecked(ctl::MenuFindThreshold, ctx_.state.Prefs.Threshold.Enabled);

  QMenu* configure = topMenu(ControlId{"Configure1"}, "&Configure");
  Item(configure, ControlId{"Cell1"}, "&Cell...");
  ctx_.controls.SetVisible(ControlId{"Cell1"}, false);
  Item(configure, ControlId{"Probe1"}, "P&robe...");
  ctx_.controls.SetVisible(ControlId{"Probe1"}, false);
  Item(
      configure, ctl::MenuKv3100, "&KV3100", [this] { SelectAmplifier(ctx_, 1); }, true);
  Item(
      configure, ctl::MenuWpa20, "&WPA20", [this] { SelectAmplifier(ctx_, 2); }, true);
  Item(
      configure, ctl::MenuPaOther, "PA &Other", [this] { SelectAmplifier(ctx_, 0); }, true);
  configure->addSeparator();
  Item(configure, ControlId{"System1"}, "&System...", [this] { System1Click(ctx_); });

  QMenu* port = topMenu(ControlId{"Port1"}, "&Port");
  for (int n = 1; n <= 4; ++n) {
    Item(
        port, ctl::MenuCom[n], QString("Com &%1").arg(n), [this, n] { SelectPort(ctx_, n); }, true);
  }
  Item(
      port, ctl::MenuCom[0], "&Simulate", [this] { Simulate1Click(ctx_); }, true);
  // The serial devices present, read each time the menu opens; the one
  // chosen is checked.
  QAction* devicesStart = port->addSeparator();
  Item(port, ControlId{"OtherDevice1"}, "&Other Device...", [this] { OtherDevice1Click(ctx_); });
  connect(port, &QMenu::aboutToShow, this, [this, port, devicesStart] {
    for (QAction* a : port->actions()) {
      if (a->property("mzDevice").isValid()) {
        port->removeAction(a);
        a->deleteLater();
      }
    }
    QAction* before = nullptr;
    const auto all = port->actions();
    const auto at = all.indexOf(devicesStart);
    if (at >= 0 && at + 1 < all.size()) before = all[at + 1];
    for (const DeviceMenuItem& d :
         DeviceMenuItems(catalog_->Devices(), ctx_.state.Prefs.PortDevice)) {
      auto* a = new QAction(QString::fromStdString(d.Text), port);
      a->setProperty("mzDevice", QString::fromStdString(d.StableName));
      a->setCheckable(true);
      a->setChecked(d.Checked);
      a->setToolTip(QString::fromStdString(d.StableName));
      const std::string name = d.StableName;
      connect(a, &QAction::triggered, this,
              [this, name] { Handle([this, name] { ChooseSerialDevice(ctx_, name); }); });
      port->insertAction(before, a);
    }
  });

  // Contents and Topic Search open the user manual in the desktop's browser,
  // at its top and at its index; the manual has no help on help, so How to
  // Use Help stays hidden.
  QMenu* help = topMenu(ControlId{"Help1"}, "&Help");
  Item(help, ControlId{"Contents1"}, "&Contents", [this] { OpenManual({}); });
  Item(help, ControlId{"TopicSearch1"}, "&Topic Search",
       [this] { OpenManual(kManualIndexAnchor); });
  Item(help, ControlId{"HowtoUseHelp1"}, "&How to Use Help");
  ctx_.controls.SetVisible(ControlId{"HowtoUseHelp1"}, false);
  Item(help, ControlId{"Diagnostics1"}, "&Diagnostics...", [this] { Diagnostics1Click(ctx_); });
  Item(help, ControlId{"About1"}, "&About...", [this] { ShowAbout(ctx_); });
}

}  // namespace mz
