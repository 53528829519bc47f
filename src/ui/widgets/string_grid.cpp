#include "ui/widgets/string_grid.h"

#include <QHeaderView>
#include <QSignalBlocker>

namespace mz {

StringGrid::StringGrid(int columns, int rows, QWidget* parent)
    : QTableWidget(rows - 1, columns, parent) {
  for (int c = 0; c < columns; ++c) {
    setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
    for (int r = 0; r < rowCount(); ++r) setItem(r, c, new QTableWidgetItem(QString()));
  }
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(18);
  verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::AllEditTriggers);
  connect(this, &QTableWidget::cellChanged, this, [this](int row, int col) {
    if (auto* it = item(row, col)) emit cellEdited(col, row + 1, it->text());
  });
}

QString StringGrid::cell(int col, int row) const {
  if (row == 0) {
    const auto* h = horizontalHeaderItem(col);
    return h != nullptr ? h->text() : QString();
  }
  const auto* it = item(row - 1, col);
  return it != nullptr ? it->text() : QString();
}

void StringGrid::setCell(int col, int row, const QString& text) {
  if (col < 0 || col >= columnCount() || row < 0 || row > rowCount()) return;
  const QSignalBlocker block(this);
  if (row == 0) {
    horizontalHeaderItem(col)->setText(text);
  } else {
    item(row - 1, col)->setText(text);
  }
  viewport()->update();
}

}  // namespace mz
