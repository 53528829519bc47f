#pragma once
// The whole program with its real windows and adapters, wired once. main()
// creates one; widget and end-to-end tests create their own.
#include <QObject>
#include <QTimer>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "core/context.h"
#include "execution/run_progress.h"
#include "files/run_record.h"
#include "program/port_devices.h"
#include "ui/adapters/control_binder.h"
#include "ui/adapters/posix_serial_port.h"
#include "ui/adapters/qt_event_loop.h"
#include "ui/adapters/qt_operator.h"

namespace mz {

class MainWindow;
class Herald;
class ScreenColoursDialog;
class PrinterColoursDialog;
class AboutBox;
class NotesDialog;
class InstrumentDetailsDialog;
class FieldWarningWindow;
class DiagnosticsWindow;
class GraphBox;
class GraphWindow;

// Tells the graph window, once there is one, what a test does: each step
// sent and recorded, each reading (told with its field condition), each EUT
// report; a start, end or threshold found draws it whole.
class GraphWindowFeed : public RunObserver {
 public:
  GraphWindow* window = nullptr;
  void RunStarted(Context& ctx, bool preScan) override;
  void StepSent(Context& ctx, Integer freqHz, Byte drive) override;
  void StepRecorded(Context& ctx) override;
  void EutReported(Context& ctx, bool fault) override;
  void FieldCondition(Context& ctx, int kind, std::string_view text) override;
  void ThresholdFound(Context& ctx, const ThresholdResult& result) override;
  void Ticked(Context& ctx) override;
  void RunEnded(Context& ctx, int reason, std::string_view message) override;
};

class QtProgram : public QObject, public Display {
  Q_OBJECT
 public:
  // The logic runs on loop when one is given (a test's virtual clock), and
  // on the window's own Qt timers otherwise.
  explicit QtProgram(std::filesystem::path folder, EventLoop* loop = nullptr);
  ~QtProgram() override;

  void Show();

  // Display > Graph Window: made at the first call, then shown again.
  GraphWindow& OpenGraphWindow();
  // The graph window if it has been made.
  GraphWindow* graphWindow() { return graphWindow_.get(); }

  Context& ctx() { return ctx_; }
  MainWindow& window() { return *main_; }
  EventLoop& loop() { return loop_; }
  const ControlBinder& binder() const { return binder_; }

  // Display
  void Repaint() override;
  void Beep() override;
  void ShowWindow(std::string_view form, bool show) override;
  void CloseMainWindow() override;
  Canvas& GraphCanvas() override;

  // Non-modal windows by form name ("Msg", "diag").
  void RegisterWindow(std::string name, QWidget* window) { windows_[std::move(name)] = window; }

 private:
  ProgramState state_;
  Controls controls_;
  std::unique_ptr<QtEventLoop> qtLoop_;  // when no loop is given
  EventLoop& loop_;
  PosixSerialPort port_;
  QtOperator op_;
  RunRecorder recorder_;
  RunProgress progress_;
  GraphWindowFeed graphFeed_;
  RunObservers runs_{&recorder_, &progress_, &graphFeed_};
  Context ctx_;
  ControlBinder binder_;
  std::unique_ptr<MainWindow> main_;
  std::unique_ptr<ScreenColoursDialog> screenColours_;
  std::unique_ptr<Herald> herald_;
  std::unique_ptr<AboutBox> about_;
  std::unique_ptr<NotesDialog> notes_;
  std::unique_ptr<PrinterColoursDialog> printerColours_;
  std::unique_ptr<InstrumentDetailsDialog> details_;
  std::unique_ptr<FieldWarningWindow> warning_;
  std::unique_ptr<DiagnosticsWindow> diagnostics_;
  std::unique_ptr<GraphWindow> graphWindow_;
  std::map<std::string, QWidget*, std::less<>> windows_;
  GraphBox* graph_ = nullptr;  // the main window's paint box (pb1)
  // Once a second: a chosen device pulled out and back is reopened.
  QTimer deviceTimer_;
  ChosenDeviceWatch deviceWatch_;
};

// $HOME/MZ4800
std::filesystem::path DefaultProgramFolder();

}  // namespace mz
