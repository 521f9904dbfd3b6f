// SSSE3 byte shuffles, where the compiler can emit them: functions marked
// SKEINPRESS_SSSE3 are compiled for SSSE3 and called only when HasSsse3() says
// the processor runs them, so the program still runs on older processors.
#pragma once

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define SKEINPRESS_HAVE_SSSE3_CODE 1
#define SKEINPRESS_SSSE3 __attribute__((target("ssse3")))
#endif

namespace core {

// Whether the processor runs SSSE3 byte shuffles (checked once).
inline bool HasSsse3() {
#ifdef SKEINPRESS_HAVE_SSSE3_CODE
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
#else
    return false;
#endif
}

}  // namespace core
