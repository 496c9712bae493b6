#!/usr/bin/env bash
# A longer fuzzing campaign: scripts/fuzz.sh [MINUTES [TARGET...]] (default 60 minutes, shared
# evenly by both targets, fuzz_units and fuzz_saved_state). An input slower than MERIDOT_FUZZ_TIMEOUT
# seconds (default 30: a busy machine runs slowly) counts as a hang.
# Builds the fuzzers in build-fuzz as scripts/test.sh does, runs each from the corpus kept in
# fuzz/corpus/<target>, and merges what it learned back into that corpus (only inputs that add
# coverage). A crash stops the target's run; its input is left as build-fuzz/<target>-crash-* and
# is to be added to fuzz/corpus/<target>/ as crash-<what> once mended (the tests replay those).
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-60}
case $minutes in
  '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [MINUTES]" >&2; exit 2 ;;
esac
shift $(($# > 0 ? 1 : 0))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_units fuzz_saved_state)
timeout=${MERIDOT_FUZZ_TIMEOUT:-30}
seconds=$((minutes * 60 / ${#targets[@]}))
jobs=$(nproc)

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DMERIDOT_FUZZ=ON -DMERIDOT_SANITIZE=ON -DMERIDOT_WERROR=ON >build-fuzz-configure.log 2>&1 \
  || { cat build-fuzz-configure.log; exit 1; }
rm -f build-fuzz-configure.log
cmake --build build-fuzz -j"$jobs" --target "${targets[@]}"

# The saved-state fuzzer writes its files in a folder of its own, in memory where there is one.
shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm=$PWD/build-fuzz/campaign
export MERIDOT_FUZZ_WORKDIR=$shm/meridot-fuzz-campaign-$$
trap 'rm -rf "$MERIDOT_FUZZ_WORKDIR"' EXIT

status=0
for name in "${targets[@]}"; do
  work=build-fuzz/campaign/$name
  log=build-fuzz/campaign/$name.log
  mkdir -p "$work"
  echo "== $name for $seconds s (log: $log)"
  if build-fuzz/fuzz/$name -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/"$name"- "$work" fuzz/corpus/$name >"$log" 2>&1; then
    grep -E '^Done [0-9]+ runs|stat::number_of_executed_units' "$log" | tail -2
  else
    status=1
    echo "$name found a fault; the end of its log:"
    tail -n 40 "$log"
  fi
  # What the run learned joins the kept corpus; inputs that add no coverage stay out.
  build-fuzz/fuzz/$name -merge=1 -timeout="$timeout" -rss_limit_mb=2048 fuzz/corpus/$name "$work" \
    >>"$log" 2>&1 || true
done
exit $status
