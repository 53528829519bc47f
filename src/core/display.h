#pragma once
// Window-level effects that are not a control property.
#include <string_view>

namespace mz {

class Canvas;

// The graph window's name for ShowWindow.
inline constexpr std::string_view kGraphWindowForm = "GraphWindow";

class Display {
 public:
  virtual ~Display() = default;
  // Repaints the main window (the graph and the menu check marks).
  virtual void Repaint() = 0;
  // The system's default beep.
  virtual void Beep() = 0;
  // Shows or hides a window that is not modal ("Msg" the herald, "diag").
  virtual void ShowWindow(std::string_view form, bool show) = 0;
  // Asks the main window to close; the close query decides.
  virtual void CloseMainWindow() = 0;
  // The canvas of the graph's paint box (pb1), on which the sequencers draw
  // one step at a time between repaints.
  virtual Canvas& GraphCanvas() = 0;
};

}  // namespace mz
