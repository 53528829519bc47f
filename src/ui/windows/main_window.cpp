#include "ui/windows/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QTimer>

#include "core/control_names.h"
#include "core/dispatch.h"
#include "program/startup.h"
#include "ui/adapters/qt_serial_catalog.h"
#include "ui/widgets/graph_box.h"
#include "ui/widgets/lamp.h"

namespace mz {

MainWindow::MainWindow(Context& ctx, ControlBinder& binder, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      ctx_(ctx),
      binder_(binder),
      systemCatalog_(std::make_unique<QtSerialCatalog>()),
      catalog_(systemCatalog_.get()),
      openUrl_(DesktopUrlOpener()),
      manualFolders_(ManualFolders()) {
  setObjectName(ObjectName(ctl::MainCaption));
  setWindowTitle(ctl::kMainTitle);
  // A running test shows its progress in the caption.
  ctx.controls.SetText(ctl::MainCaption, ctl::kMainTitle);
  captionSubscription_ = ctx.controls.Subscribe([this](const ControlChange& c) {
    if (c.Name == ctl::MainCaption.Name() && c.Property == Prop::Text) {
      setWindowTitle(QString::fromUtf8(c.Value.data(), static_cast<qsizetype>(c.Value.size())));
    }
  });
  QFont font("Arial");
  font.setPixelSize(12);
  setFont(font);

  auto* client = new QWidget(this);
  client->setObjectName("client");
  client->setFixedSize(kClientWidth, kClientHeight);
  setCentralWidget(client);

  BuildSidePanels(client);
  BuildTitleBar(client);
  BuildSetupPanel(client);
  BuildSinglePanel(client);
  BuildReportPanel(client);
  BuildMonitor(client);
  BuildButtons(client);
  BuildMenus();
  Activate();

  // A single fixed border: the window keeps the size of its contents.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  connect(qApp, &QApplication::focusChanged, this, &MainWindow::FocusChanged);
}

MainWindow::~MainWindow() {
  // Focus moves while the controls are taken down; that is nobody leaving a box.
  disconnect(qApp, &QApplication::focusChanged, this, &MainWindow::FocusChanged);
  ctx_.controls.Unsubscribe(captionSubscription_);
  exitHandlers_.clear();
}

void MainWindow::Handle(const std::function<void()>& handler) {
  Dispatch(ctx_.op, handler);
}

void MainWindow::Activate() {
  for (QFrame* panel : testPanels_) panel->setGeometry(kTestPanelRect);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The window closes only when the close query says so; a failure in it
  // (the configuration could not be written) keeps the window open.
  event->ignore();
  if (ctx_.loop.Pausing()) {
    // A handler is paused (a run's tick between its poll commands). The
    // question asked now would hold that handler, and with it the run and
    // the instrument's polls, for as long as it is open: it is asked as soon
    // as the handler has returned.
    QTimer::singleShot(kCloseRetryMs, this, [this] { close(); });
    return;
  }
  bool close = false;
  Handle([&] { close = CloseQuery(ctx_); });
  if (!close) return;
  event->accept();
  emit closeAccepted();
}

QFrame* MainWindow::Panel(QWidget* parent, ControlId name, QRect r) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(ObjectName(name));
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(1);
  panel->setGeometry(r);
  binder_.Bind(name, panel);
  return panel;
}

QLabel* MainWindow::LampRow(QWidget* panel, ControlId lampName, const QString& caption, int y) {
  auto* lamp = new Lamp(panel);
  lamp->setObjectName(ObjectName(lampName));
  lamp->move(10, y);
  binder_.Bind(lampName, lamp);
  auto* label = new QLabel(caption, panel);
  label->setGeometry(32, y, 64, 16);
  return label;
}

QLineEdit* MainWindow::Edit(QWidget* parent, ControlId name, const QString& text, QRect r,
                            bool readOnly) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(ObjectName(name));
  edit->setGeometry(r);
  edit->setReadOnly(readOnly);
  if (readOnly) edit->setFocusPolicy(Qt::NoFocus);
  binder_.Bind(name, edit);
  return edit;
}

QAction* MainWindow::Item(QMenu* menu, ControlId name, const QString& text,
                          std::function<void()> handler, bool checkable) {
  auto* action = menu->addAction(text);
  action->setObjectName(ObjectName(name));
  action->setCheckable(checkable);
  binder_.Bind(name, action);
  if (handler) {
    connect(action, &QAction::triggered, this, [this, handler] { Handle(handler); });
  }
  return action;
}

void MainWindow::OnExit(QWidget* widget, std::function<void()> handler) {
  exitHandlers_.emplace_back(widget, std::move(handler));
}

void MainWindow::OnEnter(QLineEdit* edit, std::function<void()> handler) {
  connect(edit, &QLineEdit::returnPressed, this, [this, handler] { Handle(handler); });
}

void MainWindow::OpenManual(const QString& anchor) {
  const std::filesystem::path page = FindManual(manualFolders_);
  if (page.empty()) {
    ctx_.op.Message(MessageKind::Error, ManualMissingText(manualFolders_).toStdString(),
                    Buttons::Ok);
    return;
  }
  const QUrl url = ManualUrl(page, anchor);
  if (!openUrl_(url)) {
    ctx_.op.Message(
        MessageKind::Error,
        "The desktop could not open the user manual in a browser:\n" + url.toString().toStdString(),
        Buttons::Ok);
  }
}

void MainWindow::FocusChanged(QWidget* old, QWidget* now) {
  // Leaving a box means the focus moved to another control of this window;
  // a message box, a menu or another window taking the focus for a while is
  // not leaving it.
  if (old == nullptr || now == nullptr || now->window() != this) return;
  for (const auto& [widget, handler] : exitHandlers_) {
    if (!widget) continue;
    const bool wasIn = old == widget || widget->isAncestorOf(old);
    const bool isIn = now == widget || widget->isAncestorOf(now);
    if (wasIn && !isIn) {
      Handle(handler);
      return;
    }
  }
}

}  // namespace mz
