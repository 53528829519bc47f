#include "ui/widgets/radio_group.h"

#include <QGridLayout>
#include <QRadioButton>

namespace mz {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(caption, parent) {
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->setSpacing(2);
  const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], this);
    buttons_.addButton(b, i);
    layout->addWidget(b, i % rows, i / rows);
  }
  connect(&buttons_, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

int RadioGroup::itemIndex() const {
  return buttons_.checkedId();
}

void RadioGroup::setItemIndex(int index) {
  if (auto* b = buttons_.button(index)) {
    b->setChecked(true);
  } else if (auto* checked = buttons_.checkedButton()) {
    buttons_.setExclusive(false);
    checked->setChecked(false);
    buttons_.setExclusive(true);
  }
}

}  // namespace mz
