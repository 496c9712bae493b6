#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the normal build (warnings are errors),
# the install and the Debian package, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the core's tests built for Windows and run under Wine, the formatting
# check and a one-minute fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# Runs a step with its output in a log file: shows its last lines when it succeeds, and the failures
# and the end of the log when it does not.
logged() {
  local log=$1 shown=$2
  shift 2
  mkdir -p "$(dirname "$log")"
  if "$@" >"$log" 2>&1; then
    tail -n "$shown" "$log"
  else
    echo "FAILED: $* (log: $log)"
    grep -E 'error:|\*\*\*Failed|\(Failed\)|\(Timeout\)|FAILED' "$log" | head -n 40 || true
    echo "-- end of the log:"
    tail -n 60 "$log"
    exit 1
  fi
}

echo "== format check"
git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'fuzz/*.cpp' \
  | xargs -r clang-format --dry-run --Werror

echo "== build and test"
# CTest runs the folder-attack suite (tests/security) here and again under the sanitizers; its cases
# that need root and a second user are skipped with a note in the log when not run as root.
logged build-test/configure.log 0 cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMERIDOT_WERROR=ON
logged build-test/build.log 1 cmake --build build-test -j"$jobs"
logged build-test/ctest.log 7 ctest --test-dir build-test --output-on-failure -j"$jobs"

echo "== install and Debian package"
# Installs build-test into build-test/stage, validates the desktop entry, AppStream metadata and
# manual page, and makes the Debian package with cpack -G DEB.
scripts/check-install.sh build-test

echo "== Windows build under Wine"
# Cross-compiles units, settings and calc with their tests for Windows and runs them under Wine.
scripts/test-windows.sh build-windows

echo "== sanitizers"
logged build-asan/configure.log 0 cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMERIDOT_WERROR=ON \
  -DMERIDOT_SANITIZE=ON -DMERIDOT_BENCH=OFF
logged build-asan/build.log 1 cmake --build build-asan -j"$jobs"
logged build-asan/ctest.log 7 env ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --test-dir build-asan --output-on-failure -j"$jobs"

seconds=${MERIDOT_FUZZ_SECONDS:-60}
echo "== fuzzing (${seconds} s each)"
logged build-fuzz/configure.log 0 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DMERIDOT_FUZZ=ON -DMERIDOT_SANITIZE=ON -DMERIDOT_WERROR=ON
logged build-fuzz/build.log 1 cmake --build build-fuzz -j"$jobs"
# Each fuzzer's own seeds; its output goes to a log beside its corpus, and only its summary is shown.
for name in fuzz_units fuzz_saved_state; do
  case $name in
    fuzz_units) seeds=fuzz/seeds ;;
    fuzz_saved_state) seeds=fuzz/seeds-saved-state ;;
  esac
  corpus=build-fuzz/corpus/$name
  log=build-fuzz/$name.log
  mkdir -p "$corpus"
  if build-fuzz/fuzz/$name -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
    -artifact_prefix=build-fuzz/"$name"- "$corpus" "$seeds" >"$log" 2>&1; then
    echo "$name: $(grep -E '^Done [0-9]+ runs' "$log" | tail -1) (log: $log)"
  else
    echo "$name FAILED (log: $log); its end:"
    tail -n 40 "$log"
    exit 1
  fi
done
echo "== all tests passed"
