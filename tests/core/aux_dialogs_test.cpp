// The title prompt, the notes, the instrument details and the about box.
#include "core/aux_dialogs.h"

#include <gtest/gtest.h>

#include "core/control_names.h"
#include "program/instrument_details.h"
#include "support/test_program.h"

namespace mz {
namespace {

class AuxDialogsTest : public ::testing::Test {
 protected:
  test::TestProgram p;
};

TEST_F(AuxDialogsTest, TitleTakesTheAnswerAndCancelKeepsIt) {
  p.state.TestTitle = "Radiated immunity";
  p.op.inputs = {std::string(140, 'T')};
  EditTitle(p.ctx);
  EXPECT_EQ(p.op.inputPrompts,
            std::vector<std::string>{"MZ4800 Test Title|Enter display title : |Radiated immunity"});
  EXPECT_EQ(p.controls.Text(ctl::TitleLabel), std::string(140, 'T'));
  EXPECT_EQ(p.state.TestTitle, std::string(128, 'T'));
  EXPECT_EQ(p.display.repaints, 1);

  p.state.TestTitle = "Kept";
  EditTitle(p.ctx);  // cancelled: the input box gives back its default
  EXPECT_EQ(p.state.TestTitle, "Kept");
  EXPECT_EQ(p.controls.Text(ctl::TitleLabel), "Kept");
}

TEST_F(AuxDialogsTest, NotesShowTheEightLinesAndExitKeepsTheFirstEight) {
  p.state.Notes = {"one", "", "three", "", "", "", "", "eight"};
  std::string shown;
  p.op.onModal["Nbook"] = [&] {
    shown = p.controls.Text(ctl::NotesMemo);
    p.controls.SetText(ctl::NotesMemo,
                       "a\nb\r\nc\nd\ne\nf\ng\n" + std::string(300, 'h') + "\ni\nj");
    NbookExitClick(p.ctx);
    return Answer::Ok;
  };
  EditNotes(p.ctx);
  EXPECT_EQ(shown, "one\n\nthree\n\n\n\n\neight");
  EXPECT_EQ(p.state.Notes,
            (std::array<std::string, 8>{"a", "b", "c", "d", "e", "f", "g", std::string(255, 'h')}));
  EXPECT_EQ(p.display.repaints, 1);
}

TEST_F(AuxDialogsTest, FewerLinesEmptyTheRestAndClosingOtherwiseKeepsTheNotes) {
  p.state.Notes = {"1", "2", "3", "4", "5", "6", "7", "8"};
  p.op.onModal["Nbook"] = [&] {
    NbookClearClick(p.ctx);
    EXPECT_EQ(p.controls.Text(ctl::NotesMemo), "");
    return Answer::Cancel;  // the close box, not Exit
  };
  EditNotes(p.ctx);
  EXPECT_EQ(p.state.Notes[7], "8");

  p.op.onModal["Nbook"] = [&] {
    p.controls.SetText(ctl::NotesMemo, "only\nthree\nlines\n");
    NbookExitClick(p.ctx);
    return Answer::Ok;
  };
  EditNotes(p.ctx);
  EXPECT_EQ(p.state.Notes,
            (std::array<std::string, 8>{"only", "three", "lines", "", "", "", "", ""}));
}

TEST_F(AuxDialogsTest, DetailsShowTheDelimiterAndCell) {
  p.state.CellNumber = "10";
  p.state.FileDelimiter = ' ';
  ShowInstrumentDetails(p.ctx);
  EXPECT_EQ(p.op.modalForms, std::vector<std::string>{"Hkeep"});
  EXPECT_EQ(p.controls.Text(ctl::DetailsDelimiter), ";");
  EXPECT_EQ(p.controls.Text(ctl::DetailsCellNumber), "10");
  p.state.FileDelimiter = '\t';
  ShowInstrumentDetails(p.ctx);
  EXPECT_EQ(p.controls.Text(ctl::DetailsDelimiter), "\t");
}

TEST_F(AuxDialogsTest, AcceptTakesDelimiterAndCellAndReloadsTheCell) {
  p.state.FileDelimiter = ';';
  p.state.CellNumber = "10";
  p.op.onModal["Hkeep"] = [&] {
    p.controls.SetText(ctl::DetailsDelimiter, ",");
    p.controls.SetText(ctl::DetailsCellNumber, "3");
    HkeepAcceptClick(p.ctx);
    return Answer::Ok;
  };
  ShowInstrumentDetails(p.ctx);
  EXPECT_EQ(p.state.FileDelimiter, ',');
  EXPECT_EQ(p.state.CellNumber, "3");
  // No cell 3 in the folder: the reload says so, naming the cell's file.
  ASSERT_EQ(p.op.messages.size(), 1u);
  EXPECT_NE(p.op.messages[0].Text.find("0003"), std::string::npos) << p.op.messages[0].Text;
}

TEST_F(AuxDialogsTest, ABlankDelimiterIsRefusedAndAnEmptyOneKept) {
  p.state.FileDelimiter = ';';
  p.controls.SetText(ctl::DetailsDelimiter, " ");
  p.controls.SetText(ctl::DetailsCellNumber, std::string(130, '7'));
  HkeepAcceptClick(p.ctx);
  ASSERT_FALSE(p.op.messages.empty());
  EXPECT_EQ(p.op.messages[0].Text, "Invalid delimitor");
  EXPECT_EQ(p.op.messages[0].Kind, MessageKind::Plain);
  EXPECT_EQ(p.state.FileDelimiter, ';');
  EXPECT_EQ(p.state.CellNumber, std::string(128, '7'));  // still accepted

  p.op.messages.clear();
  p.controls.SetText(ctl::DetailsDelimiter, "");
  HkeepAcceptClick(p.ctx);
  EXPECT_EQ(p.state.FileDelimiter, ';');
  for (const auto& m : p.op.messages) EXPECT_NE(m.Text, "Invalid delimitor");

  // Nor is any character that can be part of a number (saved rows would
  // read back as other numbers), nor a text that starts with a blank.
  for (const char* d : {".", "0", "7", "-", "+", "E", "e", " ,", "\r", "\n"}) {
    p.op.messages.clear();
    p.controls.SetText(ctl::DetailsDelimiter, d);
    HkeepAcceptClick(p.ctx);
    ASSERT_FALSE(p.op.messages.empty()) << d;
    EXPECT_EQ(p.op.messages[0].Text, "Invalid delimitor") << d;
    EXPECT_EQ(p.state.FileDelimiter, ';') << d;
  }
  p.controls.SetText(ctl::DetailsDelimiter, "|");
  HkeepAcceptClick(p.ctx);
  EXPECT_EQ(p.state.FileDelimiter, '|');
}

TEST_F(AuxDialogsTest, AboutShowsTheVersion) {
  ShowAbout(p.ctx);
  EXPECT_EQ(p.controls.Text(ctl::AboutVersion), "Software Version 1.28 26th February 2001");
  EXPECT_EQ(p.op.modalForms, std::vector<std::string>{"About"});
}

}  // namespace
}  // namespace mz
