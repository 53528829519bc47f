#include "ui/windows/herald.h"

#include <QLabel>
#include <QVBoxLayout>

namespace mz {

Herald::Herald(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle("MZ4800   Message");
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
  auto* label = new QLabel("Welcome to Halvorn MZ4800 Please Wait", this);
  QFont f = label->font();
  f.setBold(true);
  label->setFont(f);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 20);
  layout->addWidget(label);
  setEnabled(false);
  setModal(false);
}

}  // namespace mz
