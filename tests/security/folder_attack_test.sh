#!/bin/bash
# korbcalc-cli --session in folders prepared by someone else: links to a set-user-id program, names
# taken ahead, FIFOs, links to FIFOs, a link to itself, a huge sparse file, a directory in a data
# file's place, a linked or blocked value store, a folder that cannot be searched. Every run must
# end (within its time limit, with no abort), say what it found, write nothing outside its folder,
# make no set-id file, and leave no temporary file behind.
# Cases that need root (a root-owned set-user-id stand-in, another user) are skipped with a note
# when not run as root; as root, the ordinary user is uid 65534 through setpriv, no account made.
# Everything happens in one scratch folder: every link points at a file the test made itself.
# Usage: folder_attack_test.sh KORBCALC-CLI
set -u
cli=$(realpath "$1")
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work" # an ordinary user must reach its case folders
failures=0
root=false
[ "$(id -u)" = 0 ] && root=true
nobody=65534

fail() {
  echo "FAIL [$case]: $*"
  failures=$((failures + 1))
}
skip() { echo "SKIP [$1]: $2"; }

# A fresh case folder with its own configuration home; sets $dir.
new_case() {
  case=$1
  dir=$work/$case
  mkdir -p "$dir/run" "$dir/config"
}

# Runs the program in $dir/run with the given entries; sets $status and $err. Runs as the ordinary
# user when AS_USER=nobody (root only).
run() {
  local prefix=()
  if [ "${AS_USER:-}" = nobody ]; then
    chown -R "$nobody:$nobody" "$dir"
    prefix=(setpriv --reuid="$nobody" --regid="$nobody" --clear-groups)
  fi
  err=$( cd "$dir/run" && HOME=$dir XDG_CONFIG_HOME=$dir/config timeout 60 "${prefix[@]}" "$cli" --session "$@" 2>&1 >/dev/null)
  status=$?
}

expect_status() {
  [ "$status" = "$1" ] || fail "status $status, expected $1; said: $err"
}
expect_said() {
  grep -qF -- "$1" <<<"$err" || fail "did not say \"$1\"; said: $err"
}
# No temporary file left in the folders of the case, and no set-id file but the stand-in.
expect_clean() {
  local left
  left=$(find "$dir" -name '*.tmp[0-9]*')
  [ -z "$left" ] || fail "temporary files left: $left"
  left=$(find "$dir" -perm /6000 ! -path "$dir/stand-in" 2>/dev/null)
  [ -z "$left" ] || fail "set-id files made: $left"
}

# A set-user-id stand-in for a privileged program: a copy of id(1) in the case folder.
make_stand_in() {
  cp /usr/bin/id "$dir/stand-in"
  chmod 4755 "$dir/stand-in"
  stand_in_sum=$(sha256sum <"$dir/stand-in")
}
expect_stand_in_intact() {
  [ "$(sha256sum <"$dir/stand-in")" = "$stand_in_sum" ] || fail "the stand-in's bytes changed"
  [ "$(stat -c %a "$dir/stand-in")" = 4755 ] || fail "the stand-in's mode changed"
}

# --- Data files as links to a root-owned set-user-id program, with the temporary and backup names
# taken ahead (links to the stand-in) by the process id the program will have.
new_case setuid-links
if $root; then
  make_stand_in
  for f in SaveStck.dat SaveRegs.dat Meridot.ini; do ln -s ../stand-in "$dir/run/$f"; done
  # The shell takes the names with its own process id, then becomes the program.
  (
    cd "$dir/run" || exit 1
    export HOME=$dir XDG_CONFIG_HOME=$dir/config
    exec timeout 60 bash -c 'for n in $(seq 0 99); do for f in SaveStck.dat SaveRegs.dat Meridot.ini; do
        ln -s ../stand-in "$f.tmp$$-$n"; ln -s ../stand-in "$f.bak.tmp$$-$n"; done; done
      exec "$0" --session "1 m"' "$cli" >/dev/null 2>"$dir/err"
  )
  status=$?
  err=$(cat "$dir/err")
  [ "$status" = 124 ] && fail "did not end"
  [ "$status" -ge 128 ] && fail "ended by a signal: $err"
  expect_stand_in_intact
  for f in SaveStck.dat SaveRegs.dat Meridot.ini; do
    [ -f "$dir/run/$f" ] && [ ! -L "$dir/run/$f" ] || fail "$f is not a regular file now"
    [ -L "$dir/run/$f.bak" ] || fail "$f.bak does not lead to what $f led to"
  done
  grep -q '^1\.0' "$dir/run/SaveStck.dat" || fail "the stack was not saved"
  # The names taken ahead are still links, not written through; none is a temporary of ours.
  [ "$(find "$dir/run" -name '*.tmp*' -type l | wc -l)" = 600 ] || fail "names taken ahead were changed"
  left=$(find "$dir" -perm /6000 ! -path "$dir/stand-in")
  [ -z "$left" ] || fail "set-id files made: $left"
else
  skip "$case" "needs root for a root-owned set-user-id stand-in"
fi

# --- The earlier file is a root-owned set-user-id program that the ordinary user running the
# program cannot link to: the backup is a copy, without set-id bits.
new_case setuid-copy
if ! $root; then
  skip "$case" "needs root to leave a set-user-id program to another user"
elif [ "$(cat /proc/sys/fs/protected_hardlinks 2>/dev/null)" != 1 ]; then
  skip "$case" "the system lets anyone link to another user's file, so no copy is made"
else
  make_stand_in
  cp -p "$dir/stand-in" "$dir/run/SaveStck.dat"
  chown -R "$nobody:$nobody" "$dir/config" "$dir/run"
  chown root:root "$dir/run/SaveStck.dat"
  chmod 4755 "$dir/run/SaveStck.dat"
  prefix=(setpriv --reuid="$nobody" --regid="$nobody" --clear-groups)
  err=$( cd "$dir/run" && HOME=$dir XDG_CONFIG_HOME=$dir/config timeout 60 "${prefix[@]}" "$cli" --session "1 m" 2>&1 >/dev/null)
  status=$?
  expect_status 1 # the file was not loaded in full: said, and counted as an error
  cmp -s "$dir/stand-in" "$dir/run/SaveStck.dat.bak" || fail "the backup does not hold the earlier file"
  expect_said "the earlier file was kept as SaveStck.dat.bak"
  expect_clean
fi

# --- The value store as a link to a file outside its folder: read, never written through.
new_case linked-store
mkdir -p "$dir/config/Ovrin" "$dir/outside"
printf '[1.0]\nFontName=Courier New\n' >"$dir/outside/Meridot.conf"
ln -s ../../outside/Meridot.conf "$dir/config/Ovrin/Meridot.conf"
run "si"
expect_status 0
[ "$(cat "$dir/outside/Meridot.conf")" = "$(printf '[1.0]\nFontName=Courier New')" ] || fail "the link's target was written"
[ -f "$dir/config/Ovrin/Meridot.conf" ] && [ ! -L "$dir/config/Ovrin/Meridot.conf" ] || fail "the link was not replaced"
grep -q 'FontName=Courier New' "$dir/config/Ovrin/Meridot.conf" || fail "the values read through the link were lost"
expect_clean

# --- Things that are not regular files in the data files' and the value store's places.
for place in SaveStck.dat SaveRegs.dat Meridot.ini store; do
  for thing in fifo link-to-fifo directory huge self-link; do
    new_case "$thing-as-$place"
    if [ "$place" = store ]; then
      mkdir -p "$dir/config/Ovrin"
      target=$dir/config/Ovrin/Meridot.conf
    else
      target=$dir/run/$place
    fi
    case $thing in
      fifo) mkfifo "$target"; said="is a FIFO" ;;
      link-to-fifo) mkfifo "$dir/fifo"; ln -s "$dir/fifo" "$target"; said="is a FIFO" ;;
      directory) mkdir "$target"; said="is a directory" ;;
      huge) truncate -s 3G "$target"; said="is larger than 256 MB" ;;
      self-link) ln -s "$(basename "$target")" "$target"; said="Too many levels of symbolic links" ;;
    esac
    before=$(stat -c %F "$target")
    start=$SECONDS
    run "1 m"
    [ "$status" = 124 ] && fail "did not end within 60 s"
    expect_status 1
    expect_said "$said"
    [ $((SECONDS - start)) -le 10 ] || fail "took $((SECONDS - start)) s"
    # What is not a regular file stays as it was; a huge file or a link is kept as the .bak.
    case $thing in
      fifo | directory)
        [ "$(stat -c %F "$target")" = "$before" ] || fail "the $before was replaced" ;;
      *)
        if [ "$place" != store ]; then
          [ "$(stat -c %F "$target.bak")" = "$before" ] || fail "the earlier file is not kept as .bak"
        else
          [ "$(stat -c %F "$target")" = "$before" ] || fail "the store's $before was replaced"
        fi ;;
    esac
    expect_clean
  done
done

# --- A working folder the program cannot search: reported, not an abort.
new_case unsearchable
if $root; then
  chown -R "$nobody:$nobody" "$dir"
  err=$(cd "$dir/run" && HOME=$dir XDG_CONFIG_HOME=$dir/config timeout 60 setpriv --reuid="$nobody" \
    --regid="$nobody" --clear-groups bash -c 'chmod 0 . && exec "$0" --session "1 m"' "$cli" 2>&1 >/dev/null)
else
  err=$(cd "$dir/run" && HOME=$dir XDG_CONFIG_HOME=$dir/config timeout 60 bash -c 'chmod 0 . && exec "$0" --session "1 m"' "$cli" 2>&1 >/dev/null)
fi
status=$?
chmod 755 "$dir/run"
expect_status 1
expect_said "Permission denied"
expect_clean

# --- A backup that is already a second name of the file (a save stopped after keeping it): the
# next save leaves no temporary name behind.
new_case stopped-save
printf '12 ft\r\n12 fx\r\n' >"$dir/run/SaveStck.dat"
ln "$dir/run/SaveStck.dat" "$dir/run/SaveStck.dat.bak"
run "1 m"
expect_status 1 # the file was not loaded in full: said, and counted as an error
expect_said "the earlier file was kept as SaveStck.dat.bak"
[ "$(cat "$dir/run/SaveStck.dat.bak")" = "$(printf '12 ft\r\n12 fx\r')" ] || fail "the backup changed"
expect_clean

if [ "$failures" -gt 0 ]; then
  echo "$failures failures"
  exit 1
fi
echo "all folder-attack cases hold"
