#pragma once
// The main window: the STATUS, EUT and FAULT lamps, the title bar, the three
// overlapping test panels (set-up, single frequency, report), the monitor,
// the run and test-type buttons and the menu bar. Every control is bound to
// the screen model under its designer name; every event runs its handler
// through the program's error box.
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "core/context.h"
#include "core/serial_catalog.h"
#include "ui/adapters/control_binder.h"
#include "ui/user_manual.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;

namespace mz {

class GraphBox;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(Context& ctx, ControlBinder& binder, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Runs a window event's handler through the program's error box.
  void Handle(const std::function<void()>& handler);

  // The report panel's paint box.
  GraphBox& graphBox() { return *graph_; }

  // Where the Port menu finds the serial devices present (the system's
  // enumeration unless a test gives its own; the window does not own it).
  void SetSerialCatalog(const SerialCatalog& catalog) { catalog_ = &catalog; }

  // Display > Graph Window and a double-click on the graph call this.
  std::function<void()> openGraphWindow;

  // How Help > Contents and Help > Topic Search open the user manual (the
  // desktop's browser unless a test gives its own), and the folders where
  // they look for it (ManualFolders() unless a test gives others).
  void SetUrlOpener(UrlOpener open) { openUrl_ = std::move(open); }
  void SetManualFolders(std::vector<std::filesystem::path> folders) {
    manualFolders_ = std::move(folders);
  }

  // Places the three test panels on top of one another.
  void Activate();

  // The client area's size, as the program lays it out.
  static constexpr int kClientWidth = 632;
  static constexpr int kClientHeight = 434;
  // The three test panels overlap in one place; one shows at a time.
  static constexpr QRect kTestPanelRect{108, 32, 520, 232};
  // A close that comes while a handler is paused is tried again this much
  // later (a pause lasts one or two 55 ms ticks).
  static constexpr int kCloseRetryMs = 60;

 signals:
  // The close query said yes and the window has closed: the program ends.
  void closeAccepted();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Builders, one per region of the window.
  void BuildSidePanels(QWidget* client);
  void BuildTitleBar(QWidget* client);
  void BuildSetupPanel(QWidget* client);
  void BuildCustomPanel(QWidget* setupPanel);
  void BuildSinglePanel(QWidget* client);
  void BuildReportPanel(QWidget* client);
  void BuildMonitor(QWidget* client);
  void BuildButtons(QWidget* client);
  void BuildMenus();

  // A bevelled panel of the client area, bound under its name.
  QFrame* Panel(QWidget* parent, ControlId name, QRect r);
  // A lamp with its caption, bound under the lamp's name.
  QLabel* LampRow(QWidget* panel, ControlId lampName, const QString& caption, int y);
  // An edit box bound under its name.
  QLineEdit* Edit(QWidget* parent, ControlId name, const QString& text, QRect r,
                  bool readOnly = false);
  // A menu item bound under its name; handler runs on a click.
  QAction* Item(QMenu* menu, ControlId name, const QString& text,
                std::function<void()> handler = {}, bool checkable = false);
  // Handlers of an edit box: leaving it, and the Enter key.
  void OnExit(QWidget* widget, std::function<void()> handler);
  void OnEnter(QLineEdit* edit, std::function<void()> handler);
  void FocusChanged(QWidget* old, QWidget* now);
  // Opens the user manual at anchor (its top when empty), or says where it
  // was looked for.
  void OpenManual(const QString& anchor);

  Context& ctx_;
  ControlBinder& binder_;
  GraphBox* graph_ = nullptr;
  std::unique_ptr<SerialCatalog> systemCatalog_;
  const SerialCatalog* catalog_ = nullptr;
  std::vector<QFrame*> testPanels_;
  std::vector<std::pair<QPointer<QWidget>, std::function<void()>>> exitHandlers_;
  std::unique_ptr<QPrinter> printer_;
  UrlOpener openUrl_;
  std::vector<std::filesystem::path> manualFolders_;
  int captionSubscription_ = 0;  // the caption follows the model's "Main" text
};

}  // namespace mz
