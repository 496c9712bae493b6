#!/usr/bin/env bash
# Installs a configured and built tree into a staging directory inside it, checks what a desktop
# installs (desktop entry, AppStream metadata, manual page, icons, the programs running from
# there), then makes the Debian package with CPack and checks its contents and dependencies.
#   scripts/check-install.sh BUILD-DIR
set -euo pipefail
build=$(cd "$1" && pwd)
stage=$build/stage
fail() { echo "check-install: $*" >&2; exit 1; }

rm -rf "$stage"
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
share=$stage/usr/share
desktop-file-validate "$share/applications/com.ovrin.Meridot.desktop"
appstreamcli validate --no-net --strict "$share/metainfo/com.ovrin.Meridot.metainfo.xml" >/dev/null
warnings=$(zcat "$share/man/man1/korbcalc-cli.1.gz" | groff -man -ww -z 2>&1)
[ -z "$warnings" ] || fail "manual page: $warnings"
warnings=$(zcat "$share/man/man1/ostrel-jd.1.gz" | groff -man -ww -z 2>&1)
[ -z "$warnings" ] || fail "manual page ostrel-jd(1): $warnings"
for size in 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256; do
  [ -s "$share/icons/hicolor/$size/apps/com.ovrin.Meridot.png" ] || fail "no $size icon"
done
[ -s "$share/icons/hicolor/scalable/apps/com.ovrin.Meridot.svg" ] || fail "no scalable icon"
result=$("$stage/usr/bin/korbcalc-cli" "12 ft" "6 in" +)
[ "$result" = "12.5000000 ft" ] || fail "installed korbcalc-cli gave '$result'"
result=$("$stage/usr/bin/ostrel-jd" 2000-01-01T12:00:00.01)
[ "$result" = "2451545.0000001157407408" ] || fail "installed ostrel-jd gave '$result'"
# Programs built on the staged Ostrel with find_package(Ostrel) and with pkg-config.
"$(dirname "$0")/../tests/datepkg/package_test.sh" "$stage/usr" "$build/package-test" >/dev/null
[ -x "$stage/usr/bin/Korbcalc" ] || fail "no Korbcalc"
# The installed programs find every library they need (the project's own through their RPATH).
for exe in "$stage"/usr/bin/*; do
  missing=$(ldd "$exe" | grep "not found" || true)
  [ -z "$missing" ] || fail "$exe: $missing"
done

rm -f "$build"/meridot_*.deb
# CPack's output goes to a log; a warning in it (a library without a soname, say) fails the check.
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || fail "cpack failed: $(tail -n 20 "$build/cpack.log")"
if grep -qi "warning" "$build/cpack.log"; then fail "cpack warned: $(grep -i -A3 warning "$build/cpack.log")"; fi
deb=$(ls "$build"/meridot_*.deb)
# The package holds exactly what the install put into the staging directory.
packaged=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
staged=$(cd "$stage" && find . ! -type d | sort)
[ "$packaged" = "$staged" ] || fail "$deb differs from the install: $(diff <(echo "$staged") <(echo "$packaged"))"
depends=$(dpkg-deb -f "$deb" Depends)
for p in fonts-liberation2 fonts-liberation libqt6widgets6 libqt6core6; do
  grep -qw "$p" <<<"$depends" || fail "$deb does not depend on $p ($depends)"
done
echo "installed into $stage and packaged $(basename "$deb"): $depends"
