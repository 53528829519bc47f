// MZ4800 Control: the desktop control program of the MZ4800 signal synthesiser.
#include <QApplication>
#include <iostream>

#include "app/command_line.h"
#include "ui/adapters/qt_serial_catalog.h"
#include "ui/first_use.h"
#include "ui/process_end.h"
#include "ui/qt_program.h"
#include "ui/report_command.h"
#include "ui/windows/dialog_kit.h"

int main(int argc, char** argv) {
  const mz::CommandLine command = mz::ReadCommandLine(argc, argv, std::cout, std::cerr);
  if (command.action == mz::CommandLine::Action::Exit) return command.exitCode;
  if (command.action == mz::CommandLine::Action::ListPorts) {
    for (const auto& device : mz::QtSerialCatalog().Devices()) {
      std::cout << mz::DeviceListLine(device) << '\n';
    }
    return 0;
  }
  if (command.action == mz::CommandLine::Action::Report) {
    return mz::ReportCommand(command.resultsFile, command.pdfFile, argc, argv);
  }
  QApplication app(argc, argv);
  QApplication::setFont(mz::ProgramFont());
  int result = 0;
  {
    mz::QtProgram program(mz::PreparedProgramFolder());
    mz::EndProcessWithMainWindow(program);
    const mz::ProgramEndGuard guard(program);
    program.Show();
    result = QApplication::exec();
  }  // the port is closed here, before the application goes
  // Ended by a signal: the exit status says which, as the shell expects.
  if (const int signal = mz::ProgramEndGuard::EndingSignal(); signal != 0) return 128 + signal;
  return result;
}
