#include "core/text_format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

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

// FormatFixed takes a short cut past to_chars where the rounding is certain;
// every text must still be the one to_chars writes: the binary value rounded
// to nearest, an exact half to even, the sign of a negative zero kept.
std::string ToChars(double v, int decimals) {
  char buf[400];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  return std::string(buf, r.ptr);
}

TEST(FormatFixed, WritesWhatToCharsWrites) {
  const double edges[] = {0.125,
                          0.375,
                          2.675,
                          1.005,
                          0.005,
                          -0.001,
                          -0.0,
                          0.0,
                          0.5,
                          1.5,
                          2.5,
                          -2.5,
                          999.995,
                          1e-9,
                          4.35,
                          1e6 + 0.5,
                          1099511627.7755,
                          1e12 + 0.25,
                          123456789.125,
                          1e300,
                          -1e-300,
                          0.045,
                          100.1F,
                          10.0F / 3,
                          std::numeric_limits<double>::infinity(),
                          std::nan("")};
  for (const double v : edges) {
    for (int d = 0; d <= 10; ++d) EXPECT_EQ(FormatFixed(v, 0, d), ToChars(v, d)) << v << " " << d;
  }
  std::mt19937_64 rng(4800);
  std::uniform_real_distribution<double> small(-300.0, 300.0);
  std::uniform_int_distribution<int> cents(-100'000, 100'000);
  std::uniform_int_distribution<int> decimals(0, 9);
  for (int i = 0; i < 200'000; ++i) {
    const int d = decimals(rng);
    // Random reals, and values a whisker off a rounding half in binary.
    const double r = small(rng);
    const double near = cents(rng) / 1000.0 + 0.0005;
    EXPECT_EQ(FormatFixed(r, 0, d), ToChars(r, d)) << r << " " << d;
    EXPECT_EQ(FormatFixed(near, 0, d), ToChars(near, d)) << near << " " << d;
    if (HasFailure()) break;
  }
}

TEST(FormatFixed, BufferFormsWriteWhatTheStringFormsWrite) {
  NumberBuffer buf;
  // The longest text (a double's 309 digits), padding past the buffer's
  // room for it, negative zero, a half left to to_chars, infinity.
  for (const double v : {0.0, -0.0, 1.0, -12.345, 2.675, 1e300, -1e300, 123456789.125,
                         std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                         std::numeric_limits<double>::infinity()}) {
    for (const int width : {0, 1, 6, 8, 40, 60, 120}) {
      for (const int d : {0, 2, 3, 6, 9}) {
        EXPECT_EQ(FormatFixed(v, width, d, buf), FormatFixed(v, width, d))
            << v << " " << width << " " << d;
      }
    }
  }
  for (const std::int64_t hz :
       {0LL, 1LL, 1'500LL, 80'000'000LL, 100'099'998LL, 4'294'967'295LL, -2'500LL}) {
    EXPECT_EQ(FreqText(hz, buf), FreqText(hz)) << hz;
  }
  for (const std::int64_t v :
       {std::int64_t{0}, std::int64_t{7}, std::int64_t{-7}, std::int64_t{255},
        std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()}) {
    EXPECT_EQ(FormatInt(v, buf), FormatInt(v)) << v;
  }
  // A width that even the padding cannot reach is refused, as the text could
  // not be held.
  EXPECT_THROW(FormatFixed(1.0, static_cast<int>(kNumberTextRoom) + 1, 2, buf), ProgramError);
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
