#pragma once
// The start-up message: "Welcome to Halvorn MZ4800 Please Wait".
#include <QDialog>

namespace mz {

class Herald : public QDialog {
  Q_OBJECT
 public:
  explicit Herald(QWidget* parent = nullptr);
};

}  // namespace mz
