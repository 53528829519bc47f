// The screen model: values by designer name, and the changes its listeners
// are told of (only real changes, with the value as text).
#include "core/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mz {
namespace {

TEST(Controls, KeepsEveryControlApartByItsWholeName) {
  Controls c;
  // Names that share prefixes, and many of them, as the windows have.
  for (int i = 0; i < 500; ++i) c.SetText("Edit" + std::to_string(i), "text " + std::to_string(i));
  c.SetText("Diagform.Label8", "RX");
  c.SetColour("Shape1", kRed);
  for (int i = 0; i < 500; ++i) {
    ASSERT_EQ(c.Text("Edit" + std::to_string(i)), "text " + std::to_string(i)) << i;
  }
  EXPECT_EQ(c.Text("Diagform.Label8"), "RX");
  EXPECT_EQ(c.Text("Label8"), "");  // another window's control is another control
  EXPECT_FALSE(c.Has("Label8"));
  EXPECT_EQ(c.ColourOf("Shape1"), kRed);
  EXPECT_EQ(c.ColourOf("Shape10"), kButtonFace);
  EXPECT_EQ(c.Text("Edit1"), "text 1");
  EXPECT_FALSE(c.Has("Edit500"));
}

TEST(Controls, ListenersHearOnlyRealChangesMadeWhileTheyListen) {
  Controls c;
  c.SetText("Edit8", "100.000");  // before anyone listens: kept, told to nobody
  c.SetColour("Shape6", kGreen);

  std::vector<ControlChange> heard;
  const int id = c.Subscribe([&](const ControlChange& ch) { heard.push_back(ch); });
  c.SetText("Edit8", "100.000");  // unchanged
  c.SetColour("Shape6", kGreen);  // unchanged
  c.SetText("Edit8", "120.000");
  c.SetColour("Shape6", kRed);
  c.SetVisible("Button7", false);
  c.SetItemIndex("ComboBox1", 3);
  c.SetText("Diagform.Edit1", std::string(200, 'A'));  // a long text
  EXPECT_EQ(heard, (std::vector<ControlChange>{
                       {"Edit8", Prop::Text, "120.000"},
                       {"Shape6", Prop::Colour, "000000FF"},
                       {"Button7", Prop::Visible, "0"},
                       {"ComboBox1", Prop::ItemIndex, "3"},
                       {"Diagform.Edit1", Prop::Text, std::string(200, 'A')},
                   }));

  c.Unsubscribe(id);
  c.SetText("Edit8", "144.000");
  EXPECT_EQ(heard.size(), 5u);
  EXPECT_EQ(c.Text("Edit8"), "144.000");
  EXPECT_EQ(c.ColourOf("Shape6"), kRed);
  EXPECT_FALSE(c.Visible("Button7"));
}

}  // namespace
}  // namespace mz
