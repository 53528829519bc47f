// MZ4800 Control: the desktop control program of the MZ4800 signal synthesiser.
#include <QApplication>

#include "ui/qt_program.h"
#include "ui/report_command.h"
#include "ui/windows/dialog_kit.h"

int main(int argc, char** argv) {
  if (mz::IsReportCommand(argc, argv)) return mz::ReportCommand(argc, argv);
  QApplication app(argc, argv);
  QApplication::setFont(mz::ProgramFont());
  mz::QtProgram program(mz::DefaultProgramFolder());
  program.Show();
  return QApplication::exec();
}
