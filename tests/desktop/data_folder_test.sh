#!/bin/sh
# Started from the desktop menu (--desktop) the program keeps its files in the per-user data
# folder; started from a terminal, in the directory it was started from. The probe's screenshot
# mode starts the program fully (and writes the preferences file on a first start) and ends.
set -eu
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/run" "$work/shots"
cd "$work/run"
fail() { echo "FAIL: $*" >&2; exit 1; }

XDG_DATA_HOME="$work/data" "$program" --desktop --screenshot "$work/shots"
[ -f "$work/data/Ovrin/Meridot/Meridot.ini" ] || fail "--desktop: no Meridot.ini in the data folder"
[ ! -e "$work/run/Meridot.ini" ] || fail "--desktop: Meridot.ini written to the working directory"

XDG_DATA_HOME="$work/data2" "$program" --screenshot "$work/shots"
[ -f "$work/run/Meridot.ini" ] || fail "terminal: no Meridot.ini in the working directory"
[ ! -e "$work/data2/Ovrin" ] || fail "terminal: the data folder was used"
echo "data folder rule holds"
