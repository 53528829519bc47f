#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "core/errors.h"
#include "core/text_format.h"

// The drive code for a target field at a frequency, interpolated in level and
// in frequency from the cell characteristic.
namespace mz {

namespace {

// Field levels of the four drive columns, with the implicit zero level.
inline constexpr Real kLevels[] = {0, 3, 5, 7, 10};
inline constexpr Integer kHighestHz = 1'000'100'000;
inline constexpr Integer kLowestHz = 29'900'000;
inline constexpr Integer kLowBandHz = 80'000'000;
inline constexpr int kLowBandCellLimit = 16;
inline constexpr Integer kEndOfTableHz = 999'999'999;
inline constexpr Real kDriveScale = 117;

Real DriveColumn(const CellRow& row, int k) {
  switch (k) {
    case 1:
      return row.Drive3;
    case 2:
      return row.Drive5;
    case 3:
      return row.Drive7;
    case 4:
      return row.Drive10;
    default:
      return 0;
  }
}

// The smallest column whose level reaches the target; above 7 V/M always the
// 10 V/M column, so higher targets are extrapolated from 7 and 10 V/M.
int LevelColumn(Real target) {
  for (int k = 1; k <= 3; ++k) {
    if (kLevels[k] >= target) return k;
  }
  return 4;
}

Real RowValue(const CellRow& row, int k, Real target) {
  return Interpolate(kLevels[k - 1], kLevels[k], target, DriveColumn(row, k - 1),
                     DriveColumn(row, k));
}

// The cell number as a whole number, as the low-band rule needs it.
int CellNumberValue(const std::string& text) {
  std::size_t i = text.find_first_not_of(' ');
  const std::size_t start = i == std::string::npos ? text.size() : i;
  if (i != std::string::npos && (text[i] == '-' || text[i] == '+')) ++i;
  const bool digitsOnly = i != std::string::npos && i < text.size() &&
                          text.find_first_not_of("0123456789", i) == std::string::npos;
  if (digitsOnly && text.size() - start <= 10) {
    const long long v = std::stoll(text.substr(start));
    if (v >= INT32_MIN && v <= INT32_MAX) return static_cast<int>(v);
  }
  throw ProgramError("'" + text + "' is not a valid integer value");
}

// The characteristic value (before scaling) for a target at a frequency;
// nullopt when the table cannot give one.
std::optional<Real> CharacteristicValue(const ProgramState& s, Real target, Integer freqHz) {
  const int k = LevelColumn(target);
  const auto& t = s.CellTable;
  if (freqHz < kLowBandHz && CellNumberValue(s.CellNumber) < kLowBandCellLimit) {
    return RowValue(t[1], k, target);
  }
  int r = 2;
  while (r < kTableSize && t[r].FreqHz < freqHz && t[r].FreqHz < kEndOfTableHz &&
         r < s.CellRowCount) {
    ++r;
  }
  if (r >= kTableSize) return std::nullopt;
  const Real low = RowValue(t[r - 1], k, target);
  const Real high = RowValue(t[r], k, target);
  const Real v = Interpolate(t[r - 1].FreqHz, t[r].FreqHz, freqHz, low, high);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

// The frequency the table is read at: above the highest the sweep's finish,
// below the lowest the lowest.
Integer TableFrequency(const ProgramState& s, Integer freqHz) {
  if (freqHz > kHighestHz) return s.FinishFreqHz;
  if (freqHz < kLowestHz) return kLowestHz;
  return freqHz;
}

}  // namespace

std::optional<Real> CellValue(const ProgramState& s, Real levelVm, Integer freqHz) {
  return CharacteristicValue(s, levelVm, TableFrequency(s, freqHz));
}

Byte DriveCodeOf(Real value) {
  Real v = value * kDriveScale;
  if (v > 255) v = 255;
  if (!(v >= 1)) v = 1;  // also a value that is not a number: the least drive
  return static_cast<Byte>(RoundEven(v));
}

Real Interpolate(Real x1, Real x2, Real x, Real y1, Real y2) {
  if (x1 == x2) return 0;
  return y1 + (y2 - y1) * (x - x1) / (x2 - x1);
}

Byte CellDrive(Context& ctx, Real levelVm, Integer freqHz) {
  auto& s = ctx.state;
  const Integer f = TableFrequency(s, freqHz);

  auto value = CharacteristicValue(s, levelVm, f);
  // A value that is not a number would give no drive code at all.
  if (!value || !std::isfinite(*value)) {
    ctx.op.Message(MessageKind::Warning, "Cell Characteristic File Error", Buttons::Ok);
    value = 0;
  }
  ctx.controls.SetText(diag::TxFactor, FormatFixed(*value, 5, 3));
  const Real v = *value * kDriveScale + 0;

  // Below 3 V/M the drive is proportional to the target, so at 0 V/M the
  // factor is that of any level up to 3 V/M rather than 0/0.
  Real factor = 0;
  if (levelVm != 0) {
    factor = v / levelVm;
  } else if (auto at3 = CharacteristicValue(s, kLevels[1], f)) {
    factor = *at3 * kDriveScale / kLevels[1];
  }
  if (s.StepCount >= 0 && s.StepCount < kTableSize) s.LevelFactor[s.StepCount] = factor;
  s.SingleFieldFactor = factor;

  const Byte drive = DriveCodeOf(*value);
  ctx.controls.SetText(diag::TxValue, FormatInt(drive));
  return drive;
}

}  // namespace mz
