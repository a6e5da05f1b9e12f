#!/bin/sh
# The window program without a display: one line naming the display tried, status 1, no abort.
# Qt's own choice of platform still works. Usage: nodisplay_test.sh PROGRAM
program=$1
failed=0
expect() { # expect NAME STATUS LINE: after the run stored in $status and $err
    lines=$(printf '%s\n' "$err" | grep -c .)
    if [ "$status" -ne "$2" ] || [ "$err" != "$3" ] || [ "$lines" -ne 1 ]; then
        printf 'FAIL %s: status %s, stderr:\n%s\n' "$1" "$status" "$err"
        failed=1
    fi
}
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

err=$(env -u DISPLAY "$program" 2>&1 >/dev/null); status=$?
expect "DISPLAY unset" 1 "runetally: no display could be opened: DISPLAY is not set"

err=$(DISPLAY=:4711 "$program" 2>&1 >/dev/null); status=$?
expect "no such display" 1 "runetally: no display could be opened: :4711"

# Asked for by name, the offscreen platform starts the window: it is still running a moment later.
for way in env argument; do
    if [ "$way" = env ]; then
        DISPLAY=:4711 QT_QPA_PLATFORM=offscreen "$program" >/dev/null 2>&1 &
    else
        DISPLAY=:4711 "$program" -platform offscreen >/dev/null 2>&1 &
    fi
    pid=$!
    sleep 2
    if kill "$pid" 2>/dev/null; then
        wait "$pid" 2>/dev/null
    else
        wait "$pid"; printf 'FAIL offscreen by %s: ended with status %s\n' "$way" "$?"
        failed=1
    fi
done
exit $failed
