#pragma once
// A printer that records each page's drawing calls on a 4800 x 6600 page,
// for tests of the report and the printouts.
#include <string>
#include <string_view>
#include <vector>

#include "display/printer.h"
#include "display/recording_canvas.h"

namespace mz::test {

class PagePrinter : public Printer {
 public:
  bool ShowPrintDialog() override { return true; }
  int PageWidth() const override { return 4800; }
  int PageHeight() const override { return 6600; }
  Canvas& BeginDoc(std::string_view title) override {
    this->title = title;
    pages.emplace_back();
    return canvas;
  }
  void NewPage() override {
    Flush();
    pages.emplace_back();
  }
  void EndDoc() override {
    Flush();
    ended = true;
  }
  // The texts of page n (from 1), in drawing order.
  std::vector<std::string> Texts(std::size_t n) const {
    std::vector<std::string> out;
    for (const std::string& c : pages.at(n - 1)) {
      if (!c.starts_with("TextOut ")) continue;
      const auto afterX = c.find(' ', 8);
      out.push_back(c.substr(c.find(' ', afterX + 1) + 1));
    }
    return out;
  }

  std::string title;
  std::vector<std::vector<std::string>> pages;
  bool ended = false;
  RecordingCanvas canvas;

 private:
  void Flush() {
    pages.back() = canvas.calls;
    canvas.Clear();
  }
};

// Hands code that owns its printer (the report's export) one it may delete,
// drawing on a printer the test keeps.
class ForwardingPrinter : public Printer {
 public:
  explicit ForwardingPrinter(Printer& to) : to_(to) {}
  bool ShowPrintDialog() override { return to_.ShowPrintDialog(); }
  int PageWidth() const override { return to_.PageWidth(); }
  int PageHeight() const override { return to_.PageHeight(); }
  Canvas& BeginDoc(std::string_view title) override { return to_.BeginDoc(title); }
  void NewPage() override { to_.NewPage(); }
  void EndDoc() override { to_.EndDoc(); }

 private:
  Printer& to_;
};

}  // namespace mz::test
