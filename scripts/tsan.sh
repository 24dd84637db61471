#!/usr/bin/env bash
# Builds the tests that drive the pixel engine's own threads (the denoiser's
# worker pool, the film engine's row bands) with ThreadSanitizer
# and runs them. Exits non-zero when a test fails or the sanitizer reports a
# race, a lock-order inversion or a thread leak.
#   scripts/tsan.sh                 build dir build-tsan, all cores
#   TSAN_BUILD_DIR=dir JOBS=4 scripts/tsan.sh
#   TSAN_TESTS="denoise_pool" scripts/tsan.sh   only the named tests
set -euo pipefail
cd "$(dirname "$0")/.."

build=${TSAN_BUILD_DIR:-build-tsan}
jobs=${JOBS:-$(nproc)}

# The pool itself, the engine that runs tiles on it (many threads, several
# engines at once), its core and its block filter. Tests that hand work to
# threads through Qt (QThread, QThreadPool) or OpenCV (its TBB pool) are left
# out: those libraries are not built with the sanitizer, so their hand-overs
# are invisible to it and every such test reads as racy.
targets=()
for t in ${TSAN_TESTS:-denoise_pool denoise_engine denoise_core denoise_blockfilter}; do
  # Only tests that exist in this checkout.
  [[ -f tests/pixelengine/tst_$t.cpp ]] && targets+=("tst_pixelengine_$t")
done
if ((${#targets[@]} == 0)); then
  echo "tsan: none of the named tests found" >&2
  exit 1
fi

start=$(date +%s)
cmake -S . -B "$build" \
  -DCMAKE_BUILD_TYPE=Debug \
  -DVANTREL_BUILD_GUI=OFF \
  -DVANTREL_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS=-fsanitize=thread \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
cmake --build "$build" --target "${targets[@]}" -j"$jobs"
built=$(date +%s)

# halt_on_error: the first report ends the run with the sanitizer's exit code.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 history_size=4 suppressions=$PWD/scripts/tsan.supp ${TSAN_OPTIONS:-}"
export QT_QPA_PLATFORM=offscreen
export VANTREL_TEST_OUTPUT="$PWD/$build/test-output"

failed=()
for t in "${targets[@]}"; do
  exe=$(find "$build/tests" -type f -name "$t" -perm -u+x | head -n 1)
  if [[ -z "$exe" ]]; then
    echo "tsan: $t was not built" >&2
    failed+=("$t")
    continue
  fi
  echo "== $t"
  if ! "$exe" -silent; then
    failed+=("$t")
  fi
done
done_at=$(date +%s)

echo "tsan: build $((built - start)) s, tests $((done_at - built)) s"
if ((${#failed[@]})); then
  echo "tsan: FAILED: ${failed[*]}" >&2
  exit 1
fi
echo "tsan: clean"
