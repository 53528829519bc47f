#include "ui/adapters/vector_state.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace mz {

#if defined(__x86_64__) && defined(__GNUC__)

namespace {

__attribute__((target("avx"))) void ZeroUpper() {
  _mm256_zeroupper();
}

bool HasAvx() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") != 0;
  }();
  return has;
}

}  // namespace

void ClearUpperVectorState() {
  if (HasAvx()) ZeroUpper();
}

#else

void ClearUpperVectorState() {}

#endif

}  // namespace mz
