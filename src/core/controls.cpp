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

// The slot of a hash. FNV's low bits depend only on the low bits of each
// character ("Edit11" and "Shape7" share them), so the top bits are folded in.
std::size_t Controls::Slot(std::size_t hash) {
  return (hash ^ (hash >> 57)) % kFoundSlots;
}

ControlProps* Controls::Cached(ControlId id) const {
  Found& f = found_[Slot(id.Hash())];
  if (f.control == nullptr || f.hash != id.Hash()) return nullptr;
  const std::string_view name = id.Name();
  if (f.name == name.data() && f.control->first.size() == name.size()) {
    return const_cast<ControlProps*>(&f.control->second);
  }
  if (f.control->first != name) return nullptr;
  f.name = name.data();
  return const_cast<ControlProps*>(&f.control->second);
}

void Controls::Remember(ControlId id,
                        const std::pair<const std::string, ControlProps>& control) const {
  found_[Slot(id.Hash())] = {id.Hash(), id.Name().data(), &control};
}

const ControlProps& Controls::Get(ControlId id) const {
  if (const ControlProps* c = Cached(id)) return *c;
  auto it = controls_.find(id);
  if (it == controls_.end()) return kDefault;
  Remember(id, *it);
  return it->second;
}

ControlProps& Controls::Mutable(ControlId id) {
  if (ControlProps* c = Cached(id)) return *c;
  return FindOrAdd(id);
}

// Off the setters' common path: found in the cache, a control takes no
// registers or stack for the map's insertion.
ControlProps& Controls::FindOrAdd(ControlId id) {
  auto it = controls_.find(id);
  if (it == controls_.end()) it = controls_.emplace(std::string(id.Name()), ControlProps{}).first;
  Remember(id, *it);
  return it->second;
}

bool Controls::Has(ControlId id) const {
  return Cached(id) != nullptr || controls_.find(id) != controls_.end();
}

const std::string& Controls::Text(ControlId id) const {
  return Get(id).Text;
}
Colour Controls::ColourOf(ControlId id) const {
  return Get(id).BrushColour;
}
Colour Controls::FontColour(ControlId id) const {
  return Get(id).FontColour;
}
bool Controls::Visible(ControlId id) const {
  return Get(id).Visible;
}
bool Controls::Enabled(ControlId id) const {
  return Get(id).Enabled;
}
bool Controls::Checked(ControlId id) const {
  return Get(id).Checked;
}
int Controls::ItemIndex(ControlId id) const {
  return Get(id).ItemIndex;
}

const std::string& Controls::Cell(ControlId id, int col, int row) const {
  static const std::string kEmpty;
  const auto& cells = Get(id).Cells;
  auto it = cells.find({col, row});
  return it == cells.end() ? kEmpty : it->second;
}

void Controls::SetText(ControlId id, std::string_view text) {
  auto& c = Mutable(id);
  if (c.Text == text) return;
  c.Text.assign(text);
  if (!listeners_.empty()) Notify(id, Prop::Text, c.Text);
}

void Controls::SetColour(ControlId id, Colour colour) {
  auto& c = Mutable(id);
  if (c.BrushColour == colour) return;
  c.BrushColour = colour;
  if (!listeners_.empty()) Notify(id, Prop::Colour, ColourText(colour));
}

void Controls::SetFontColour(ControlId id, Colour colour) {
  auto& c = Mutable(id);
  if (c.FontColour == colour) return;
  c.FontColour = colour;
  if (!listeners_.empty()) Notify(id, Prop::FontColour, ColourText(colour));
}

void Controls::SetVisible(ControlId id, bool on) {
  auto& c = Mutable(id);
  if (c.Visible == on) return;
  c.Visible = on;
  if (!listeners_.empty()) Notify(id, Prop::Visible, on ? "1" : "0");
}

void Controls::SetEnabled(ControlId id, bool on) {
  auto& c = Mutable(id);
  if (c.Enabled == on) return;
  c.Enabled = on;
  if (!listeners_.empty()) Notify(id, Prop::Enabled, on ? "1" : "0");
}

void Controls::SetChecked(ControlId id, bool on) {
  auto& c = Mutable(id);
  if (c.Checked == on) return;
  c.Checked = on;
  if (!listeners_.empty()) Notify(id, Prop::Checked, on ? "1" : "0");
}

void Controls::SetItemIndex(ControlId id, int index) {
  auto& c = Mutable(id);
  if (c.ItemIndex == index) return;
  c.ItemIndex = index;
  if (!listeners_.empty()) Notify(id, Prop::ItemIndex, std::to_string(index));
}

void Controls::SetCell(ControlId id, int col, int row, std::string_view text) {
  auto& cells = Mutable(id).Cells;
  auto& cell = cells[{col, row}];
  if (cell == text) return;
  cell = std::string(text);
  if (!listeners_.empty())
    Notify(id, Prop::Cell, std::to_string(col) + "," + std::to_string(row) + "=" + cell);
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
void Controls::Notify(ControlId id, Prop p, std::string value) {
  const ControlChange change{std::string(id.Name()), p, std::move(value)};
  // A listener may subscribe or unsubscribe; iterate over a copy.
  auto listeners = listeners_;
  for (auto& [id, l] : listeners) l(change);
}

}  // namespace mz
