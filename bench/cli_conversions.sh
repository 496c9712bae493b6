#!/bin/bash
# Runs the same conversions through korbcalc-cli and through GNU units in one run, checks that both
# give the same numbers, and prints the CPU time (user + system) of each and their ratio. The
# median of several runs is taken, so a busy machine disturbs the figures less.
# Usage: bench/cli_conversions.sh path/to/korbcalc-cli [count] [runs]
set -euo pipefail
cli=${1:?path to korbcalc-cli}
count=${2:-10000}
runs=${3:-5}

if ! command -v units >/dev/null 2>&1; then
    echo "GNU units is missing; installing the Debian package units" >&2
    apt-get -o DPkg::Lock::Timeout=600 install -y units >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One list of conversions, written in each program's input language.
awk -v n="$count" 'BEGIN {
    split("ft in m mi lbf N", from, " "); split("m ft cm km N lbf", to, " ")
    for (i = 0; i < n; i++) {
        k = i % 6 + 1
        printf "%d.%d %s %s\n", i, i % 7, from[k], to[k]
    }
}' >"$work/list"
awk '{ printf "%s %s\nconv %s\nprint\ndrop\n", $1, $2, $3 }' "$work/list" >"$work/korbcalc.in"
awk '{ printf "%s %s\n%s\n", $1, $2, $3 }' "$work/list" >"$work/units.in"

# CPU seconds (user + system) of one run of a command, its output kept in a file. Python starts
# the program without a shell in between, so only the program's own time from its start counts;
# bash's own "time" would also charge each program the copying of the shell that starts it.
cpu_seconds() {
    local out=$1
    shift
    if command -v python3 >/dev/null 2>&1; then
        python3 -c '
import resource, subprocess, sys
out, cmd = sys.argv[1], sys.argv[2:]
before = resource.getrusage(resource.RUSAGE_CHILDREN)
with open(out, "wb") as f:
    subprocess.run(cmd, stdin=sys.stdin, stdout=f, stderr=subprocess.DEVNULL)
after = resource.getrusage(resource.RUSAGE_CHILDREN)
print("%.4f" % (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime))
' "$out" "$@"
    else
        local TIMEFORMAT='%U %S'
        { time "$@" >"$out" 2>/dev/null; } 2>&1 | awk '{ printf "%.4f\n", $1 + $2 }'
    fi
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

: >"$work/k.times"
: >"$work/u.times"
for _ in $(seq "$runs"); do
    cpu_seconds "$work/k.out" "$cli" <"$work/korbcalc.in" >>"$work/k.times"
    cpu_seconds "$work/u.out" units -t <"$work/units.in" >>"$work/u.times"
done

# Same answers: every conversion gives one line in each; the numbers agree to 6 significant digits.
kl=$(wc -l <"$work/k.out")
ul=$(wc -l <"$work/u.out")
differ=$(paste -d' ' "$work/k.out" "$work/u.out" | awk '{
    a = $1 + 0; b = $NF + 0; d = a - b; if (d < 0) d = -d; m = (b < 0 ? -b : b)
    if (d > 1e-6 * m + 1e-9) bad++
} END { print bad + 0 }')

k=$(median <"$work/k.times")
u=$(median <"$work/u.times")
echo "conversions: $count  runs: $runs  result lines: korbcalc-cli $kl, units $ul  differing results: $differ"
echo "CPU seconds (median): korbcalc-cli $k  GNU units $u"
awk -v k="$k" -v u="$u" 'BEGIN { printf "korbcalc-cli is %.1fx faster than GNU units\n", (k > 0 ? u / k : 0) }'
