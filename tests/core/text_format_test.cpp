#include "core/text_format.h"

#include <gtest/gtest.h>

#include "core/errors.h"

namespace mz {
namespace {

TEST(RoundEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundEven(2.5), 2);
  EXPECT_EQ(RoundEven(3.5), 4);
  EXPECT_EQ(RoundEven(-2.5), -2);
  EXPECT_EQ(RoundEven(2.4999), 2);
  EXPECT_EQ(RoundEven(100.1F * 1e6), 100'099'998);  // 100.1 as a 32-bit float, in Hz
}

TEST(FormatFixed, RightAlignsWithTwoDecimals) {
  EXPECT_EQ(FormatFixed(1, 8, 2), "    1.00");
  EXPECT_EQ(FormatFixed(0.123, 8, 2), "    0.12");
  EXPECT_EQ(FormatFixed(-12.5, 8, 2), "  -12.50");
  EXPECT_EQ(FormatFixed(123456.789, 8, 2), "123456.79");  // wider than the field: not cut
  EXPECT_EQ(FormatFixed(25, 6, 2), " 25.00");
}

TEST(FormatScientific, IsTwentyThreeCharactersWithFourExponentDigits) {
  EXPECT_EQ(FormatScientific(10), " 1.00000000000000E+0001");
  EXPECT_EQ(FormatScientific(-10), "-1.00000000000000E+0001");
  EXPECT_EQ(FormatScientific(0), " 0.00000000000000E+0000");
  EXPECT_EQ(FormatScientific(0.1F), " 1.00000001490116E-0001");
  EXPECT_EQ(FormatScientific(1.5e-12), " 1.50000000000000E-0012");
  for (double v : {3.0, 0.1, 1e20, -7.25e-3}) EXPECT_EQ(FormatScientific(v).size(), 23u);
}

TEST(FreqText, IsMegahertzWithThreeDecimalsAtLeastFiveWide) {
  EXPECT_EQ(FreqText(100'000'000), "100.000");
  EXPECT_EQ(FreqText(1'000'000'000), "1000.000");
  EXPECT_EQ(FreqText(0), "0.000");
  EXPECT_EQ(FreqText(100'099'998), "100.100");
}

TEST(FormatDuration, PadsEachPartToTwoDigits) {
  EXPECT_EQ(FormatDuration(0), "00:00:00");
  EXPECT_EQ(FormatDuration(465), "00:07:45");
  EXPECT_EQ(FormatDuration(3600 * 125 + 61), "125:01:01");
}

TEST(ParseReal, TakesTheFirstNumberAndIgnoresTheRestOfTheLine) {
  EXPECT_DOUBLE_EQ(ParseReal("    1.00"), 1.0);
  EXPECT_DOUBLE_EQ(ParseReal(" 1.00000000000000E+0001"), 10.0);
  EXPECT_DOUBLE_EQ(ParseReal("-2.5e-3 trailing words"), -0.0025);
  EXPECT_DOUBLE_EQ(ParseReal("42"), 42.0);
  EXPECT_DOUBLE_EQ(ParseReal("\t7.5"), 7.5);
}

TEST(ParseReal, RejectsLinesThatDoNotStartWithANumber) {
  for (const char* bad : {"", "   ", "abc", "Spare3", "nan", "inf", "1.0x", "0x10", "-", "."}) {
    EXPECT_THROW(ParseReal(bad), FileError) << '"' << bad << '"';
  }
}

TEST(ParseInteger, RoundsRealNotationAndChecksTheRange) {
  EXPECT_EQ(ParseInteger("100000000"), 100'000'000);
  EXPECT_EQ(ParseInteger("1.5E8"), 150'000'000);
  EXPECT_EQ(ParseInteger("2.5"), 2);
  EXPECT_EQ(ParseInteger("-2147483648"), -2147483647 - 1);
  EXPECT_THROW(ParseInteger("2147483648"), FileError);
  EXPECT_THROW(ParseInteger("1e30"), FileError);
}

}  // namespace
}  // namespace mz
