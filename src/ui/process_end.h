#pragma once
// The end of the process follows the end of the main window, whatever the
// desktop's helpers (an accessibility bridge, a session manager) hold on to.
namespace mz {

class QtProgram;

// Ends the application's event loop once the close query has said yes, once
// the last window has closed, and once the main window has been destroyed
// from outside (the X server or a window manager killing it), after writing
// the configuration and switching the output off as the close query does.
void EndProcessWithMainWindow(QtProgram& program);

// While it lives, the program ends as a close does when the process is told
// to end: SIGTERM, SIGINT and SIGHUP switch the output off, end a test that
// is going on (its files kept, the journal's last row "program ended by
// signal"), write the configuration and leave the event loop; a second such
// signal ends the process at once. When the process exits without returning
// from main() (Qt's platform plugin does so when the display connection is
// lost), the output is switched off and a test going on is ended on the way
// out. Create it after the program, so that it goes first.
class ProgramEndGuard {
 public:
  explicit ProgramEndGuard(QtProgram& program);
  ~ProgramEndGuard();
  ProgramEndGuard(const ProgramEndGuard&) = delete;
  ProgramEndGuard& operator=(const ProgramEndGuard&) = delete;

  // The signal that ended the event loop, or 0.
  static int EndingSignal();
};

}  // namespace mz
