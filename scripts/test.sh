#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the normal build (warnings are errors),
# the install and the Debian package, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the formatting check and a one-minute fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== format check"
git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'fuzz/*.cpp' \
  | xargs -r clang-format --dry-run --Werror

echo "== build and test"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMERIDOT_WERROR=ON
cmake --build build-test -j"$jobs"
ctest --test-dir build-test --output-on-failure -j"$jobs"

echo "== install and Debian package"
# Installs build-test into build-test/stage, validates the desktop entry, AppStream metadata and
# manual page, and makes the Debian package with cpack -G DEB.
scripts/check-install.sh build-test

echo "== sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMERIDOT_WERROR=ON -DMERIDOT_SANITIZE=ON \
  -DMERIDOT_BENCH=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== fuzzing (${MERIDOT_FUZZ_SECONDS:-60} s)"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DMERIDOT_FUZZ=ON -DMERIDOT_SANITIZE=ON -DMERIDOT_WERROR=ON
cmake --build build-fuzz -j"$jobs"
for f in build-fuzz/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  mkdir -p build-fuzz/corpus/"$(basename "$f")"
  "$f" -max_total_time="${MERIDOT_FUZZ_SECONDS:-60}" -timeout=5 -rss_limit_mb=2048 \
    build-fuzz/corpus/"$(basename "$f")" fuzz/seeds
done
echo "== all tests passed"
