// The screen model: values by designer name, and the changes its listeners
// are told of (only real changes, with the value as text).
#include "core/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
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

TEST(Controls, FindsAControlByItsNameWhereverTheIdKeepsIt) {
  Controls c;
  // The same name in another place than the constant's, and a name rewritten
  // in place between two ids: each id finds the control of the name it holds.
  const std::string copy(ctl::Actual.Name());
  c.SetText(ctl::Actual, "1.00");
  EXPECT_EQ(c.Text(ControlId{copy}), "1.00");
  c.SetText(ControlId{copy}, "2.00");
  EXPECT_EQ(c.Text(ctl::Actual), "2.00");

  std::string name = "Edit11";  // as long as "Edit12", in the same place
  c.SetText(ControlId{name}, "3.00");
  name.back() = '2';
  c.SetText(ControlId{name}, "4.00");
  EXPECT_EQ(c.Text(ControlId{"Edit11"}), "3.00");
  EXPECT_EQ(c.Text(ControlId{"Edit12"}), "4.00");
  EXPECT_EQ(c.Text(ControlId{name}), "4.00");
  // Names whose hashes share their low bits keep apart, and both stay found.
  c.SetColour(ctl::LampEutFault, kRed);
  c.SetText(ctl::Actual, "5.00");
  EXPECT_EQ(c.ColourOf(ctl::LampEutFault), kRed);
  EXPECT_EQ(c.Text(ctl::Actual), "5.00");
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

// Every setter against the value the control holds: a fresh control holds the
// defaults, so writing a default tells nobody; each property is compared on
// its own, so one property's value never hides a change of another.
struct Setter {
  const char* what;
  void (*set)(Controls&, ControlId, int);  // writes value number 0 or 1
  Prop property;
  const char* text[2];  // the values as the listeners hear them
};
const Setter kSetters[] = {
    {"text",
     [](Controls& c, ControlId n, int v) { c.SetText(n, v ? "on" : ""); },
     Prop::Text,
     {"", "on"}},
    {"colour",
     [](Controls& c, ControlId n, int v) { c.SetColour(n, v ? kRed : kButtonFace); },
     Prop::Colour,
     {"8000000F", "000000FF"}},
    {"font colour",
     [](Controls& c, ControlId n, int v) { c.SetFontColour(n, v ? kRed : kBlack); },
     Prop::FontColour,
     {"00000000", "000000FF"}},
    {"visible",
     [](Controls& c, ControlId n, int v) { c.SetVisible(n, v == 0); },
     Prop::Visible,
     {"1", "0"}},
    {"enabled",
     [](Controls& c, ControlId n, int v) { c.SetEnabled(n, v == 0); },
     Prop::Enabled,
     {"1", "0"}},
    {"checked",
     [](Controls& c, ControlId n, int v) { c.SetChecked(n, v == 1); },
     Prop::Checked,
     {"0", "1"}},
    {"item index",
     [](Controls& c, ControlId n, int v) { c.SetItemIndex(n, v ? 0 : -1); },
     Prop::ItemIndex,
     {"-1", "0"}},
    {"cell",
     [](Controls& c, ControlId n, int v) { c.SetCell(n, 2, 7, v ? "1.5" : ""); },
     Prop::Cell,
     {"2,7=", "2,7=1.5"}},
};

// Names of the tests' own, as the windows' designer names look.
constexpr ControlId kGrid1{"Grid1"}, kGrid2{"Grid2"}, kStringGrid1{"StringGrid1"}, kEdit8{"Edit8"},
    kRadioGroup1{"RadioGroup1"}, kLabel1{"Label1"};

struct Recorder {
  explicit Recorder(Controls& c) {
    c.Subscribe([this](const ControlChange& ch) { heard.push_back(ch); });
  }
  std::vector<ControlChange> Take() { return std::exchange(heard, {}); }
  std::vector<ControlChange> heard;
};

TEST(Controls, EverySetterTellsOnlyARealChangeOnceWithItsValue) {
  Controls c;
  Recorder r(c);
  for (const Setter& s : kSetters) {
    SCOPED_TRACE(s.what);
    s.set(c, kGrid1, 0);  // the default of a fresh control
    EXPECT_EQ(r.Take(), std::vector<ControlChange>{});
    s.set(c, kGrid1, 1);
    EXPECT_EQ(r.Take(), (std::vector<ControlChange>{{"Grid1", s.property, s.text[1]}}));
    s.set(c, kGrid1, 1);
    EXPECT_EQ(r.Take(), std::vector<ControlChange>{});
    s.set(c, kGrid2, 1);  // the same value on another control is a change there
    EXPECT_EQ(r.Take(), (std::vector<ControlChange>{{"Grid2", s.property, s.text[1]}}));
    s.set(c, kGrid1, 0);
    EXPECT_EQ(r.Take(), (std::vector<ControlChange>{{"Grid1", s.property, s.text[0]}}));
  }
  // Every property of Grid2 was changed once in the loop: each kept its own value.
  EXPECT_EQ(c.Text(kGrid2), "on");
  EXPECT_EQ(c.ColourOf(kGrid2), kRed);
  EXPECT_EQ(c.FontColour(kGrid2), kRed);
  EXPECT_FALSE(c.Visible(kGrid2));
  EXPECT_FALSE(c.Enabled(kGrid2));
  EXPECT_TRUE(c.Checked(kGrid2));
  EXPECT_EQ(c.ItemIndex(kGrid2), 0);
  EXPECT_EQ(c.Cell(kGrid2, 2, 7), "1.5");
}

TEST(Controls, GridCellsAreComparedCellByCell) {
  Controls c;
  c.SetCell(kStringGrid1, 0, 1, "30");
  Recorder r(c);
  c.SetCell(kStringGrid1, 0, 1, "30");
  c.SetCell(kStringGrid1, 5, 9, "");  // a cell never written reads empty
  EXPECT_EQ(r.Take(), std::vector<ControlChange>{});
  c.SetCell(kStringGrid1, 1, 0, "30");  // the same text in the mirrored cell
  c.SetCell(kStringGrid1, 0, 2, "30");
  c.SetCell(kStringGrid1, 0, 1, "");
  EXPECT_EQ(r.Take(), (std::vector<ControlChange>{{"StringGrid1", Prop::Cell, "1,0=30"},
                                                  {"StringGrid1", Prop::Cell, "0,2=30"},
                                                  {"StringGrid1", Prop::Cell, "0,1="}}));
  EXPECT_EQ(c.Cell(kStringGrid1, 1, 0), "30");
  EXPECT_EQ(c.Cell(kStringGrid1, 0, 1), "");
}

// What the window's binder depends on: it hears the value already stored,
// and writing it back from the notification is no change, so nothing loops.
TEST(Controls, AListenerWritingTheValueBackHearsItOnce) {
  Controls c;
  std::vector<ControlChange> heard;
  c.Subscribe([&](const ControlChange& ch) {
    heard.push_back(ch);
    if (heard.size() > 3) return;  // it loops: stop it here to report it
    switch (ch.Property) {
      case Prop::Text:
        EXPECT_EQ(c.Text(ControlId(std::string_view(ch.Name))), ch.Value);
        c.SetText(ControlId(std::string_view(ch.Name)), ch.Value);
        break;
      case Prop::Enabled:
        EXPECT_EQ(c.Enabled(ControlId(std::string_view(ch.Name))), ch.Value == "1");
        c.SetEnabled(ControlId(std::string_view(ch.Name)), ch.Value == "1");
        break;
      case Prop::ItemIndex:
        EXPECT_EQ(c.ItemIndex(ControlId(std::string_view(ch.Name))), std::stoi(ch.Value));
        c.SetItemIndex(ControlId(std::string_view(ch.Name)), std::stoi(ch.Value));
        break;
      default:
        ADD_FAILURE() << "no such change was made";
    }
  });
  c.SetText(kEdit8, "100.000");
  c.SetEnabled(kEdit8, false);
  c.SetItemIndex(kRadioGroup1, 2);
  EXPECT_EQ(heard, (std::vector<ControlChange>{{"Edit8", Prop::Text, "100.000"},
                                               {"Edit8", Prop::Enabled, "0"},
                                               {"RadioGroup1", Prop::ItemIndex, "2"}}));
}

TEST(Controls, ListenersHearEachChangeInSubscriptionOrderUntilTheyLeave) {
  Controls c;
  std::vector<std::string> calls;
  int selfLeaving = 0;
  selfLeaving = c.Subscribe([&](const ControlChange& ch) {
    calls.push_back("1:" + ch.Value);
    c.Unsubscribe(selfLeaving);  // hears this change, none after it; the others still do
  });
  const int second =
      c.Subscribe([&](const ControlChange& ch) { calls.push_back("2:" + ch.Value); });
  c.Subscribe([&](const ControlChange& ch) { calls.push_back("3:" + ch.Value); });
  c.SetText(kLabel1, "a");
  c.SetText(kLabel1, "b");
  c.Unsubscribe(second);
  c.Unsubscribe(99);  // an id nobody holds: nothing happens
  c.SetText(kLabel1, "c");
  c.SetText(kLabel1, "c");
  EXPECT_EQ(calls, (std::vector<std::string>{"1:a", "2:a", "3:a", "2:b", "3:b", "3:c"}));
}

}  // namespace
}  // namespace mz
