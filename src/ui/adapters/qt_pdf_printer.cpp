#include "ui/adapters/qt_pdf_printer.h"

#include <QPageLayout>
#include <QPageSize>

#include "core/errors.h"
#include "ui/adapters/qt_canvas.h"
#include "ui/adapters/qt_printer.h"

namespace mz {

namespace {
constexpr int kDotsPerInch = 600;
}  // namespace

QtPdfPrinter::QtPdfPrinter(const std::string& path)
    : path_(path),
      writer_(QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()))) {
  EnsurePageFontFallbacks();
  writer_.setResolution(kDotsPerInch);
  // The pages keep their own margins, as on a printer's printable area.
  writer_.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
  writer_.setCreator("MZ4800 Control");
}

QtPdfPrinter::~QtPdfPrinter() {
  canvas_.reset();
  if (painter_.isActive()) painter_.end();
}

int QtPdfPrinter::PageWidth() const {
  return writer_.width();
}

int QtPdfPrinter::PageHeight() const {
  return writer_.height();
}

Canvas& QtPdfPrinter::BeginDoc(std::string_view title) {
  writer_.setTitle(QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size())));
  if (!painter_.begin(&writer_)) throw FileError("Cannot write the report " + path_);
  canvas_ = std::make_unique<QtCanvas>(painter_);
  return *canvas_;
}

void QtPdfPrinter::NewPage() {
  if (!writer_.newPage()) throw FileError("Cannot write the report " + path_);
}

void QtPdfPrinter::EndDoc() {
  canvas_.reset();
  if (painter_.isActive() && !painter_.end()) throw FileError("Cannot write the report " + path_);
}

}  // namespace mz
