#!/bin/sh
# Feeds 10,000 conversions to korbcalc-cli on standard input and reports the wall time.
# Usage: bench/cli_conversions.sh path/to/korbcalc-cli [count]
set -eu
cli=${1:?path to korbcalc-cli}
count=${2:-10000}
input=$(mktemp)
trap 'rm -f "$input"' EXIT
awk -v n="$count" 'BEGIN {
    split("ft in m mi lbf N", from, " "); split("m ft cm km N lbf", to, " ")
    for (i = 0; i < n; i++) {
        k = i % 6 + 1
        printf "%d.%d %s\nconv %s\nprint\ndrop\n", i, i % 7, from[k], to[k]
    }
}' >"$input"
start=$(date +%s.%N)
lines=$("$cli" <"$input" | wc -l)
end=$(date +%s.%N)
echo "conversions: $count  output lines: $lines  seconds: $(echo "$end - $start" | bc)"
