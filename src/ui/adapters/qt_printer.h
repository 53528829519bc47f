#pragma once
// The printer of the printed pages on a QPrinter: the platform's print dialog,
// the printable page in device pixels, and one painter held open for the
// whole document so that all its pages share a QtCanvas. The QPrinter belongs
// to the caller (the main window keeps one, so that Printer Setup... carries
// to the next print job); a QPrinter set to PdfFormat with a file name prints
// to that PDF without any dialog.
#include <QPainter>
#include <QPointer>
#include <memory>

#include "display/printer.h"

class QPrinter;
class QWidget;

namespace mz {

class QtCanvas;

// The page fonts by the names the pages ask for; where they are not
// installed the metric-compatible free fonts stand in, so that the table's
// Courier rows keep their columns.
void EnsurePageFontFallbacks();

class QtPrinter : public Printer {
 public:
  QtPrinter(QPrinter& printer, QWidget* dialogParent);
  ~QtPrinter() override;

  bool ShowPrintDialog() override;
  int PageWidth() const override;
  int PageHeight() const override;
  Canvas& BeginDoc(std::string_view title) override;
  void NewPage() override;
  void EndDoc() override;

 private:
  QPrinter& printer_;
  QPointer<QWidget> parent_;
  QPainter painter_;
  std::unique_ptr<QtCanvas> canvas_;
};

}  // namespace mz
