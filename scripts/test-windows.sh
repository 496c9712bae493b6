#!/usr/bin/env bash
# Cross-compiles the plain C++ core (units, storage, settings, calc), korbcalc-cli and their tests
# for 64-bit Windows with MinGW-w64 and runs the tests under Wine, headless, in a Wine prefix of their
# own. The tests run in a directory whose name holds non-ASCII characters and a blank.
# Usage: scripts/test-windows.sh [build directory, default build-windows]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build-windows}
mkdir -p "$build"
build=$(cd "$build" && pwd)

scripts/deps.sh windows

toolchain=$root/cmake/mingw-w64-x86_64.cmake
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# GoogleTest from Debian's sources, built once per build directory for the cross toolchain.
gtest=$build/googletest
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  echo "== GoogleTest for Windows"
  cmake -S /usr/src/googletest -B "$build/googletest-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$gtest" -DBUILD_GMOCK=OFF \
    "${launcher[@]}" >/dev/null
  cmake --build "$build/googletest-build" -j2 --target install >/dev/null
fi

echo "== cross build"
scratch="$build/Prüf Ω"
mkdir -p "$scratch"
gzip -dc tests/corpus/engine_corpus.txt.gz > "$build/engine_corpus.txt"
gzip -dc tests/cli/cli_corpus.txt.gz > "$build/cli_corpus.txt"
# The "windows" preset, in the given build directory.
cmake --preset windows -B "$build/core" -DGTest_DIR="$gtest/lib/cmake/GTest" -DMERIDOT_TEST_SCRATCH="$scratch" \
  -DMERIDOT_CORPUS_GOLDEN="$build/engine_corpus.txt" -DMERIDOT_CLI_CORPUS_GOLDEN="$build/cli_corpus.txt" \
  "${launcher[@]}" >/dev/null
cmake --build "$build/core" -j2 --target units_tests storage_tests settings_tests calc_tests corpus_tests \
  korbcalc-cli cli_tests

echo "== tests under Wine"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "(creating the Wine prefix)"
  wineboot -i >/dev/null 2>&1
  wineserver -w # the registry reaches the disk when the server ends
fi
# One server for all the test programs (it stays up between them), stopped again at the end.
wineserver -k 2>/dev/null || true
wineserver -p >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
# The first program starts Wine's background services; they would inherit and hold open the output
# pipe of whichever test came first, and CTest would wait for it until the timeout.
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
ctest --test-dir "$build/core" --output-on-failure
