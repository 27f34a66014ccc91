#!/usr/bin/env bash
# Runs a command with Wine ready for it: a fresh Wine prefix in a temporary folder, a
# virtual X display (Xvfb) and the prefix initialised; removes all of it afterwards and
# exits with the command's status. Every wait is bounded.
#
#   tests/wine/wine-session.sh COMMAND [ARGUMENTS...]
#
# The command sees WINEPREFIX, DISPLAY, WINEDEBUG=-all, WINEDLLOVERRIDES (no Mono, no
# Gecko: nothing asks to download them) and the C.UTF-8 locale. DS_WINE_SCREEN sets the
# virtual display's size (default 1024x768x24).
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARGUMENTS...]" >&2
    exit 2
fi
for tool in wine wineboot wineserver Xvfb xdotool timeout; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "wine-session: $tool is not installed" >&2
        exit 2
    fi
done

session=$(mktemp -d -t ds-wine-XXXXXX)
xvfb_pid=""
cleanup() {
    # Only what this session started: its wineserver (by its prefix) and its Xvfb.
    WINEPREFIX="$session/prefix" timeout 30 wineserver -k >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" >/dev/null 2>&1 || true
        timeout 10 tail --pid="$xvfb_pid" -f /dev/null >/dev/null 2>&1 || true
    fi
    rm -rf "$session"
}
trap cleanup EXIT
# Stopped from outside (a time limit): end through the clean-up as well.
trap 'exit 143' TERM INT

export WINEPREFIX="$session/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# Wine's own texts in English (the end-to-end run presses "y" for Yes) and file names in
# UTF-8 on the Linux side.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

# A display number nobody uses.
display=""
for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=":$n"
        break
    fi
done
if [ -z "$display" ]; then
    echo "wine-session: no free X display number" >&2
    exit 2
fi
Xvfb "$display" -screen 0 "${DS_WINE_SCREEN:-1024x768x24}" -nolisten tcp >"$session/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
if ! timeout 20 bash -c 'until xdotool getdisplaygeometry >/dev/null 2>&1; do sleep 0.2; done'; then
    echo "wine-session: Xvfb did not start on $display" >&2
    cat "$session/xvfb.log" >&2 || true
    exit 2
fi

if ! timeout 300 wineboot -i >"$session/wineboot.log" 2>&1; then
    echo "wine-session: wineboot did not finish" >&2
    tail -20 "$session/wineboot.log" >&2 || true
    exit 2
fi
# Let the prefix's start-up processes settle, then keep one server running for all the
# programs the command starts (each Wine start is much quicker then).
timeout 120 wineserver -w || true
wineserver -p
# The first program started in a new prefix is slow; start one before the command does.
timeout 120 wine cmd /C exit 0 >/dev/null 2>&1 || true

status=0
"$@" || status=$?
exit "$status"
