#!/usr/bin/env bash
# Runs the checks of .clang-tidy over the C++ sources that a build tree compiles (its
# compile_commands.json): those changed since the branch left main, or on main itself those the
# last commit changed (a merge: against its first parent), with the sources that include a changed
# header; with MERIDOT_TIDY=all every one. The whole tree takes minutes on two cores.
# Usage: scripts/tidy.sh [build directory, default build-test]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}
[ -f "$build/compile_commands.json" ] || { echo "tidy: no $build/compile_commands.json"; exit 1; }

# Our own sources among the compile commands (not the generated ones, not GoogleTest's).
mapfile -t all < <(grep -oE '"file": "[^"]*"' "$build/compile_commands.json" | sed -E 's/"file": "(.*)"/\1/' \
  | grep -E "^$PWD/(src|tests|bench)/" | sed "s|^$PWD/||" | sort -u)
files=("${all[@]}")
if [ "${MERIDOT_TIDY:-}" != all ]; then
  if git rev-parse -q --verify main >/dev/null && [ "$(git rev-parse HEAD)" != "$(git rev-parse main)" ]; then
    base=$(git merge-base HEAD main)
  else
    base=HEAD~1
  fi
  mapfile -t changed < <({ git diff --name-only "$base"; git ls-files --others --exclude-standard; } | sort -u)
  # A changed header brings in the sources that include it.
  for header in $(printf '%s\n' "${changed[@]}" | grep -E '^(src|tests|bench)/.*\.h$' || true); do
    [ -f "$header" ] || continue
    mapfile -t -O "${#changed[@]}" changed < <(grep -lF "/$(basename "$header")\"" "${all[@]}" || true)
  done
  mapfile -t files < <(printf '%s\n' "${all[@]}" | grep -Fxf <(printf '%s\n' "${changed[@]}") || true)
fi
echo "clang-tidy: ${#files[@]} of ${#all[@]} files"
[ ${#files[@]} -eq 0 ] && exit 0
log=$build/tidy.log
if ! printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy-14 -p "$build" --quiet >"$log" 2>&1; then
  grep -E 'warning:|error:' -A3 "$log" | head -n 80
  echo "clang-tidy found the above (log: $log)"
  exit 1
fi
