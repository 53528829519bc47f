#pragma once
// The screen as data. Every control the logic touches is known by a ControlId
// of core/control_names.h, which holds its designer name ("Edit8", "Shape11",
// "Button7"); controls of windows other than the main window carry the
// window's name in front ("Diagform.Label8", "Warns.Label1"). Logic writes and
// reads the model; the window layer mirrors it both ways.
#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/colours.h"
#include "core/control_id.h"

namespace mz {

enum class Prop { Text, Colour, FontColour, Visible, Enabled, Checked, ItemIndex, Cell };

struct ControlProps {
  std::string Text;  // caption or text
  mz::Colour BrushColour = kButtonFace;
  mz::Colour FontColour = kBlack;
  bool Visible = true;
  bool Enabled = true;
  bool Checked = false;
  int ItemIndex = -1;
  std::map<std::pair<int, int>, std::string> Cells;  // (column, row) of a grid
};

struct ControlChange {
  std::string Name;
  Prop Property;
  std::string Value;  // the new value as text, for tests to compare
  bool operator==(const ControlChange&) const = default;
};

class Controls {
 public:
  Controls() = default;
  // The look-up cache points into this model's own map.
  Controls(const Controls&) = delete;
  Controls& operator=(const Controls&) = delete;

  using Listener = std::function<void(const ControlChange&)>;

  const std::string& Text(ControlId id) const;
  Colour ColourOf(ControlId id) const;
  Colour FontColour(ControlId id) const;
  bool Visible(ControlId id) const;
  bool Enabled(ControlId id) const;
  bool Checked(ControlId id) const;
  int ItemIndex(ControlId id) const;
  const std::string& Cell(ControlId id, int col, int row) const;

  // Setters tell the listeners only when the value changes.
  void SetText(ControlId id, std::string_view text);
  void SetColour(ControlId id, Colour c);
  void SetFontColour(ControlId id, Colour c);
  void SetVisible(ControlId id, bool on);
  void SetEnabled(ControlId id, bool on);
  void SetChecked(ControlId id, bool on);
  void SetItemIndex(ControlId id, int index);
  void SetCell(ControlId id, int col, int row, std::string_view text);

  // Returns an id for Unsubscribe.
  int Subscribe(Listener listener);
  void Unsubscribe(int id);

  bool Has(ControlId id) const;

 private:
  const ControlProps& Get(ControlId id) const;
  ControlProps& Mutable(ControlId id);
  [[gnu::noinline]] ControlProps& FindOrAdd(ControlId id);
  void Notify(ControlId id, Prop p, std::string value);

  // Looked up on every change the logic makes (the reply decoder sets several
  // fields per frame), so hashed, and found from a ControlId with the hash it
  // carries, without hashing or building a string.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return ControlId::HashOf(s); }
    std::size_t operator()(const ControlId& id) const { return id.Hash(); }
  };
  struct NameEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return a == b; }
    bool operator()(std::string_view a, const ControlId& b) const { return a == b.Name(); }
    bool operator()(const ControlId& a, std::string_view b) const { return a.Name() == b; }
  };
  std::unordered_map<std::string, ControlProps, NameHash, NameEqual> controls_;
  // The controls found last, by their hash: a repeated look-up compares a
  // hash and a name instead of dividing by the bucket count and walking a
  // bucket. The map's nodes never move, and controls are never removed.
  // The ids are the constants of control_names.h, so the same control comes
  // back with the very same name text: the text's address stands in for
  // comparing the names (with the hash and length matching too); an id with
  // its name elsewhere is compared by its name.
  struct Found {
    std::size_t hash = 0;
    const char* name = nullptr;  // where the id last found here keeps its name
    const std::pair<const std::string, ControlProps>* control = nullptr;
  };
  static constexpr std::size_t kFoundSlots = 128;
  static std::size_t Slot(std::size_t hash);
  mutable std::array<Found, kFoundSlots> found_{};
  ControlProps* Cached(ControlId id) const;
  void Remember(ControlId id, const std::pair<const std::string, ControlProps>& control) const;
  std::vector<std::pair<int, Listener>> listeners_;
  int nextId_ = 1;
};

}  // namespace mz
