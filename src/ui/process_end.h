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

}  // namespace mz
