#pragma once
// Display > Graph Window (or a double-click on the graph): the test's graph
// in a window of its own, resizable and maximisable, drawn by GraphView at the
// window's size and kept up to date step by step during a run. It carries
// the overlays of other results and pre-scans, the pointer's readout of the
// nearest step, and the exports (PNG and SVG of the graph, CSV of the step
// table). Its size, place, state and axis are kept in the preferences.
#include <QMainWindow>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/context.h"
#include "display/graph_view.h"

class QLabel;
class QMenu;
class QAction;
class QPainter;

namespace mz {

class QtCanvas;

// The drawing area: the graph on an image of the widget's size, drawn whole
// when something other than a step changed, one step at a time otherwise.
class GraphPane : public QWidget {
  Q_OBJECT
 public:
  GraphPane(Context& ctx, const std::vector<GraphOverlay>& overlays, QWidget* parent = nullptr);
  ~GraphPane() override;

  // The whole graph is drawn again at the next paint.
  void Invalidate();
  // Step StepCount - 1 has been recorded: its segment and band piece.
  void StepRecorded();
  // The figures above the plot (a new reading, a new step sent).
  void HeaderChanged();
  // The EUT status of the last recorded step may have changed.
  void BandChanged();

  // The step whose readout a pointer at pos shows (-1 none), and the text.
  int StepAt(QPoint pos) const;
  QString ReadoutText() const;
  bool ReadoutVisible() const;

  // The layout at the pane's size, as last drawn (none before the first).
  const std::optional<GraphView>& view() const { return view_; }
  const QImage& image() const { return image_; }
  // How many times the whole graph has been drawn.
  int fullRedraws() const { return fullRedraws_; }

  // The graph at the pane's size on a painter someone else holds (SVG).
  void RenderTo(QPainter& painter) const;
  // The graph at the pane's size as an image.
  QImage Rendered() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  GraphViewOptions Options() const;
  GraphView MakeView() const;
  void DrawWhole();
  void ShowReadout(QPoint pos);
  // The readout shown again for the pointer where it stands (the steps or
  // the layout under it changed).
  void RefreshReadout();

  Context& ctx_;
  const std::vector<GraphOverlay>& overlays_;
  QImage image_;
  std::unique_ptr<QtCanvas> canvas_;
  std::optional<GraphView> view_;
  bool dirty_ = true;
  int fullRedraws_ = 0;
  QLabel* readout_ = nullptr;
  int readoutStep_ = -1;
  QPoint pointer_;  // where the pointer was last over the pane
};

class GraphWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit GraphWindow(Context& ctx, QWidget* parent = nullptr);
  ~GraphWindow() override;

  // Shows the window where the preferences last had it (raised if open).
  void Open();

  GraphPane& pane() { return *pane_; }
  const std::vector<GraphOverlay>& overlays() const { return overlays_; }

  // The commands behind the menu items, with the file already chosen.
  // Each shows an error box and returns false when the file cannot be
  // read or written.
  bool AddOverlay(const std::string& path);
  void RemoveOverlay(int index);
  bool ExportPng(const std::string& path);
  bool ExportSvg(const std::string& path);
  bool ExportCsv(const std::string& path);
  void SetLinearFrequency(bool linear);

  // The window's place and state into the preferences (written by the
  // caller or at close).
  void KeepGeometry();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void RebuildRemoveMenu();
  bool Fail(const std::string& what);
  // A file to read (an overlay) or to write (an export), or none.
  std::optional<std::string> AskFileName(bool save, const QString& title, const QString& filter,
                                         const QString& suffix = {});

  Context& ctx_;
  std::vector<GraphOverlay> overlays_;
  int overlaysAdded_ = 0;
  GraphPane* pane_ = nullptr;
  QMenu* removeMenu_ = nullptr;
  QAction* removeAll_ = nullptr;
  QAction* logAxis_ = nullptr;
  QString overlayFolder_;  // where the dialogs start: the folder last used
  QString exportFolder_;
};

}  // namespace mz
