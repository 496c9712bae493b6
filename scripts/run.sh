#!/usr/bin/env bash
# Installs what is missing, builds the calculator and starts it in the directory this was called
# from, where it keeps "Meridot.ini", "SaveStck.dat" and "SaveRegs.dat".
set -euo pipefail
here=$(pwd)
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DMERIDOT_BENCH=OFF
cmake --build build -j"$(nproc)"
cd "$here"
exec "$repo/build/src/ui/Korbcalc" "$@"
