#include "display/recording_canvas.h"

#include <cstdio>

namespace mz {

namespace {
std::string Hex(Colour c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(c));
  return buf;
}
std::string Num(int v) {
  return std::to_string(v);
}
}  // namespace

void RecordingCanvas::MoveTo(int x, int y) {
  calls.push_back("MoveTo " + Num(x) + " " + Num(y));
}
void RecordingCanvas::LineTo(int x, int y) {
  calls.push_back("LineTo " + Num(x) + " " + Num(y));
}
void RecordingCanvas::Rectangle(int l, int t, int r, int b) {
  calls.push_back("Rectangle " + Num(l) + " " + Num(t) + " " + Num(r) + " " + Num(b));
}
void RecordingCanvas::FillRect(int l, int t, int r, int b) {
  calls.push_back("FillRect " + Num(l) + " " + Num(t) + " " + Num(r) + " " + Num(b));
}
void RecordingCanvas::TextOut(int x, int y, std::string_view text) {
  calls.push_back("TextOut " + Num(x) + " " + Num(y) + " " + std::string(text));
}
void RecordingCanvas::SetPenColour(Colour c) {
  calls.push_back("Pen " + Hex(c));
}
void RecordingCanvas::SetPenStyle(PenStyle s) {
  calls.push_back("PenStyle " + Num(static_cast<int>(s)));
}
void RecordingCanvas::SetPenWidth(int w) {
  calls.push_back("PenWidth " + Num(w));
}
void RecordingCanvas::SetBrushColour(Colour c) {
  brush_ = c;
  calls.push_back("Brush " + Hex(c));
}
void RecordingCanvas::SetBrushStyle(BrushStyle s) {
  calls.push_back("BrushStyle " + Num(static_cast<int>(s)));
}
void RecordingCanvas::SetFontColour(Colour c) {
  calls.push_back("FontColour " + Hex(c));
}
void RecordingCanvas::SetFontStyle(FontStyle s) {
  calls.push_back(std::string("FontStyle ") + (s.Bold ? "B" : "") + (s.Italic ? "I" : "") +
                  (s.Underline ? "U" : ""));
}
void RecordingCanvas::SetFont(std::string_view name, int pointSize) {
  calls.push_back("Font " + std::string(name) + " " + Num(pointSize));
}
void RecordingCanvas::SetFontPixelHeight(int pixels) {
  calls.push_back("FontHeight " + Num(pixels));
}
int RecordingCanvas::TextWidth(std::string_view text) {
  return static_cast<int>(text.size()) * 6;
}
int RecordingCanvas::TextHeight(std::string_view) {
  return 11;
}

}  // namespace mz
