#pragma once
// The screen as data. Every control the logic touches is known by its designer
// name ("Edit8", "Shape11", "Button7"); controls of windows other than the main
// window carry the window's name in front ("Diagform.Label8", "Warns.Label1").
// Logic writes and reads the model; the window layer mirrors it both ways.
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/colours.h"

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
  using Listener = std::function<void(const ControlChange&)>;

  const std::string& Text(std::string_view name) const;
  Colour ColourOf(std::string_view name) const;
  Colour FontColour(std::string_view name) const;
  bool Visible(std::string_view name) const;
  bool Enabled(std::string_view name) const;
  bool Checked(std::string_view name) const;
  int ItemIndex(std::string_view name) const;
  const std::string& Cell(std::string_view name, int col, int row) const;

  // Setters tell the listeners only when the value changes.
  void SetText(std::string_view name, std::string_view text);
  void SetColour(std::string_view name, Colour c);
  void SetFontColour(std::string_view name, Colour c);
  void SetVisible(std::string_view name, bool on);
  void SetEnabled(std::string_view name, bool on);
  void SetChecked(std::string_view name, bool on);
  void SetItemIndex(std::string_view name, int index);
  void SetCell(std::string_view name, int col, int row, std::string_view text);

  // Returns an id for Unsubscribe.
  int Subscribe(Listener listener);
  void Unsubscribe(int id);

  bool Has(std::string_view name) const;

 private:
  const ControlProps& Get(std::string_view name) const;
  ControlProps& Mutable(std::string_view name);
  void Notify(std::string_view name, Prop p, std::string value);

  // Looked up by name on every change the logic makes (the reply decoder sets
  // several fields per frame), so hashed, and found from a string_view
  // without building a string.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, ControlProps, NameHash, std::equal_to<>> controls_;
  std::vector<std::pair<int, Listener>> listeners_;
  int nextId_ = 1;
};

}  // namespace mz
