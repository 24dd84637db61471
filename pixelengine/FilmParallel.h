#pragma once
// Row bands of a film-engine pass on a few threads. Every band gets the same
// work as a serial pass would do, so results do not depend on the split.
#include <cstdint>
#include <functional>

// Calls fn(firstRow, endRow) for bands covering 0..rows; serial when the
// pass is small (rows x rowWork below about a megabyte of samples).
void FilmParallelRows(int32_t rows, int64_t rowWork, const std::function<void(int32_t, int32_t)>& fn);
