#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the normal build (warnings are errors),
# clang-tidy, the install and the Debian package, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the tests of the core and of korbcalc-cli built for Windows and run
# under Wine, the formatting check and a one-minute fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
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

echo "== packages"
logged build-test/deps.log 1 scripts/deps.sh

echo "== format check"
git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'fuzz/*.cpp' \
  | xargs -r clang-format --dry-run --Werror

echo "== build and test"
# CTest runs the folder-attack suite (tests/security) here and again under the sanitizers; its cases
# that need root and a second user are skipped with a note in the log when not run as root.
logged build-test/configure.log 0 cmake --preset debug # the build trees are those of CMakePresets.json
logged build-test/build.log 1 cmake --build build-test -j"$jobs"
logged build-test/ctest.log 7 ctest --test-dir build-test --output-on-failure -j"$jobs"

echo "== GUI tests with few fonts"
# The windows again on a machine with nothing but the core DejaVu fonts, and with Liberation 2
# beside them: fontconfig sees only the files of those packages (the extra DejaVu faces, if
# installed, are left out). Its cache goes beside the file.
fonts_conf() {
  local conf=$1 pkg dirs="" accepted="" count=0
  shift
  for pkg in "$@"; do
    while read -r file; do
      dirs+=$(dirname "$file")$'\n'
      accepted+="<glob>$file</glob>"
      count=$((count + 1))
    done < <(dpkg -L "$pkg" | grep -E '\.(ttf|otf)$')
  done
  {
    echo '<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd"><fontconfig>'
    sort -u <<<"$dirs" | sed '/^$/d; s|.*|<dir>&</dir>|'
    echo "<cachedir>$(dirname "$conf")/cache</cachedir>"
    echo '<include ignore_missing="yes">/etc/fonts/conf.d</include>'
    echo "<selectfont><acceptfont>$accepted</acceptfont><rejectfont><glob>*</glob></rejectfont></selectfont>"
    echo '</fontconfig>'
  } >"$conf"
  echo "-- $*: $count font files"
}
fonts=$PWD/build-test/fonts
mkdir -p "$fonts"
for set in dejavu liberation2; do
  case $set in
    dejavu) fonts_conf "$fonts/$set.conf" fonts-dejavu-core ;;
    liberation2) fonts_conf "$fonts/$set.conf" fonts-dejavu-core fonts-liberation2 ;;
  esac
  logged "$fonts/$set.log" 3 env FONTCONFIG_FILE="$fonts/$set.conf" \
    ctest --test-dir build-test -R '^tst_' --output-on-failure -j"$jobs"
done

echo "== clang-tidy"
# The checks of .clang-tidy on the sources changed since main; on main itself, on those the last
# commit changed.
scripts/tidy.sh build-test

echo "== install and Debian package"
# Installs build-test into build-test/stage, validates the desktop entry, AppStream metadata and
# manual page, and makes the Debian package with cpack -G DEB.
scripts/check-install.sh build-test

echo "== Windows build under Wine"
# Cross-compiles units, storage, settings and calc with their tests for Windows and runs them under Wine.
logged build-windows/windows.log 4 scripts/test-windows.sh build-windows

echo "== sanitizers"
logged build-asan/configure.log 0 cmake --preset asan
logged build-asan/build.log 1 cmake --build build-asan -j"$jobs"
logged build-asan/ctest.log 7 env ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --test-dir build-asan --output-on-failure -j"$jobs"

seconds=${MERIDOT_FUZZ_SECONDS:-60}
echo "== fuzzing (${seconds} s each)"
logged build-fuzz/configure.log 0 cmake --preset fuzz
logged build-fuzz/build.log 1 cmake --build build-fuzz -j"$jobs"
# Each fuzzer starts from its kept corpus (fuzz/corpus/<target>: seeds, what longer runs learned
# and every input that once crashed); its output goes to a log beside its corpus, and only its
# summary is shown.
for name in fuzz_units fuzz_saved_state; do
  seeds=fuzz/corpus/$name
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
