#pragma once
// Small parallel loops for the HDR job. Exceptions thrown by the body are
// caught on the worker and the first one is rethrown on the calling thread,
// so a failure inside a worker never ends the process.
#include <functional>

// Runs body(i) for i in [0, count) on up to maxThreads threads (0: one per
// core). Plain std::threads: safe to call from a pool thread or a QThread.
void IQParallelFor(int count, const std::function<void(int)>& body, int maxThreads = 0);

// Splits rows [0, rows) into bands of about bandRows rows and runs
// body(begin, end) for each on OpenCV's thread pool, so that OpenCV calls
// inside the body run serially on their band.
void IQParallelBands(int rows, int bandRows, const std::function<void(int, int)>& body);

// Band height that gives every core several bands of work.
int IQBandRowsFor(int rows);
