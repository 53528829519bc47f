#pragma once
// A captioned group of radio buttons with one item index, as the window's
// radio groups are: "Off"/"Pulse"/"On", "Normal"/"Pre-Scanned", ...
#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

namespace mz {

class RadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  RadioGroup(const QString& caption, const QStringList& items, int columns = 1,
             QWidget* parent = nullptr);
  int itemIndex() const;
  void setItemIndex(int index);

 signals:
  // Emitted when the operator clicks an item.
  void clicked(int index);

 private:
  QButtonGroup buttons_;
};

}  // namespace mz
