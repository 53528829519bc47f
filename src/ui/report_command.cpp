#include "ui/report_command.h"

#include <QGuiApplication>
#include <chrono>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "cell/cell_characteristic.h"
#include "core/aux_dialogs.h"
#include "core/context.h"
#include "display/recording_canvas.h"
#include "display/report_pages.h"
#include "files/config_file.h"
#include "files/preferences_file.h"
#include "files/report_source.h"
#include "ui/adapters/qt_pdf_printer.h"
#include "ui/qt_program.h"

namespace mz {

namespace {

// The seams of a program without windows, instrument or timers: questions
// take their default answer, nothing is sent and nothing is shown.
class QuietOperator : public Operator {
 public:
  Answer Message(MessageKind, std::string_view, Buttons buttons) override {
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
  }
  void Notice(MessageKind, std::string_view) override {}
  std::string Input(std::string_view, std::string_view, std::string_view text) override {
    return std::string(text);
  }
  Answer ShowModal(std::string_view) override { return Answer::Cancel; }
  std::optional<std::string> OpenFileName(std::string_view, std::string_view,
                                          std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> SaveFileName(std::string_view, std::string_view,
                                          std::string_view) override {
    return std::nullopt;
  }
  std::optional<Colour> PickColour(Colour) override { return std::nullopt; }
};

class StillLoop : public EventLoop {
 public:
  std::int64_t NowMs() const override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }
  std::int64_t WallClockMs() const override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  }
  void SetTimerHandler(TimerId, std::function<void()>) override {}
  void SetTimerInterval(TimerId, int) override {}
  void SetTimerEnabled(TimerId, bool) override {}
  int TimerInterval(TimerId) const override { return 0; }
  bool TimerEnabled(TimerId) const override { return false; }
  void RunUntil(std::int64_t) override {}
  bool QuitRequested() const override { return false; }
};

class ClosedPort : public SerialPort {
 public:
  void Open(bool) override {}
  bool IsOpen() const override { return false; }
  void SetComNumber(int n) override { com_ = n; }
  int ComNumber() const override { return com_; }
  bool Dsr() const override { return false; }
  void Write(std::span<const std::uint8_t>) override {}
  std::uint8_t ReadByte() override { return 0; }
  void SetDataAvailableHandler(std::function<void(int)>) override {}

 private:
  int com_ = 1;
};

class NoDisplay : public Display {
 public:
  void Repaint() override {}
  void Beep() override {}
  void ShowWindow(std::string_view, bool) override {}
  void CloseMainWindow() override {}
  Canvas& GraphCanvas() override { return canvas_; }

 private:
  RecordingCanvas canvas_;
};

}  // namespace

int ReportCommand(const std::string& results, const std::string& pdf, int argc, char** argv) {
  // Writing the report over the results would destroy them: the same file
  // under another name, through a link or a hard link, counts as the same.
  std::error_code ec;
  if (results == pdf || std::filesystem::equivalent(results, pdf, ec)) {
    std::cerr << "mz4800: the PDF file " << pdf << " is the results file " << results
              << "; nothing was written. Give the PDF file another name.\n";
    return 1;
  }
  auto state = std::make_unique<ProgramState>();
  Controls controls;
  QuietOperator op;
  StillLoop loop;
  ClosedPort port;
  NoDisplay display;
  Context ctx{*state, controls, op, loop, port, display, DefaultProgramFolder()};
  InitialiseProgramState(*state);
  ApplyConfigurationDefaults(*state);
  try {
    // The printer colours and the cell number as configured, where they are.
    ReadConfiguration(ctx);
  } catch (const std::exception&) {
    ApplyConfigurationDefaults(*state);
  }

  ReportInfo info;
  try {
    info.DateTime = ReadResultsForReport(ctx, results);
  } catch (const std::exception& e) {
    std::cerr << "mz4800: cannot read the results file " << results << ": " << e.what() << '\n';
    return 1;
  }
  // The report needs fonts and a PDF writer, not a screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  info.CellFile = (ctx.folder / CellFileName(state->CellNumber)).string();
  // The field tolerance of the program folder's preferences, unless the
  // journal recorded the one the run was checked against.
  ReadPreferences(ctx);
  info.Tolerance = state->Prefs.Tolerance;
  // A kept run's journal tells what the results file does not: the targets
  // as sent, the set-up as it went out, its cell file, instrument and field
  // tolerance.
  ReadJournalForReport(ctx, JournalBeside(results), info);
  info.ProgramVersion = std::string("MZ4800 Control, ") + kSoftwareVersion;
  state->ClockText = info.DateTime;
  try {
    QtPdfPrinter printer(pdf);
    PrintReport(ctx, info, printer);
  } catch (const std::exception& e) {
    std::cerr << "mz4800: cannot write the report " << pdf << ": " << e.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace mz
