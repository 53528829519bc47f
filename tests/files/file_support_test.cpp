// Delimited rows as the results and pre-scan readers split them.
#include "files/file_support.h"

#include <gtest/gtest.h>

#include <string>

namespace mz {
namespace {

using Fields = std::vector<std::optional<double>>;
constexpr std::nullopt_t none = std::nullopt;

TEST(SplitRow, SplitsAtEveryDelimiterWithOneFieldAfterTheLast) {
  EXPECT_EQ(SplitRow("   100000000;  3.05;     1", ';'), (Fields{1e8, 3.05, 1}));
  EXPECT_EQ(SplitRow("1;;2;", ';'), (Fields{1, none, 2, none}));
  EXPECT_EQ(SplitRow("", ';'), (Fields{none}));
  EXPECT_EQ(SplitRow("80000000;high;1", ';'), (Fields{8e7, none, 1}));
  // Blanks as the delimiter: every blank ends a field.
  EXPECT_EQ(SplitRow("7 8  9", ' '), (Fields{7, 8, none, 9}));
}

TEST(SplitRow, LeadingBlanksGoOnlyFromRowsOfFiveCharactersOrMore) {
  // Four characters: the blanks stay, and are fields of their own.
  EXPECT_EQ(SplitRow("  12", ' '), (Fields{none, none, 12}));
  EXPECT_EQ(SplitRow("   12", ' '), (Fields{12}));
  // A row of blanks alone: one empty field, or nothing with blanks as delimiter.
  EXPECT_EQ(SplitRow("     ", ';'), (Fields{none}));
  EXPECT_EQ(SplitRow("     ", ' '), Fields{});
  EXPECT_EQ(SplitRow("    ", ' '), (Fields{none, none, none, none, none}));
}

TEST(SplitRow, ReadsOnlyTheFirst128Characters) {
  std::string row;
  for (int i = 0; i < 70; ++i) row += "1;";  // 140 characters
  const Fields fields = SplitRow(row, ';');
  ASSERT_EQ(fields.size(), 65u);  // 64 whole fields, then the cut
  EXPECT_EQ(fields[63], 1.0);
  EXPECT_EQ(fields[64], none);
  // A number cut in two by the limit reads as its first part.
  const std::string longRow = std::string(120, ' ') + "1;123456789";
  EXPECT_EQ(SplitRow(longRow, ';'), (Fields{1, 123456}));
}

}  // namespace
}  // namespace mz
