#pragma once
// Argument checks and small helpers shared by the stateless B,G,R kernels.
#include <cstddef>
#include <cstdint>

#include "PixelEngine.h"

// Hot pixel loops: an AVX2 clone picked at load time where the processor has
// it, plus the baseline build. Left out of sanitizer builds, which test the
// baseline code. (Under ThreadSanitizer the clone resolver would also be
// instrumented and run before the sanitizer is up.)
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__) \
    && !defined(__SANITIZE_THREAD__) && defined(__linux__)
#define ADJUST_HOT_LOOP __attribute__((target_clones("avx2", "default"), optimize("O3")))
#else
#define ADJUST_HOT_LOOP
#endif

// Row helpers that must be compiled into each clone of their caller.
#if defined(__GNUC__)
#define ADJUST_ROW_INLINE inline __attribute__((always_inline))
#else
#define ADJUST_ROW_INLINE inline
#endif

// The caller-side result of checking an image given as (pixels, width,
// height, stride): 0 = go ahead, PE_OK_INPLACE = nothing to do (no rows or no
// columns), PE_ERR_ARGUMENT = unusable description.
inline int AdjustCheckBgr(const uint8_t* pixels, int width, int height, int stride)
{
    if (height < 1 || width == 0)
        return PE_OK_INPLACE;
    if (width < 0 || !pixels || static_cast<int64_t>(stride) < static_cast<int64_t>(width) * 3)
        return PE_ERR_ARGUMENT;
    return 0;
}

inline uint8_t* AdjustRow(uint8_t* pixels, int stride, int y)
{
    return pixels + static_cast<ptrdiff_t>(stride) * y;
}

inline const uint8_t* AdjustRow(const uint8_t* pixels, int stride, int y)
{
    return pixels + static_cast<ptrdiff_t>(stride) * y;
}

inline int AdjustClampByte(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}
