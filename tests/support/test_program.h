#pragma once
// A whole program with fakes for every seam and a temporary program folder.
#include <filesystem>
#include <string>
#include <vector>

#include "core/context.h"
#include "display/recording_canvas.h"
#include "support/fake_operator.h"
#include "support/fake_port.h"
#include "support/virtual_event_loop.h"

namespace mz::test {

class FakeDisplay : public Display {
 public:
  void Repaint() override { ++repaints; }
  void Beep() override { ++beeps; }
  void ShowWindow(std::string_view form, bool show) override {
    std::string entry(show ? "+" : "-");
    entry.append(form);
    shown.push_back(std::move(entry));
  }
  void CloseMainWindow() override { ++closeRequests; }
  Canvas& GraphCanvas() override { return canvas; }
  RecordingCanvas canvas;
  int repaints = 0;
  int beeps = 0;
  int closeRequests = 0;
  std::vector<std::string> shown;  // "+Msg", "-Msg", ...
};

// A fresh temporary folder, removed with the object.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

struct TestProgram {
  TestProgram();
  // Installs the program's timer and port handlers, as main does.
  void Wire();

  ProgramState state;
  Controls controls;
  FakeOperator op;
  VirtualEventLoop loop;
  FakePort port{loop};
  FakeDisplay display;
  TempFolder folder;
  Context ctx{state, controls, op, loop, port, display, folder.path()};

  // Records every control change from now on.
  std::vector<ControlChange> changes;
  void RecordChanges();
};

// Reads a whole file as bytes.
std::string ReadFile(const std::filesystem::path& path);
// Writes bytes to a file.
void WriteFile(const std::filesystem::path& path, std::string_view bytes);
// A file under tests/golden.
std::filesystem::path Golden(std::string_view name);

}  // namespace mz::test
