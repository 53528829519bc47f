// MZ4800 Control: the desktop control program of the MZ4800 signal synthesiser.
#include <QApplication>

#include "ui/process_end.h"
#include "ui/qt_program.h"
#include "ui/windows/dialog_kit.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setFont(mz::ProgramFont());
  int result = 0;
  {
    mz::QtProgram program(mz::DefaultProgramFolder());
    mz::EndProcessWithMainWindow(program);
    program.Show();
    result = QApplication::exec();
  }  // the port is closed here, before the application goes
  return result;
}
