#include "ui/qt_program.h"

#include <QApplication>
#include <QScreen>

#include "core/control_names.h"
#include "core/text_format.h"
#include "files/preferences_file.h"
#include "link/com_device.h"
#include "program/program_events.h"
#include "program/startup.h"
#include "ui/app_identity.h"
#include "ui/first_paint_report.h"
#include "ui/widgets/graph_box.h"
#include "ui/windows/aux_dialogs.h"
#include "ui/windows/colour_dialogs.h"
#include "ui/windows/diagnostics_window.h"
#include "ui/windows/field_warning_window.h"
#include "ui/windows/graph_window.h"
#include "ui/windows/herald.h"
#include "ui/windows/main_window.h"

namespace mz {

namespace {
void Centre(QWidget* w) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect r = screen->availableGeometry();
    w->adjustSize();
    w->move(r.center() - w->rect().center());
  }
}
}  // namespace

std::filesystem::path DefaultProgramFolder() {
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home != nullptr ? home : ".") / "MZ4800";
}

QtProgram::QtProgram(std::filesystem::path folder, EventLoop* loop)
    : qtLoop_(loop == nullptr ? std::make_unique<QtEventLoop>() : nullptr),
      loop_(loop != nullptr ? *loop : *qtLoop_),
      port_(folder),
      ctx_{state_, controls_, op_, loop_, port_, *this, std::move(folder)},
      binder_(controls_) {
  InitialiseProgramState(state_);
  // Numbers typed with the operator's decimal comma are read as decimals.
  state_.TypedDecimalSeparator = EnvironmentDecimalSeparator();
  ctx_.runs = &runs_;
  SetApplicationIdentity();
  // Windows in their order: the main window, then the dialogs it owns.
  main_ = std::make_unique<MainWindow>(ctx_, binder_);
  op_.SetParent(main_.get());
  op_.SetProgramFolder(ctx_.folder);
  graph_ = &main_->graphBox();
  main_->openGraphWindow = [this] { OpenGraphWindow(); };
  screenColours_ = std::make_unique<ScreenColoursDialog>(ctx_, binder_, main_.get());
  op_.RegisterForm(ctl::ScreenColoursForm, screenColours_.get());
  herald_ = std::make_unique<Herald>();
  RegisterWindow(ctl::Herald, herald_.get());
  about_ = std::make_unique<AboutBox>(ctx_, binder_, main_.get());
  op_.RegisterForm(ctl::AboutForm, about_.get());
  notes_ = std::make_unique<NotesDialog>(ctx_, binder_, main_.get());
  op_.RegisterForm(ctl::NotesForm, notes_.get());
  printerColours_ = std::make_unique<PrinterColoursDialog>(ctx_, binder_, main_.get());
  op_.RegisterForm(ctl::PrinterColoursForm, printerColours_.get());
  details_ = std::make_unique<InstrumentDetailsDialog>(ctx_, binder_, main_.get());
  op_.RegisterForm(ctl::DetailsForm, details_.get());
  warning_ = std::make_unique<FieldWarningWindow>(binder_, main_.get());
  op_.RegisterForm(ctl::WarningsForm, warning_.get());
  diagnostics_ = std::make_unique<DiagnosticsWindow>(ctx_, binder_, main_.get());
  RegisterWindow(ctl::Diagnostics, diagnostics_.get());
  InitialiseTimers(loop_);
  InstallEventHandlers(ctx_);
  deviceTimer_.setInterval(1000);
  connect(&deviceTimer_, &QTimer::timeout, this, [this] {
    const ProgramState& s = state_;
    if (s.Prefs.PortDevice.empty() || s.PortNumber < 1 || s.PortNumber > 4) return;
    std::error_code ec;
    const bool present =
        std::filesystem::exists(ComDevicePath(ctx_.folder, s.PortNumber, s.Prefs.PortDevice), ec);
    try {
      deviceWatch_.Look(ctx_, present);
    } catch (const std::exception& e) {
      op_.Message(MessageKind::Error, e.what(), Buttons::Ok);
    }
  });
  deviceTimer_.start();
}

QtProgram::~QtProgram() {
  // A test still going when the program ends is kept as it stands.
  recorder_.ProgramClosing(ctx_);
  if (graphWindow_) {
    // Open now: open at the next start, where it is.
    graphFeed_.window = nullptr;
    graphWindow_->KeepGeometry();
    try {
      WritePreferences(ctx_);
    } catch (const std::exception&) {
      // The window's place is not kept; nothing else is lost.
    }
  }
}

GraphWindow& QtProgram::OpenGraphWindow() {
  if (!graphWindow_) {
    // A window of its own (no parent), so that it can be maximised on
    // another screen and stays up while the main window is minimised.
    graphWindow_ = std::make_unique<GraphWindow>(ctx_);
    graphFeed_.window = graphWindow_.get();
  }
  graphWindow_->Open();
  return *graphWindow_;
}

void GraphWindowFeed::RunStarted(Context&, bool) {
  if (window) window->pane().Invalidate();
}
void GraphWindowFeed::StepSent(Context&, Integer, Byte) {
  if (window) window->pane().HeaderChanged();
}
void GraphWindowFeed::StepRecorded(Context&) {
  if (window) window->pane().StepRecorded();
}
void GraphWindowFeed::EutReported(Context&, bool) {
  if (window) window->pane().BandChanged();
}
void GraphWindowFeed::FieldCondition(Context&, int, std::string_view) {
  if (window) window->pane().HeaderChanged();
}
void GraphWindowFeed::ThresholdFound(Context&, const ThresholdResult&) {
  if (window) window->pane().Invalidate();
}
void GraphWindowFeed::Ticked(Context&) {
  if (window) window->pane().HeaderChanged();
}
void GraphWindowFeed::RunEnded(Context&, int, std::string_view) {
  if (window) window->pane().Invalidate();
}

void QtProgram::Show() {
  Centre(main_.get());
  ReportFirstPaintIfAsked(main_.get());
  main_->show();
  // The first paint sets the menu marks from the state.
  Repaint();
}

void QtProgram::Repaint() {
  graph_->Redraw();
  main_->update();
  // Whatever made the main window's graph change (a file loaded, the
  // results cleared, the colours) changes the graph window's too.
  if (graphWindow_) graphWindow_->pane().Invalidate();
}

Canvas& QtProgram::GraphCanvas() {
  return graph_->canvas();
}

void QtProgram::Beep() {
  QApplication::beep();
}

void QtProgram::ShowWindow(std::string_view form, bool show) {
  if (form == kGraphWindowForm) {
    if (show) {
      OpenGraphWindow();
    } else if (graphWindow_) {
      graphWindow_->close();
    }
    return;
  }
  auto it = windows_.find(form);
  if (it == windows_.end()) return;
  QWidget* w = it->second;
  if (show) {
    if (w == herald_.get()) Centre(w);
    w->show();
    w->repaint();
  } else {
    w->hide();
  }
}

void QtProgram::CloseMainWindow() {
  main_->close();
}

}  // namespace mz
