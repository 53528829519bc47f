#include <string>
#include <vector>

#include "core/aux_dialogs.h"
#include "core/control_names.h"

namespace mz {

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '\r' || ch == '\n') {
      lines.push_back(line);
      line.clear();
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += ch;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

void EditTitle(Context& ctx) {
  auto& s = ctx.state;
  const std::string answer =
      ctx.op.Input("MZ4800 Test Title", "Enter display title : ", s.TestTitle);
  ctx.controls.SetText(ctl::TitleLabel, answer);
  s.TestTitle = ctx.controls.Text(ctl::TitleLabel).substr(0, 128);
  ctx.display.Repaint();
}

void EditNotes(Context& ctx) {
  // The field is filled once per showing, so that typed text survives a
  // message box that takes the focus from the dialog for a moment.
  std::string text;
  for (std::size_t i = 0; i < kNoteLines; ++i) {
    if (i > 0) text += '\n';
    text += ctx.state.Notes[i];
  }
  ctx.controls.SetText(ctl::NotesMemo, text);
  ctx.op.ShowModal(ctl::NotesForm);
  ctx.display.Repaint();
}

void NbookClearClick(Context& ctx) {
  ctx.controls.SetText(ctl::NotesMemo, "");
}

void NbookExitClick(Context& ctx) {
  const auto lines = SplitLines(ctx.controls.Text(ctl::NotesMemo));
  for (std::size_t i = 0; i < kNoteLines; ++i) {
    ctx.state.Notes[i] = i < lines.size() ? lines[i].substr(0, kNoteLineLength) : std::string();
  }
}

void ShowAbout(Context& ctx) {
  ctx.controls.SetText(ctl::AboutVersion, kSoftwareVersion);
  ctx.op.ShowModal(ctl::AboutForm);
}

}  // namespace mz
