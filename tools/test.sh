#!/bin/sh
# Installs what is needed, builds everything and runs every test headless:
#   1. the native build: unit, window (offscreen), tool and packaging tests;
#   2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the fuzz targets, each for RUNETALLY_FUZZ_SECONDS (30 by default), built with clang;
#   4. the Windows build of the calculation and the launcher, its tests run under Wine.
set -e
cd "$(dirname "$0")/.."
top=$(pwd)
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

sh tools/deps.sh --test

section() { printf '\n==== %s\n' "$*"; }

# Each build is one of CMakePresets.json's: native, sanitize, fuzz and windows.
build() {
    preset=$1
    shift
    cmake --preset "$preset" "$@" >/dev/null
    cmake --build --preset "$preset" -j"$jobs"
}

section "native build and tests"
build native
ctest --preset native -j"$jobs"

section "AddressSanitizer and UndefinedBehaviorSanitizer"
build sanitize
ctest --preset sanitize -j"$jobs"

section "fuzzing"
build fuzz -DRUNETALLY_FUZZ_SECONDS="${RUNETALLY_FUZZ_SECONDS:-30}"
ctest --preset fuzz -j"$jobs"

section "Windows build under Wine"
build windows
export WINEPREFIX="$top/build-windows/wineprefix" WINEDEBUG=-all
wine=/usr/lib/wine
mkdir -p "$WINEPREFIX"
# One server for every test program, and the prefix booted before ctest starts: Wine's
# background processes must not inherit ctest's output, or the run never ends.
"$wine/wineserver" -p </dev/null >/dev/null 2>&1 &
trap '"$wine/wineserver" -k >/dev/null 2>&1 || true' EXIT
"$wine/wine64" wineboot </dev/null >/dev/null 2>&1
ctest --preset windows
