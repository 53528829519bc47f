#include "core/preferences.h"

#include <cmath>

namespace mz {

bool IsValidTolerance(const FieldTolerance& t) {
  auto inRange = [](double db) { return std::fabs(db) <= kToleranceLimitDb; };  // NaN: false
  return inRange(t.LowDb) && inRange(t.HighDb) && t.LowDb <= t.HighDb;
}

}  // namespace mz
