// Takes a picture of the real main window, started in simulation mode on the
// demonstration configuration, for the documentation:
//   QT_QPA_PLATFORM=offscreen mz4800-screenshot [--palette] docs/main_window.png
//   [standard|single|custom|report|run]
// or, for one of the main window's dialogs, its form name (Scol, Pcol, Nbook,
// Hkeep, About) in place of the panel. "run" runs a simulated Standard sweep
// from 30 to 1000 MHz at 10 V/M in 25 % steps on real timers (about a minute
// and a half) and takes the report panel's graph at its end. --palette writes
// a PNG of at most 256 colours, about a quarter of the size (the user
// manual's pictures in docs/manual/images are made so).
#include <unistd.h>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/control_names.h"
#include "execution/run_sequencer.h"
#include "execution/show_setup.h"
#include "execution/test_type.h"
#include "program/main_window_commands.h"
#include "ui/qt_program.h"
#include "ui/windows/dialog_kit.h"
#include "ui/windows/main_window.h"

namespace {

bool CopyExample(const std::filesystem::path& examples, const std::filesystem::path& folder,
                 const char* name) {
  std::error_code ec;
  std::filesystem::copy_file(examples / name, folder / name,
                             std::filesystem::copy_options::overwrite_existing, ec);
  return !ec;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setFont(mz::ProgramFont());  // as the program sets it
  const bool palette = argc > 1 && std::string(argv[1]) == "--palette";
  const int first = palette ? 2 : 1;  // the output file's argument
  if (argc <= first) {
    std::fprintf(stderr,
                 "usage: %s [--palette] out.png "
                 "[standard|single|custom|report|run|Scol|Pcol|Nbook|Hkeep|About]\n",
                 argv[0]);
    return 2;
  }
  const std::string out = argv[first];
  const std::string panel = argc > first + 1 ? argv[first + 1] : "standard";

  // A program folder of its own with the demonstration files: port 0, so the
  // program starts in simulation and asks nothing.
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("mz4800-screenshot-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path examples = std::filesystem::path(MZ_SOURCE_DIR) / "examples";
  if (!CopyExample(examples, folder, "MZ4800.INI") ||
      !CopyExample(examples, folder, "cell0010.csv")) {
    std::fprintf(stderr, "cannot copy the demonstration files from %s\n", examples.c_str());
    return 1;
  }

  int rc = 0;
  {
    mz::QtProgram program(folder);
    program.Show();
    auto& ctx = program.ctx();
    // Message boxes (the end of a run) are answered as soon as they appear.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
      if (auto* modal = QApplication::activeModalWidget()) modal->close();
    });
    answer.start(200);
    QTimer runEnd;
    auto take = [&] {
      QTimer::singleShot(200, [&] {
        QWidget* target = &program.window();
        if (auto* dialog = program.window().findChild<QDialog*>(QString::fromStdString(panel))) {
          target = dialog;
        }
        QImage shot = target->grab().toImage();
        if (palette) {
          shot =
              shot.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
        }
        if (!shot.save(QString::fromStdString(out))) {
          std::fprintf(stderr, "cannot write %s\n", out.c_str());
          rc = 1;
        }
        // Leave without the close question (quit() would ask it).
        QCoreApplication::exit(rc);
      });
    };
    // The start-up tick and the first clock tick come after one second.
    QTimer::singleShot(1500, [&] {
      if (panel == "single") mz::SelectTestType(ctx, 2);
      if (panel == "custom") mz::SelectTestType(ctx, 3);
      if (panel == "report" || panel == "run") mz::ShowReport(ctx);
      if (panel != "run") {
        take();
        return;
      }
      auto& s = ctx.state;
      s.StartFreqHz = 30'000'000;
      s.FinishFreqHz = 1'000'000'000;
      s.StepPercent = 25;
      s.FieldLevel = 10;
      s.DwellTime = 1;
      s.EutStatusMode = 2;  // Continue: faults are marked on the status strip
      ctx.controls.SetItemIndex(mz::ctl::EutStatus, 2);
      mz::ShowSetup(ctx);
      mz::Button1MouseDown(ctx);
      QObject::connect(&runEnd, &QTimer::timeout, [&] {
        if (s.TestRunning == 0) {
          runEnd.stop();
          take();
        }
      });
      runEnd.start(500);
    });
    QApplication::exec();
  }
  std::filesystem::remove_all(folder);
  return rc;
}
