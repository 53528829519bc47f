#include "ui/adapters/qt_printer.h"

#include <QFont>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>
#include <string>

#include "core/errors.h"
#include "ui/adapters/qt_canvas.h"

namespace mz {

void EnsurePageFontFallbacks() {
  static const bool done = [] {
    QFont::insertSubstitution("Times New Roman", "Liberation Serif");
    QFont::insertSubstitution("Courier", "Liberation Mono");
    return true;
  }();
  (void)done;
}

QtPrinter::QtPrinter(QPrinter& printer, QWidget* dialogParent)
    : printer_(printer), parent_(dialogParent) {
  EnsurePageFontFallbacks();
}

QtPrinter::~QtPrinter() {
  // A page that failed half way still closes its document.
  canvas_.reset();
  if (painter_.isActive()) painter_.end();
}

bool QtPrinter::ShowPrintDialog() {
  QPrintDialog dialog(&printer_, parent_);
  return dialog.exec() == QDialog::Accepted;
}

int QtPrinter::PageWidth() const {
  return printer_.width();
}

int QtPrinter::PageHeight() const {
  return printer_.height();
}

Canvas& QtPrinter::BeginDoc(std::string_view title) {
  printer_.setDocName(QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size())));
  if (!painter_.begin(&printer_)) {
    throw FileError("Printing failed: the printer could not start the document");
  }
  canvas_ = std::make_unique<QtCanvas>(painter_);
  return *canvas_;
}

void QtPrinter::NewPage() {
  if (!printer_.newPage()) throw FileError("Printing failed: the printer refused a new page");
}

void QtPrinter::EndDoc() {
  canvas_.reset();
  if (painter_.isActive() && !painter_.end()) {
    throw FileError("Printing failed: the document could not be finished");
  }
}

}  // namespace mz
