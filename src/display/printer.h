#pragma once
// The printer as the printed pages use it: the print dialog, the page size in
// device pixels, a document of one or more pages and the canvas to draw them
// on. The window layer drives a real printer (or a PDF file); tests record.
#include <string_view>

namespace mz {

class Canvas;

class Printer {
 public:
  virtual ~Printer() = default;
  // The platform's print dialog on this printer; true when the operator
  // confirms it. The choices made there (printer, paper, copies) stay with
  // the printer.
  virtual bool ShowPrintDialog() = 0;
  // The printable page in device pixels, as chosen now.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  // Starts a document listed under title and returns the canvas of its first
  // page. Throws when the printer cannot start it.
  virtual Canvas& BeginDoc(std::string_view title) = 0;
  // Ends the page and starts another on the same canvas.
  virtual void NewPage() = 0;
  // Ends the document: the pages go to the printer.
  virtual void EndDoc() = 0;
};

}  // namespace mz
