#pragma once
// Row bands of a film-engine pass on a few threads. Every band gets the same
// work as a serial pass would do, so results do not depend on the split.
#include <cstdint>
#include <type_traits>

using FilmRowsFn = void (*)(void* context, int32_t firstRow, int32_t endRow);

// Calls fn(context, firstRow, endRow) for bands covering 0..rows; serial when
// the pass is small (rows x rowWork below about a megabyte of samples). A
// band whose thread cannot be started runs on the caller's thread. Allocates
// nothing and throws nothing; fn must not throw either.
void FilmParallelRowsCall(int32_t rows, int64_t rowWork, FilmRowsFn fn, void* context) noexcept;

// The same for any callable fn(firstRow, endRow).
template <typename Fn>
void FilmParallelRows(int32_t rows, int64_t rowWork, Fn&& fn) noexcept
{
    using F = std::remove_reference_t<Fn>;
    FilmParallelRowsCall(
        rows, rowWork, [](void* c, int32_t a, int32_t b) { (*static_cast<F*>(c))(a, b); },
        const_cast<void*>(static_cast<const void*>(&fn)));
}
