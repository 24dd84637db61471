#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan), writes the seed
# corpora and runs every target for a bounded time. Fails on any crash, leak,
# timeout or out-of-memory finding.
#   fuzz/run.sh [seconds-per-target]   (default 60)
# FUZZ_BUILD_DIR (default build-fuzz) and FUZZ_JOBS (default 4) adjust the build.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET="${1:-60}"
BUILD="${FUZZ_BUILD_DIR:-build-fuzz}"
JOBS="${FUZZ_JOBS:-4}"
TARGETS="exif rawhandler noiseprofile updatefeed singleinstance"

CC=clang CXX=clang++ cmake -S fuzz -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$JOBS" >/dev/null

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

SEEDS="$BUILD/seeds"
rm -rf "$SEEDS"
"$BUILD/fuzz_make_seeds" "$SEEDS" >/dev/null

status=0
for target in $TARGETS; do
  seeds="$SEEDS/$target"
  if [ -z "$(ls -A "$seeds" 2>/dev/null)" ]; then
    echo "fuzz_$target: no seeds were written"
    status=1
    continue
  fi
  corpus="$BUILD/corpus/$target"
  artifacts="$BUILD/artifacts/$target/"
  mkdir -p "$corpus" "$artifacts"
  log="$BUILD/$target.log"
  dict=()
  if [ -f "fuzz/$target.dict" ]; then
    dict=(-dict="fuzz/$target.dict")
  fi
  echo "== fuzz_$target for ${SECONDS_PER_TARGET}s"
  # libFuzzer stops itself after max_total_time and reports slow inputs after
  # 30 s; the outer limit only catches a run that cannot stop at all.
  if ! timeout --kill-after=30 $((SECONDS_PER_TARGET + 300)) \
        "$BUILD/fuzz_$target" "$corpus" "$seeds" "${dict[@]}" \
        -max_total_time="$SECONDS_PER_TARGET" -timeout=30 -rss_limit_mb=4096 \
        -max_len=262144 -artifact_prefix="$artifacts" -print_final_stats=1 >"$log" 2>&1; then
    echo "fuzz_$target FAILED; see $log and $artifacts"
    tail -n 40 "$log"
    status=1
  fi
  grep -E "^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)" "$log" || true
  echo "corpus: $(find "$corpus" -type f | wc -l) files, $(find "$corpus" -type f -exec cat {} + | wc -c) bytes"
done
exit $status
