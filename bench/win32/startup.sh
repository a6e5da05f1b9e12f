#!/bin/sh
# Start-up of runetally.exe under Wine against the Win32 floors: startup_bench (bench/) starts
# each under its private Xvfb, alternating, and times the start until the first top-level window
# is mapped. Every program is stripped, as the ZIP ships it. One wineserver, started here in a
# prefix of the bench's own, serves every run.
#
# The floors: floorwindow.exe, one edit box; floorwindow-comctl.exe, the same with the manifest and
# common controls; floorcontrols.exe, the same main window's controls made by hand. Another
# build's runetally.exe, given second, takes its turn in the same alternation.
#
#   sh bench/win32/startup.sh [RUNS [OTHER_RUNETALLY.EXE]]  (after building build/ and build-windows/)
set -e
cd "$(dirname "$0")/../.."
top=$(pwd)
wine=/usr/lib/wine
stripped="$top/build-windows/bench/win32/stripped"
mkdir -p "$stripped"
for program in win32/runetally bench/win32/floorwindow bench/win32/floorwindow-comctl \
    bench/win32/floorcontrols; do
    x86_64-w64-mingw32-strip -o "$stripped/$(basename "$program").exe" \
        "$top/build-windows/$program.exe"
done
ls -l "$stripped"
export WINEPREFIX="$top/build-windows/wineprefix-bench" WINEDEBUG=-all
# A resource database, empty, as every desktop session loads one: on a display without any, Xlib
# looks for ~/.Xdefaults anew at each lookup, and Wine's X11 driver makes one at every font it
# selects into a window's DC, a cost that Windows does not have.
: >"$stripped/Xresources"
export XENVIRONMENT="$stripped/Xresources"
mkdir -p "$WINEPREFIX"
env -u DISPLAY "$wine/wine64" wineboot </dev/null >/dev/null 2>&1
# A fresh server: Wine's desktop process then starts with the first run, on the bench's display.
"$wine/wineserver" -k >/dev/null 2>&1 || true
"$wine/wineserver" -w
"$wine/wineserver" -p </dev/null >/dev/null 2>&1 &
trap '"$wine/wineserver" -k >/dev/null 2>&1 || true' EXIT
other=""
if [ -n "$2" ]; then
    x86_64-w64-mingw32-strip -o "$stripped/other.exe" "$2"
    other="other=$wine/wine64 $stripped/other.exe"
fi
build/bench/startup_bench --runs "${1:-20}" \
    "runetally=$wine/wine64 $stripped/runetally.exe" \
    "floor-controls=$wine/wine64 $stripped/floorcontrols.exe" \
    "floor=$wine/wine64 $stripped/floorwindow.exe" \
    "floor-comctl=$wine/wine64 $stripped/floorwindow-comctl.exe" ${other:+"$other"}
