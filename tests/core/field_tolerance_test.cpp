// The verdict on a recorded step's field against its target at the edges of
// the tolerance, and the texts the journal and the report give it.
#include "core/field_tolerance.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mz::test {
namespace {

// The field that lies `db` from `target`.
double FieldAt(double target, double db) {
  return target * std::pow(10.0, db / 20);
}

TEST(FieldTolerance, VerdictAtTheLimitsWithOnlyARoundingAllowance) {
  const FieldTolerance standard{};  // 0 dB to +6 dB
  EXPECT_EQ(CheckField(3.0, 3.0, standard).Verdict, FieldVerdict::InTolerance);
  EXPECT_EQ(CheckField(FieldAt(3, -1e-7), 3, standard).Verdict, FieldVerdict::InTolerance);
  EXPECT_EQ(CheckField(FieldAt(3, -0.01), 3, standard).Verdict, FieldVerdict::Below);
  const FieldCheck half = CheckField(1.5, 3.0, standard);
  EXPECT_EQ(half.Verdict, FieldVerdict::Below);
  EXPECT_NEAR(half.Db, -6.0206, 1e-4);
  // +6 dB is 1.995 times the target; twice it (+6.02 dB) is above.
  EXPECT_EQ(CheckField(FieldAt(3, 6.0 + 1e-7), 3, standard).Verdict, FieldVerdict::InTolerance);
  EXPECT_EQ(CheckField(6.0, 3.0, standard).Verdict, FieldVerdict::Above);
  EXPECT_EQ(CheckField(FieldAt(10, -3.1), 10, {-3, 1}).Verdict, FieldVerdict::Below);
  EXPECT_EQ(CheckField(FieldAt(10, -2.9), 10, {-3, 1}).Verdict, FieldVerdict::InTolerance);

  // No field asked is not checked; no field read is below any tolerance.
  EXPECT_EQ(CheckField(2.5, 0.0, standard).Verdict, FieldVerdict::NotChecked);
  EXPECT_EQ(CheckField(2.5, std::nan(""), standard).Verdict, FieldVerdict::NotChecked);
  EXPECT_EQ(CheckField(0.0, 3.0, {-20, 20}).Verdict, FieldVerdict::Below);
  EXPECT_EQ(DbText(CheckField(0.0, 3.0, standard).Db), "no field");
}

// A reading of the drive code itself comes back as drive x (target / drive):
// in floating point that is not always the target, and must still count as it.
TEST(FieldTolerance, ADriveTimesItsLevelFactorIsTheTarget) {
  for (const double target : {0.1, 2.7, 3.0, 9.99, 33.3}) {
    for (int drive = 1; drive <= 255; ++drive) {
      ASSERT_EQ(CheckField(drive * (target / drive), target, {}).Verdict, FieldVerdict::InTolerance)
          << target << " V/M at drive " << drive;
    }
  }
}

// One count of the reading is its resolution: a reading that far from a
// limit is taken as on it, one further is not.
TEST(FieldTolerance, AReadingWithinItsResolutionOfALimitIsWithinIt) {
  const FieldTolerance standard{};
  const double count = 3.0 / 58.5;  // 3 V/M at drive 58.5
  EXPECT_EQ(CheckField(3.0 - count, 3.0, standard, count).Verdict, FieldVerdict::InTolerance);
  EXPECT_EQ(CheckField(3.0 - count, 3.0, standard).Verdict, FieldVerdict::Below);
  EXPECT_EQ(CheckField(3.0 - 2 * count, 3.0, standard, count).Verdict, FieldVerdict::Below);
  EXPECT_EQ(CheckField(6.0 + count / 2, 3.0, standard, count).Verdict, FieldVerdict::InTolerance);
  EXPECT_EQ(CheckField(6.0 + 2 * count, 3.0, standard, count).Verdict, FieldVerdict::Above);
  // The verdict's dB stays the reading's own.
  EXPECT_LT(CheckField(3.0 - count, 3.0, standard, count).Db, -0.1);
}

TEST(FieldTolerance, TextsAndTheToleranceReadBack) {
  EXPECT_EQ(DbText(-6.0206), "-6.02 dB");
  EXPECT_EQ(DbText(0.137), "+0.14 dB");
  EXPECT_EQ(DbText(-0.004), "-0.004 dB");  // out of a 0 dB limit: never "0.00"
  EXPECT_EQ(ToleranceText({}), "0.0 dB to +6.0 dB");
  EXPECT_EQ(ToleranceText({-0.0, 0.1}), "0.0 dB to +0.1 dB");
  for (const FieldTolerance t :
       {FieldTolerance{-1.25, 4.5}, FieldTolerance{-20, 20}, FieldTolerance{1.0 / 3, 5.1234567}}) {
    EXPECT_EQ(ParseToleranceText(ToleranceText(t)), t) << ToleranceText(t);
  }
  for (const char* text : {"", "+6.0 dB to 0.0 dB", "0,0 dB to +6,0 dB", "0.0 to 6.0",
                           "0.0 dB to -21.0 dB", "0.0 dB to nan dB"}) {
    EXPECT_FALSE(ParseToleranceText(text).has_value()) << text;
  }
}

}  // namespace
}  // namespace mz::test
