// Which wide instructions this processor has, asked once: the screens of the
// extractors pick their widest loop by it.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__)
#define BRIVANO_HAS_AVX2_PATH 1

namespace brivano {

inline bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

}  // namespace brivano
#endif
