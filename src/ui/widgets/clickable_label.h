#pragma once
// A label that reports a click ("Comms." reopens the port).
#include <QLabel>

namespace mz {

class ClickableLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickableLabel(const QString& text, QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace mz
