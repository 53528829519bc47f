#include "ui/windows/graph_window.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgGenerator>

#include "core/dispatch.h"
#include "files/graph_overlay.h"
#include "files/preferences_file.h"
#include "files/step_table_csv.h"
#include "ui/adapters/qt_canvas.h"

namespace mz {

namespace {

constexpr QSize kFirstSize{1032, 520};  // twice the main window's graph
constexpr int kMinWidth = 320;
constexpr int kMinHeight = 200;

QString Q(const std::string& s) {
  return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

// ---------------------------------------------------------------------------
// GraphPane

GraphPane::GraphPane(Context& ctx, const std::vector<GraphOverlay>& overlays, QWidget* parent)
    : QWidget(parent), ctx_(ctx), overlays_(overlays) {
  setObjectName("GraphPane");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setMinimumSize(kMinWidth, kMinHeight);
  setAccessibleName("Graph");
  readout_ = new QLabel(this);
  readout_->setObjectName("GraphReadout");
  readout_->setAccessibleName("Step readout");
  readout_->setStyleSheet(
      "QLabel { background: #ffffe1; color: black; border: 1px solid #767676; padding: 4px; }");
  readout_->hide();
}

GraphPane::~GraphPane() = default;

GraphViewOptions GraphPane::Options() const {
  return {.LinearFrequency = ctx_.state.Prefs.Graph.LinearFrequency};
}

GraphView GraphPane::MakeView() const {
  return GraphView(ctx_.state, width(), height(), Options(), overlays_);
}

void GraphPane::Invalidate() {
  dirty_ = true;
  update();
}

void GraphPane::DrawWhole() {
  const qreal dpr = devicePixelRatioF();
  const QSize px = size() * dpr;
  if (image_.size() != px) {
    canvas_.reset();
    image_ = QImage(px, QImage::Format_RGB32);
    image_.setDevicePixelRatio(dpr);
    canvas_ = std::make_unique<QtCanvas>(image_);
  }
  view_.emplace(MakeView());
  {
    const QtCanvas::Batch batch(*canvas_);
    DrawGraphView(ctx_.state, *view_, overlays_, *canvas_);
  }
  dirty_ = false;
  ++fullRedraws_;
  RefreshReadout();
}

void GraphPane::RefreshReadout() {
  if (readout_->isHidden()) return;
  readoutStep_ = -1;  // its text is made again
  ShowReadout(pointer_);
}

void GraphPane::StepRecorded() {
  if (dirty_ || !view_ || !canvas_) return Invalidate();
  // A step outside the axes drawn (a higher field than the axis shows)
  // changes the layout: everything again.
  const GraphView fresh = MakeView();
  if (!fresh.SameRanges(*view_)) return Invalidate();
  const int i = static_cast<int>(ctx_.state.StepCount) - 1;
  {
    const QtCanvas::Batch batch(*canvas_);
    DrawGraphViewStep(ctx_.state, *view_, *canvas_, i);
    DrawGraphViewHeader(ctx_.state, *view_, *canvas_);
  }
  update();
  RefreshReadout();
}

void GraphPane::HeaderChanged() {
  if (dirty_ || !view_ || !canvas_ || !isVisible()) return;
  {
    const QtCanvas::Batch batch(*canvas_);
    DrawGraphViewHeader(ctx_.state, *view_, *canvas_);
  }
  const PixelRect h = view_->Header();
  update(QRect(h.Left, h.Top, h.Right - h.Left, h.Bottom - h.Top));
}

void GraphPane::BandChanged() {
  if (dirty_ || !view_ || !canvas_) return;
  {
    const QtCanvas::Batch batch(*canvas_);
    DrawGraphViewBandPiece(ctx_.state, *view_, *canvas_,
                           static_cast<int>(ctx_.state.StepCount) - 1);
  }
  const PixelRect b = view_->Band();
  update(QRect(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top));
}

void GraphPane::paintEvent(QPaintEvent*) {
  if (dirty_ || image_.size() != size() * devicePixelRatioF()) DrawWhole();
  QPainter p(this);
  p.drawImage(0, 0, image_);
}

void GraphPane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  dirty_ = true;
}

int GraphPane::StepAt(QPoint pos) const {
  const GraphView v =
      view_ && view_->Width() == width() && view_->Height() == height() ? *view_ : MakeView();
  return NearestStep(ctx_.state, v, pos.x(), pos.y());
}

QString GraphPane::ReadoutText() const {
  return readout_->text();
}

bool GraphPane::ReadoutVisible() const {
  return !readout_->isHidden();
}

void GraphPane::ShowReadout(QPoint pos) {
  pointer_ = pos;
  const int step = StepAt(pos);
  if (step < 0) {
    readout_->hide();
    readoutStep_ = -1;
    return;
  }
  if (step != readoutStep_) {
    readout_->setText(Q(StepReadout(ctx_.state, step)));
    QFont f = font();
    f.setPixelSize(view_ ? std::max(12, view_->FontPx()) : 12);
    readout_->setFont(f);
    readout_->adjustSize();
    readoutStep_ = step;
  }
  // Beside the pointer, kept inside the pane.
  QPoint at = pos + QPoint(16, 16);
  if (at.x() + readout_->width() > width()) at.setX(pos.x() - 16 - readout_->width());
  if (at.y() + readout_->height() > height()) at.setY(pos.y() - 16 - readout_->height());
  readout_->move(at);
  readout_->show();
  readout_->raise();
}

void GraphPane::mouseMoveEvent(QMouseEvent* event) {
  ShowReadout(event->position().toPoint());
}

void GraphPane::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  readout_->hide();
  readoutStep_ = -1;
}

void GraphPane::RenderTo(QPainter& painter) const {
  QtCanvas canvas(painter);
  DrawGraphView(ctx_.state, MakeView(), overlays_, canvas);
}

QImage GraphPane::Rendered() const {
  QImage image(size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  RenderTo(p);
  return image;
}

// ---------------------------------------------------------------------------
// GraphWindow

GraphWindow::GraphWindow(Context& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx) {
  setObjectName("GraphWindow");
  setWindowTitle("MZ4800 Graph");
  setAttribute(Qt::WA_DeleteOnClose, false);
  pane_ = new GraphPane(ctx_, overlays_, this);
  setCentralWidget(pane_);
  BuildMenus();
  resize(kFirstSize);
}

GraphWindow::~GraphWindow() = default;

void GraphWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  auto handled = [this](std::function<void()> f) {
    return [this, f = std::move(f)] { Dispatch(ctx_.op, f); };
  };
  file->addAction("Add &Overlay...", this, handled([this] {
                    const auto name = AskFileName(false, "Add Overlay",
                                                  "Results and Pre-Scans (*.MZ *.PSC *.mz *.psc)");
                    if (name) AddOverlay(*name);
                  }));
  removeMenu_ = file->addMenu("&Remove Overlay");
  removeAll_ = file->addAction("Remove &All Overlays", this, [this] {
    overlays_.clear();
    RebuildRemoveMenu();
    pane_->Invalidate();
  });
  file->addSeparator();
  file->addAction("Export &PNG...", this, handled([this] {
                    const auto name = AskFileName(true, "Export PNG", "PNG Images (*.png)", "png");
                    if (name) ExportPng(*name);
                  }));
  file->addAction("Export &SVG...", this, handled([this] {
                    const auto name = AskFileName(true, "Export SVG", "SVG Images (*.svg)", "svg");
                    if (name) ExportSvg(*name);
                  }));
  file->addAction("Export Step &Table (CSV)...", this, handled([this] {
                    const auto name = AskFileName(true, "Export Step Table",
                                                  "Comma-Separated Values (*.csv)", "csv");
                    if (name) ExportCsv(*name);
                  }));
  file->addSeparator();
  file->addAction("&Close", QKeySequence("Ctrl+W"), this, &QWidget::close);

  QMenu* view = menuBar()->addMenu("&View");
  logAxis_ = view->addAction("&Logarithmic Frequency Axis");
  logAxis_->setCheckable(true);
  logAxis_->setChecked(!ctx_.state.Prefs.Graph.LinearFrequency);
  connect(logAxis_, &QAction::toggled, this, [this](bool log) { SetLinearFrequency(!log); });
  RebuildRemoveMenu();
}

void GraphWindow::RebuildRemoveMenu() {
  removeMenu_->clear();
  for (int i = 0; i < static_cast<int>(overlays_.size()); ++i) {
    removeMenu_->addAction(Q(overlays_[static_cast<std::size_t>(i)].Name), this,
                           [this, i] { RemoveOverlay(i); });
  }
  removeMenu_->setEnabled(!overlays_.empty());
  removeAll_->setEnabled(!overlays_.empty());
}

std::optional<std::string> GraphWindow::AskFileName(bool save, const QString& title,
                                                    const QString& filter, const QString& suffix) {
  // The window's own dialog, so that it opens over this window and gives
  // the focus back to it. Overlays are looked for among the kept runs first.
  QString& folder = save ? exportFolder_ : overlayFolder_;
  if (folder.isEmpty()) {
    const auto runs = ctx_.folder / "Runs";
    std::error_code ec;
    folder = QString::fromStdString(
        (!save && std::filesystem::is_directory(runs, ec) ? runs : ctx_.folder).string());
  }
  QFileDialog dialog(this, title, folder, filter + ";;All files (*)");
  dialog.setObjectName(save ? "SaveDialog" : "OpenDialog");
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString file = dialog.selectedFiles().front();
  folder = QFileInfo(file).absolutePath();
  return file.toLocal8Bit().toStdString();
}

bool GraphWindow::Fail(const std::string& what) {
  ctx_.op.Message(MessageKind::Error, what, Buttons::Ok);
  return false;
}

bool GraphWindow::AddOverlay(const std::string& path) {
  try {
    overlays_.push_back(
        ReadGraphOverlay(path, OverlayColour(overlaysAdded_), ctx_.state.FileDelimiter));
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  ++overlaysAdded_;
  RebuildRemoveMenu();
  pane_->Invalidate();
  return true;
}

void GraphWindow::RemoveOverlay(int index) {
  if (index < 0 || index >= static_cast<int>(overlays_.size())) return;
  overlays_.erase(overlays_.begin() + index);
  RebuildRemoveMenu();
  pane_->Invalidate();
}

bool GraphWindow::ExportPng(const std::string& path) {
  const QImage image = pane_->Rendered();
  if (!image.save(Q(path), "PNG")) return Fail("Could not write the picture " + path + ".");
  return true;
}

bool GraphWindow::ExportSvg(const std::string& path) {
  QSvgGenerator svg;
  svg.setFileName(Q(path));
  svg.setSize(pane_->size());
  svg.setViewBox(QRect(QPoint(0, 0), pane_->size()));
  svg.setTitle("MZ4800 Graph");
  {
    QPainter p;
    if (!p.begin(&svg)) return Fail("Could not write the picture " + path + ".");
    pane_->RenderTo(p);
  }
  return true;
}

bool GraphWindow::ExportCsv(const std::string& path) {
  try {
    WriteStepTable(path, ctx_.state);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  return true;
}

void GraphWindow::SetLinearFrequency(bool linear) {
  auto& prefs = ctx_.state.Prefs;
  if (prefs.Graph.LinearFrequency != linear) {
    prefs.Graph.LinearFrequency = linear;
    try {
      WritePreferences(ctx_);
    } catch (const std::exception&) {
      // Kept for this session; the file is written again at the next change.
    }
  }
  if (logAxis_->isChecked() == linear) logAxis_->setChecked(!linear);
  pane_->Invalidate();
}

void GraphWindow::Open() {
  if (!isVisible()) {
    const GraphWindowSettings& g = ctx_.state.Prefs.Graph;
    const QRect wanted(g.X, g.Y, g.Width, g.Height);
    // A place on a screen that is still there; the first size otherwise.
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens()) {
      if (screen->availableGeometry().intersects(wanted)) onScreen = true;
    }
    if (g.Width > 0 && onScreen) {
      resize(std::max(g.Width, kMinWidth), std::max(g.Height, kMinHeight));
      move(g.X, g.Y);
    }
    if (g.Maximised) {
      showMaximized();
    } else {
      show();
    }
  }
  raise();
  activateWindow();
  pane_->Invalidate();
}

void GraphWindow::KeepGeometry() {
  GraphWindowSettings& g = ctx_.state.Prefs.Graph;
  g.Open = isVisible();
  g.Maximised = isMaximized();
  const QRect r = isMaximized() ? normalGeometry() : geometry();
  if (r.width() > 0) {
    g.X = r.x();
    g.Y = r.y();
    g.Width = r.width();
    g.Height = r.height();
  }
}

void GraphWindow::closeEvent(QCloseEvent* event) {
  QMainWindow::closeEvent(event);
  KeepGeometry();
  ctx_.state.Prefs.Graph.Open = false;
  try {
    WritePreferences(ctx_);
  } catch (const std::exception&) {
    // The place is kept for this session.
  }
}

}  // namespace mz
