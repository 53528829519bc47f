#include "core/controls.h"

#include <algorithm>
#include <cstdio>

namespace mz {

namespace {
const ControlProps kDefault{};
std::string ColourText(Colour c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(c));
  return buf;
}
}  // namespace

const ControlProps& Controls::Get(std::string_view name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? kDefault : it->second;
}

ControlProps& Controls::Mutable(std::string_view name) {
  auto it = controls_.find(name);
  if (it == controls_.end()) it = controls_.emplace(std::string(name), ControlProps{}).first;
  return it->second;
}

bool Controls::Has(std::string_view name) const {
  return controls_.find(name) != controls_.end();
}

const std::string& Controls::Text(std::string_view name) const {
  return Get(name).Text;
}
Colour Controls::ColourOf(std::string_view name) const {
  return Get(name).BrushColour;
}
Colour Controls::FontColour(std::string_view name) const {
  return Get(name).FontColour;
}
bool Controls::Visible(std::string_view name) const {
  return Get(name).Visible;
}
bool Controls::Enabled(std::string_view name) const {
  return Get(name).Enabled;
}
bool Controls::Checked(std::string_view name) const {
  return Get(name).Checked;
}
int Controls::ItemIndex(std::string_view name) const {
  return Get(name).ItemIndex;
}

const std::string& Controls::Cell(std::string_view name, int col, int row) const {
  static const std::string kEmpty;
  const auto& cells = Get(name).Cells;
  auto it = cells.find({col, row});
  return it == cells.end() ? kEmpty : it->second;
}

void Controls::SetText(std::string_view name, std::string_view text) {
  auto& c = Mutable(name);
  if (c.Text == text) return;
  c.Text.assign(text);
  if (!listeners_.empty()) Notify(name, Prop::Text, c.Text);
}

void Controls::SetColour(std::string_view name, Colour colour) {
  auto& c = Mutable(name);
  if (c.BrushColour == colour) return;
  c.BrushColour = colour;
  if (!listeners_.empty()) Notify(name, Prop::Colour, ColourText(colour));
}

void Controls::SetFontColour(std::string_view name, Colour colour) {
  auto& c = Mutable(name);
  if (c.FontColour == colour) return;
  c.FontColour = colour;
  if (!listeners_.empty()) Notify(name, Prop::FontColour, ColourText(colour));
}

void Controls::SetVisible(std::string_view name, bool on) {
  auto& c = Mutable(name);
  if (c.Visible == on) return;
  c.Visible = on;
  if (!listeners_.empty()) Notify(name, Prop::Visible, on ? "1" : "0");
}

void Controls::SetEnabled(std::string_view name, bool on) {
  auto& c = Mutable(name);
  if (c.Enabled == on) return;
  c.Enabled = on;
  if (!listeners_.empty()) Notify(name, Prop::Enabled, on ? "1" : "0");
}

void Controls::SetChecked(std::string_view name, bool on) {
  auto& c = Mutable(name);
  if (c.Checked == on) return;
  c.Checked = on;
  if (!listeners_.empty()) Notify(name, Prop::Checked, on ? "1" : "0");
}

void Controls::SetItemIndex(std::string_view name, int index) {
  auto& c = Mutable(name);
  if (c.ItemIndex == index) return;
  c.ItemIndex = index;
  if (!listeners_.empty()) Notify(name, Prop::ItemIndex, std::to_string(index));
}

void Controls::SetCell(std::string_view name, int col, int row, std::string_view text) {
  auto& cells = Mutable(name).Cells;
  auto& cell = cells[{col, row}];
  if (cell == text) return;
  cell = std::string(text);
  if (!listeners_.empty())
    Notify(name, Prop::Cell, std::to_string(col) + "," + std::to_string(row) + "=" + cell);
}

int Controls::Subscribe(Listener listener) {
  listeners_.emplace_back(nextId_, std::move(listener));
  return nextId_++;
}

void Controls::Unsubscribe(int id) {
  std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

// The setters build the value's text only when someone listens: the logic
// sets many fields per reply, mostly with nobody but the window watching.
void Controls::Notify(std::string_view name, Prop p, std::string value) {
  const ControlChange change{std::string(name), p, std::move(value)};
  // A listener may subscribe or unsubscribe; iterate over a copy.
  auto listeners = listeners_;
  for (auto& [id, l] : listeners) l(change);
}

}  // namespace mz
