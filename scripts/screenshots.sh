#!/usr/bin/env bash
# Makes the README's pictures (docs/*.png) from the real program under a virtual X display: the
# main window (also at 200% scale and in the dark theme), the stack and register windows and the
# units selector. Also reports how long the program takes from process start to its first painted
# main window.
#   scripts/screenshots.sh [build-dir]     (default: build, built here in Release when missing)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build}
# The pictures and the timing come from korbcalc-probe, the program with options for them.
if [ ! -x "$build/src/ui/korbcalc-probe" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DMERIDOT_BENCH=OFF
  cmake --build "$build" --target korbcalc-probe
fi
program=$(realpath "$build/src/ui/korbcalc-probe")
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (apt-get install xvfb xauth)" >&2; exit 1; }

# A scratch directory and value store, so that the user's settings and files stay untouched.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$root/docs"
cat > "$work/Meridot.ini" <<'INI'
; Meridot
[Startup Options]
Show_Stack = false
Show_Regs = false
Save_Pos = false
Calc_Pos = 20, 20
Save_Prefs = false
Save_Stack = false
Save_Regs = false
[Other Options]
Fract_Notation = Fixed
Decimal_Places = 4
INI

cd "$work"
export XDG_CONFIG_HOME="$work/config" DBUS_SESSION_BUS_ADDRESS=disabled:
xvfb-run -a -s "-screen 0 1024x768x24" "$program" --screenshot "$root/docs"
# The main window at 200% scale, and in the dark theme (a value of the scratch value store).
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 1280x1024x24" "$program" --screenshot "$root/docs" \
  --screenshot-main main-window-200.png
mkdir -p "$work/config/Ovrin"
printf '[1.0]\nDarkTheme=1\n' > "$work/config/Ovrin/Meridot.conf"
xvfb-run -a -s "-screen 0 1024x768x24" "$program" --screenshot "$root/docs" --screenshot-main main-window-dark.png
rm "$work/config/Ovrin/Meridot.conf"
ls -l "$root"/docs/*.png

# Start-up time: five runs, each closing itself once the main window is painted.
echo "start-up to first paint of the main window:"
for _ in 1 2 3 4 5; do
  xvfb-run -a "$program" --quit-after-paint 2>&1 | grep "first paint" || true
done
