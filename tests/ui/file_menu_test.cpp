// The File menu's set-up commands in the real main window, through the Qt file
// dialogs with their titles, filters and default extension.
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "core/control_names.h"
#include "files/preferences_file.h"
#include "files/run_journal.h"
#include "program/startup.h"
#include "support/test_program.h"
#include "ui/modal_script.h"
#include "ui/qt_program.h"
#include "ui/windows/main_window.h"

using namespace mz;

class FileMenuTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void setupSavedUnderTheDefaultExtensionOpensAgain();
  void dialogsStartInTheProgramFolderThenWhereTheLastFileOfTheirKindWent();
  void exportReportOffersTheRunsNameInTheLastReportsFolder();

 private:
  // Answers the next file dialog with `name` and records its title and filters.
  void Choose(test::ModalScript& script, const char* dialogName, const QString& name) {
    script.On(dialogName, [this, name](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      titles << dialog->windowTitle();
      filters << dialog->nameFilters().join(";;");
      folders << dialog->directory().absolutePath();
      const QFileInfo info(name);
      dialog->setDirectory(info.absolutePath());
      // What the operator types in the name box.
      dialog->findChild<QLineEdit*>("fileNameEdit")->setText(info.fileName());
      QMetaObject::invokeMethod(dialog, "accept");
    });
  }
  void Trigger(const char* item, test::ModalScript& script) {
    program->window().findChild<QAction*>(item)->trigger();
    QTRY_VERIFY(script.done());
  }
  QString Label(ControlId id) {
    return program->window().findChild<QLabel*>(ObjectName(id))->text();
  }
  QString Path(const char* name) {
    return QString::fromStdString((folder->path() / name).string());
  }

  // Records the folder the next file dialog starts in and the name it
  // offers, and cancels it.
  void Offered(test::ModalScript& script, const char* dialogName) {
    script.On(dialogName, [this](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      folders << dialog->directory().absolutePath();
      names << dialog->findChild<QLineEdit*>("fileNameEdit")->text();
      dialog->reject();
    });
  }
  // Records the folder the next file dialog starts in, and cancels it.
  void Cancel(test::ModalScript& script, const char* dialogName) {
    script.On(dialogName, [this](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      folders << dialog->directory().absolutePath();
      dialog->reject();
    });
  }
  QString Folder(const std::filesystem::path& p) {
    return QDir(QString::fromStdString(p.string())).absolutePath();
  }

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<QtProgram> program;
  QStringList titles, filters, folders, names;
};

void FileMenuTest::init() {
  folder = std::make_unique<test::TempFolder>();
  program = std::make_unique<QtProgram>(folder->path());
  program->Show();
  QVERIFY(QTest::qWaitForWindowExposed(&program->window()));
  titles.clear();
  filters.clear();
  folders.clear();
  names.clear();
}

void FileMenuTest::cleanup() {
  program.reset();
  folder.reset();
}

void FileMenuTest::setupSavedUnderTheDefaultExtensionOpensAgain() {
  auto& s = program->ctx().state;
  s.StartFreqHz = 123'000'000;
  s.TestType = 3;
  {
    test::ModalScript script;
    Choose(script, "SaveDialog", Path("proc"));
    Trigger("SetupOnly2", script);
  }
  QVERIFY(std::filesystem::exists(folder->path() / "proc.STP"));

  s.StartFreqHz = 90'000'000;
  s.TestType = 1;
  {
    test::ModalScript script;
    Choose(script, "OpenDialog", Path("proc.STP"));
    Trigger("SetupOnly1", script);
  }
  QCOMPARE(s.StartFreqHz, 123'000'000);
  QCOMPARE(Label(ctl::SetupFileLabel), Path("proc.STP"));
  QCOMPARE(Label(ctl::SetupHeading), QString("CUSTOM"));
  QCOMPARE(titles, (QStringList{"Save Setup Only", "Load Setup Procedure"}));
  QCOMPARE(filters, (QStringList{"Setup Procedures (*.STP *.stp);;All files (*)",
                                 "Test Procedures (*.STP *.stp);;All files (*)"}));
}

void FileMenuTest::dialogsStartInTheProgramFolderThenWhereTheLastFileOfTheirKindWent() {
  const QString programFolder = Folder(folder->path());
  {
    test::ModalScript script;
    Cancel(script, "OpenDialog");
    Trigger("SetupOnly1", script);
  }
  {
    test::ModalScript script;
    Cancel(script, "SaveDialog");
    Trigger("ResultsSetup2", script);
  }
  QCOMPARE(folders, (QStringList{programFolder, programFolder}));

  // A set-up saved elsewhere: set-up dialogs now start there, the others not.
  const auto elsewhere = folder->path() / "procedures";
  std::filesystem::create_directories(elsewhere);
  {
    test::ModalScript script;
    Choose(script, "SaveDialog", QString::fromStdString((elsewhere / "proc").string()));
    Trigger("SetupOnly2", script);
  }
  QVERIFY(std::filesystem::exists(elsewhere / "proc.STP"));
  folders.clear();
  for (const char* item : {"SetupOnly1", "SetupOnly2", "ResultsSetup1", "PreScans1"}) {
    test::ModalScript script;
    Cancel(script, std::string(item).ends_with('2') ? "SaveDialog" : "OpenDialog");
    Trigger(item, script);
  }
  QCOMPARE(folders,
           (QStringList{Folder(elsewhere), Folder(elsewhere), programFolder, programFolder}));

  // A folder that has gone sends the dialog back to the program folder.
  std::filesystem::remove_all(elsewhere);
  folders.clear();
  {
    test::ModalScript script;
    Cancel(script, "OpenDialog");
    Trigger("SetupOnly1", script);
  }
  QCOMPARE(folders, QStringList{programFolder});
}

// The report of a run is offered under the run's title and start, first in
// the program folder, then in the folder the last report went to, which the
// preferences file keeps.
void FileMenuTest::exportReportOffersTheRunsNameInTheLastReportsFolder() {
  auto& s = program->ctx().state;
  s.TestTitle = "Cabinet A";
  s.ResultsStartedMs = 1'796'220'153'000;
  const QString name = QString::fromStdString(
      "Cabinet-A_" + RunFileStamp(s.ResultsStartedMs).substr(0, 16) + ".pdf");
  {
    test::ModalScript script;
    Offered(script, "SaveDialog");
    Trigger("ExportReport1", script);
  }
  QCOMPARE(folders, QStringList{Folder(folder->path())});
  QCOMPARE(names, QStringList{name});

  const auto reports = folder->path() / "reports";
  std::filesystem::create_directories(reports);
  {
    test::ModalScript script;
    Choose(script, "SaveDialog", QString::fromStdString((reports / "first.pdf").string()));
    Trigger("ExportReport1", script);
  }
  QVERIFY(std::filesystem::file_size(reports / "first.pdf") > 0);
  QCOMPARE(ReadPreferences(PreferencesPath(program->ctx())).ReportFolder, reports.string());
  folders.clear();
  names.clear();
  {
    test::ModalScript script;
    Offered(script, "SaveDialog");
    Trigger("ExportReport1", script);
  }
  QCOMPARE(folders, QStringList{Folder(reports)});
  QCOMPARE(names, QStringList{name});
}

QTEST_MAIN(FileMenuTest)
#include "file_menu_test.moc"
