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

section "native build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 600

section "AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUNETALLY_SANITIZE=ON \
      -DRUNETALLY_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions="$top/tests/lsan.supp":print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j"$jobs" --timeout 900

section "fuzzing"
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUNETALLY_FUZZ=ON \
      -DRUNETALLY_GUI=OFF -DRUNETALLY_TESTS=OFF -DRUNETALLY_BENCH=OFF \
      -DRUNETALLY_FUZZ_SECONDS="${RUNETALLY_FUZZ_SECONDS:-30}" >/dev/null
cmake --build build-fuzz -j"$jobs"
ctest --test-dir build-fuzz --output-on-failure -j"$jobs"

section "Windows build under Wine"
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-posix.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-windows -j"$jobs"
export WINEPREFIX="$top/build-windows/wineprefix" WINEDEBUG=-all
wine=/usr/lib/wine
mkdir -p "$WINEPREFIX"
# One server for every test program, and the prefix booted before ctest starts: Wine's
# background processes must not inherit ctest's output, or the run never ends.
"$wine/wineserver" -p </dev/null >/dev/null 2>&1 &
trap '"$wine/wineserver" -k >/dev/null 2>&1 || true' EXIT
"$wine/wine64" wineboot </dev/null >/dev/null 2>&1
ctest --test-dir build-windows --output-on-failure --timeout 600
