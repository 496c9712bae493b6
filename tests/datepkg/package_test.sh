#!/usr/bin/env bash
# Builds programs against an installed Ostrel, with find_package(Ostrel) and with pkg-config, and
# runs them. Everything it makes goes into SCRATCH. FLAGS go to the compiler and linker (the
# sanitizers, when the library was built with them).
#   package_test.sh PREFIX SCRATCH [FLAGS]      (PREFIX: where Ostrel is installed, e.g. stage/usr)
set -euo pipefail
prefix=$(cd "$1" && pwd)
scratch=$2
read -r -a extra <<<"${3:-}"
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "package_test: $*" >&2; exit 1; }
rm -rf "$scratch/consumer"
mkdir -p "$scratch/consumer"
scratch=$(cd "$scratch/consumer" && pwd)
expected_c="2451544.5 0.50000011574074077 2000-01-01T12:00:00.01"

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S "$here/consumer" -B "$scratch/build" "${generator[@]}" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_FLAGS="${3:-}" -DCMAKE_CXX_FLAGS="${3:-}" -DCMAKE_EXE_LINKER_FLAGS="${3:-}" >/dev/null ||
  fail "find_package(Ostrel) failed"
cmake --build "$scratch/build" >/dev/null || fail "the consumer does not build"
# The programs run without LD_LIBRARY_PATH: the package points them at the library.
result=$("$scratch/build/c_consumer")
[ "$result" = "$expected_c" ] || fail "C program printed '$result'"
result=$("$scratch/build/cxx11_consumer")
[ "$result" = "6" ] || fail "C++11 program printed '$result'"
result=$("$scratch/build/cxx20_consumer")
[ "$result" = "2025-04-20 2025-W16-7" ] || fail "C++20 program printed '$result'"

pc=$(find "$prefix" -name ostrel.pc -path '*/pkgconfig/*' | head -1)
[ -n "$pc" ] || fail "no ostrel.pc under $prefix"
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$pc")
[ "$(pkg-config --modversion ostrel)" != "" ] || fail "pkg-config has no version"
read -r -a flags <<<"$(pkg-config --cflags --libs ostrel)"
cc -std=c99 -Wall -Werror -pedantic "${extra[@]}" "$here/consumer/consumer.c" "${flags[@]}" -o "$scratch/pc_consumer" ||
  fail "pkg-config flags do not build: ${flags[*]}"
libdir=$(pkg-config --variable=libdir ostrel)
result=$(LD_LIBRARY_PATH=$libdir "$scratch/pc_consumer")
[ "$result" = "$expected_c" ] || fail "pkg-config program printed '$result'"
echo "package_test: find_package and pkg-config consumers built and ran against $prefix"
