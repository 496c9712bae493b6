#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need, if any is missing.
# "scripts/deps.sh windows": those of the Windows cross build and its tests under Wine instead.
set -euo pipefail
pkgs=(build-essential cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libbenchmark-dev
      clang clang-format libclang-rt-dev fonts-dejavu-core fonts-liberation2 fonts-liberation xvfb xauth
      desktop-file-utils appstream groff-base dpkg-dev pkgconf)
if [ "${1:-}" = windows ]; then
  pkgs=(cmake ninja-build g++-mingw-w64-x86-64-posix googletest wine wine64)
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
echo "deps: the ${#pkgs[@]} packages are installed${missing:+ (newly: ${missing[*]})}"
