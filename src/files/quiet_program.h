#pragma once
// A program without windows, instrument or timers, for work done on a
// program state of its own (a report made from the command line, the
// campaign's positions read from their kept runs): questions take their
// default answer, nothing is sent and nothing is shown.
#include <filesystem>
#include <memory>

#include "core/context.h"
#include "display/recording_canvas.h"

namespace mz {

class QuietOperator : public Operator {
 public:
  Answer Message(MessageKind, std::string_view, Buttons buttons) override;
  void Notice(MessageKind, std::string_view) override {}
  std::string Input(std::string_view, std::string_view, std::string_view text) override;
  Answer ShowModal(std::string_view) override { return Answer::Cancel; }
  std::optional<std::string> OpenFileName(std::string_view, std::string_view,
                                          std::string_view) override;
  std::optional<std::string> SaveFileName(std::string_view, std::string_view, std::string_view,
                                          std::string_view) override;
  std::optional<Colour> PickColour(Colour) override { return std::nullopt; }
};

// The system clocks and no timers.
class StillLoop : public EventLoop {
 public:
  std::int64_t NowMs() const override;
  std::int64_t WallClockMs() const override;
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

// A program state of its own (a copy of `from`, or a fresh one), with its
// own controls and the quiet seams, over the program folder `folder`.
struct QuietProgram {
  explicit QuietProgram(std::filesystem::path folder);
  QuietProgram(const ProgramState& from, std::filesystem::path folder);

  std::unique_ptr<ProgramState> state;
  Controls controls;
  QuietOperator op;
  StillLoop loop;
  ClosedPort port;
  NoDisplay display;
  Context ctx;
};

}  // namespace mz
