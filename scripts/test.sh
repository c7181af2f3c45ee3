#!/bin/bash
# Installs what is needed, checks the formatting, builds with warnings as
# errors, and runs the whole test suite: the main configuration (with the
# slow end-to-end tests), the sanitizer build, and each fuzz target for a
# bounded time. Each build's audio tests start a sound server of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
JOBS=${JOBS:-2}

scripts/install-deps.sh

echo "== Formatting (clang-format)"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

echo "== Main build"
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPW_WERROR=ON
# Playback is measured in real time: a case that misses its tolerance once is
# run again rather than failing the whole run on a moment of machine load.
(cd build && xvfb-run -a ctest --output-on-failure -j"$JOBS" --repeat until-pass:3)

echo "== Sanitizer build (address, undefined)"
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DPW_SANITIZE=ON -DPW_BENCHMARKS=OFF \
  -DPW_WERROR=ON
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   xvfb-run -a ctest --output-on-failure -j"$JOBS" -LE slow --repeat until-pass:3)

echo "== Fuzzing (${FUZZ_SECONDS}s a target)"
CC=clang CXX=clang++ scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPW_FUZZ=ON \
  -DPW_WERROR=ON
if [ -s build-fuzz/fuzzers.txt ]; then
  while read -r name corpus; do
    work=$(mktemp -d)
    if [ -n "$corpus" ] && [ -d "$root/$corpus" ]; then cp -r "$root/$corpus/." "$work/"; fi
    echo "-- $name"
    build-fuzz/fuzz/"$name" -max_total_time="$FUZZ_SECONDS" -print_final_stats=1 \
      -artifact_prefix="$work/" "$work" 2>&1 | tail -n 12
    rm -rf "$work"
  done < build-fuzz/fuzzers.txt
fi
echo "All tests passed."
