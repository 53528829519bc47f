// The screen model: values by designer name, and the changes its listeners
// are told of (only real changes, with the value as text).
#include "core/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/control_names.h"

namespace mz {
namespace {

TEST(Controls, KeepsEveryControlApartByItsWholeName) {
  Controls c;
  // Names that share prefixes, and many of them, as the windows have.
  std::vector<std::string> names;
  for (int i = 0; i < 500; ++i) names.push_back("Edit" + std::to_string(i));
  for (int i = 0; i < 500; ++i) c.SetText(ControlId{names[i]}, "text " + std::to_string(i));
  c.SetText(diag::TxString, "RX");
  c.SetColour(ctl::LampReady, kRed);
  for (int i = 0; i < 500; ++i) {
    ASSERT_EQ(c.Text(ControlId{names[i]}), "text " + std::to_string(i)) << i;
  }
  EXPECT_EQ(c.Text(diag::TxString), "RX");
  EXPECT_EQ(c.Text(ControlId{"Label8"}), "");  // another window's control is another control
  EXPECT_FALSE(c.Has(ControlId{"Label8"}));
  EXPECT_EQ(c.ColourOf(ctl::LampReady), kRed);
  EXPECT_EQ(c.ColourOf(ctl::LampSynth), kButtonFace);
  EXPECT_EQ(c.Text(ctl::FreqIncrement), "text 1");
  EXPECT_FALSE(c.Has(ControlId{"Edit500"}));
}

TEST(Controls, ListenersHearOnlyRealChangesMadeWhileTheyListen) {
  Controls c;
  c.SetText(ctl::Current, "100.000");  // before anyone listens: kept, told to nobody
  c.SetColour(ctl::LampEutOk, kGreen);

  std::vector<ControlChange> heard;
  const int id = c.Subscribe([&](const ControlChange& ch) { heard.push_back(ch); });
  c.SetText(ctl::Current, "100.000");   // unchanged
  c.SetColour(ctl::LampEutOk, kGreen);  // unchanged
  c.SetText(ctl::Current, "120.000");
  c.SetColour(ctl::LampEutOk, kRed);
  c.SetVisible(ctl::ResetComms, false);
  c.SetItemIndex(ctl::ModulationCombo, 3);
  c.SetText(ControlId{"Diagform.Edit1"}, std::string(200, 'A'));  // a long text
  EXPECT_EQ(heard, (std::vector<ControlChange>{
                       {"Edit8", Prop::Text, "120.000"},
                       {"Shape6", Prop::Colour, "000000FF"},
                       {"Button7", Prop::Visible, "0"},
                       {"ComboBox1", Prop::ItemIndex, "3"},
                       {"Diagform.Edit1", Prop::Text, std::string(200, 'A')},
                   }));

  c.Unsubscribe(id);
  c.SetText(ctl::Current, "144.000");
  EXPECT_EQ(heard.size(), 5u);
  EXPECT_EQ(c.Text(ctl::Current), "144.000");
  EXPECT_EQ(c.ColourOf(ctl::LampEutOk), kRed);
  EXPECT_FALSE(c.Visible(ctl::ResetComms));
}

}  // namespace
}  // namespace mz
