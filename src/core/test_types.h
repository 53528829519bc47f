#pragma once
// The kinds of test, as TestType codes them: 1 Standard, 2 Single Frequency,
// 3 Custom, and 10 more for the same test run with pre-scanned drive codes.
namespace mz {

// A run or pre-scan ends after this many steps; the result tables keep a
// margin below their 2000 entries.
inline constexpr int kMaxSteps = 1995;

constexpr bool IsStandard(int type) {
  return type == 1 || type == 11;
}
constexpr bool IsSingle(int type) {
  return type == 2 || type == 12;
}
constexpr bool IsCustom(int type) {
  return type == 3 || type == 13;
}
// A test run with the drive codes of a pre-scan (11, 12, 13).
constexpr bool IsPreScanned(int type) {
  return type > 10;
}
// Standard and Custom step through frequencies; Single stays on one.
constexpr bool IsSweep(int type) {
  return IsStandard(type) || IsCustom(type);
}
// A pre-scanned sweep replays recorded drive codes and needs no cell
// characteristic; every other test computes its codes from it.
constexpr bool IsPreScannedSweep(int type) {
  return IsPreScanned(type) && IsSweep(type);
}
// The graph of a single-frequency test is a strip chart over time.
constexpr bool IsStripChart(int type) {
  return IsSingle(type);
}

}  // namespace mz
