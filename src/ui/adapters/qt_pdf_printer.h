#pragma once
// The printer of the report: a PDF file on A4 written by QPdfWriter, with no
// dialog. One painter is held open for the whole document.
#include <QPainter>
#include <QPdfWriter>
#include <memory>
#include <string>

#include "display/printer.h"

namespace mz {

class QtCanvas;

class QtPdfPrinter : public Printer {
 public:
  explicit QtPdfPrinter(const std::string& path);
  ~QtPdfPrinter() override;

  // There is no dialog: the file is the choice.
  bool ShowPrintDialog() override { return true; }
  int PageWidth() const override;
  int PageHeight() const override;
  Canvas& BeginDoc(std::string_view title) override;
  void NewPage() override;
  void EndDoc() override;

 private:
  std::string path_;
  QPdfWriter writer_;
  QPainter painter_;
  std::unique_ptr<QtCanvas> canvas_;
};

}  // namespace mz
