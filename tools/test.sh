#!/bin/sh
# Installs what is needed, builds everything and runs every test headless:
#   0. the sources' format, against .clang-format;
#   1. the native build: unit, window (offscreen), tool and packaging tests;
#   2. the web build: the page, its numbers against the native build's, and the page itself in
#      headless Chromium;
#   3. the same suite as 1. built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   4. the fuzz targets, each for RUNETALLY_FUZZ_SECONDS (30 by default), built with clang;
#   5. the Windows build: the calculation, the launcher and the native windows, its tests run
#      under Wine on a private X display, once more at 144 dpi for the layout.
set -e
cd "$(dirname "$0")/.."
top=$(pwd)
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

sh tools/deps.sh --test

section() { printf '\n==== %s\n' "$*"; }

section "format"
# Every tracked source as the repository's .clang-format writes it.
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

# Each build is one of CMakePresets.json's: native, sanitize, fuzz, web and windows.
build() {
    preset=$1
    shift
    cmake --preset "$preset" "$@" >/dev/null
    cmake --build --preset "$preset" -j"$jobs"
}

section "native build and tests"
build native
ctest --preset native -j"$jobs"

section "web build and tests"
build web
ctest --preset web

section "AddressSanitizer and UndefinedBehaviorSanitizer"
build sanitize
ctest --preset sanitize -j"$jobs"

section "fuzzing"
build fuzz -DRUNETALLY_FUZZ_SECONDS="${RUNETALLY_FUZZ_SECONDS:-30}"
ctest --preset fuzz -j"$jobs"

section "Windows build under Wine"
build windows
export WINEDEBUG=-all
wine=/usr/lib/wine
prefixes="$top/build-windows/wineprefix $top/build-windows/wineprefix-144dpi"
xvfb=""
cleanup() {
    for prefix in $prefixes; do
        WINEPREFIX=$prefix "$wine/wineserver" -k >/dev/null 2>&1 || true
    done
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
}
trap cleanup EXIT
# The windows' tests draw on a display of their own.
display=90
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display"
tries=0
while [ ! -S "/tmp/.X11-unix/X$display" ] && [ "$tries" -lt 100 ]; do
    sleep 0.1
    tries=$((tries + 1))
done
# One server per prefix for every test program, and each prefix booted before ctest starts:
# Wine's background processes must not inherit ctest's output, or the run never ends. Their
# output goes to a log beside the prefix, shown when the prefix cannot be made. Mono and Gecko
# are not asked for: no test needs them, and a fresh machine may have no network. The second
# prefix is a 144-dpi desktop.
wine_step() {
    log=$1
    shift
    "$@" </dev/null >>"$log" 2>&1 || {
        status=$?
        echo "Wine: '$*' ended with status $status; its output:"
        cat "$log"
        return "$status"
    }
}
for prefix in $prefixes; do
    mkdir -p "$prefix"
    WINEPREFIX=$prefix "$wine/wineserver" -p </dev/null >/dev/null 2>&1 &
    # A boot that reports a failure but leaves a whole prefix is good enough for the tests.
    wine_step "$prefix.log" timeout 300 env WINEPREFIX="$prefix" WINEDLLOVERRIDES="mscoree,mshtml=" \
        "$wine/wine64" wineboot || [ -f "$prefix/system.reg" ]
done
dpi144="$top/build-windows/wineprefix-144dpi"
wine_step "$dpi144.log" env WINEPREFIX="$dpi144" "$wine/wine64" reg add \
    'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f
# The prefix's desktop took its resolution when it started: it is shut down and booted again,
# at 144 dpi, again before ctest starts, so that nothing Wine starts holds ctest's output.
wine_step "$dpi144.log" env WINEPREFIX="$dpi144" "$wine/wine64" wineboot --shutdown
wine_step "$dpi144.log" timeout 300 env WINEPREFIX="$dpi144" "$wine/wine64" wineboot
export WINEPREFIX="$top/build-windows/wineprefix"
ctest --preset windows
