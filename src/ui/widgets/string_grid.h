#pragma once
// An editable text grid with one fixed heading row, addressed as the program
// addresses it: row 0 is the heading, rows 1 and up hold the data. The
// heading texts are shown as the column headers.
#include <QTableWidget>

namespace mz {

class StringGrid : public QTableWidget {
  Q_OBJECT
 public:
  // rows counts the heading row too.
  StringGrid(int columns, int rows, QWidget* parent = nullptr);

  int gridRows() const { return rowCount() + 1; }
  QString cell(int col, int row) const;
  // Sets a cell without reporting it as an edit.
  void setCell(int col, int row, const QString& text);

 signals:
  // The operator changed a cell.
  void cellEdited(int col, int row, const QString& text);
};

}  // namespace mz
