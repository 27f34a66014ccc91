#!/usr/bin/env bash
# Pictures of the Windows program as an office sees it, at 100 % and at 200 % display
# scaling (Wine's LogPixels 96 and 192): the desktop with the application window and the
# confirmation of a job with long folder names, the confirmation alone, the message after
# the copy, and the error dialog of a job file whose job has no line ends. Each is saved as
# OUT_DIR/<scaling>-<what>.png.
#
#   tests/wine/screenshots.sh BUILD_DIR OUT_DIR
#
# Needs ImageMagick besides Wine, Xvfb and xdotool. Without WINEPREFIX and DISPLAY
# the script starts itself inside tests/wine/wine-session.sh, on a display large enough for
# 200 %. Every wait is bounded.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_DIR OUT_DIR" >&2
    exit 2
fi
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
    exec env DS_WINE_SCREEN=2048x1536x24 "$here/wine-session.sh" "$0" "$@"
fi
for tool in import; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "screenshots: $tool is not installed" >&2
        exit 2
    fi
done
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)

work="$WINEPREFIX/drive_c/Datensicherung"
mkdir -p "$work"
cp "$build/datensicherung.exe" "$work/"
cp "$build/robocopy_recorder.exe" "$work/ROBOCOPY.exe"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# shellcheck source=tests/wine/program_windows.sh
. "$here/program_windows.sh"

# The visible window whose title matches.
window_titled() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1
}
picture() {
    local name=$1 id=$2
    if [ -z "$id" ]; then
        fail "$name: no window"
        return
    fi
    sleep 1 # painted
    import -window "$id" "png:$out/$name.png"
    echo "saved $out/$name.png"
}

long_job='[1]\r\nC:\\Daten\\Buchhaltung\\Jahresabschluss 2026\r\nD:\\Sicherung\\Buchhaltung\\Jahresabschl\xC3\xBCsse und Belege der Abteilung Finanzen\r\n*.*\r\n/E /R:1 /W:1\r\n[2]\r\n'

for scaling in 100 200; do
    dpi=$((96 * scaling / 100))
    timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null 2>&1
    timeout 60 wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    export DS_WINE_DESKTOP="$((1024 * scaling / 100))x$((768 * scaling / 100))"

    # A job with long folder names: its confirmation, then the message after the copy.
    rm -rf "$WINEPREFIX/drive_c/Sicherung" "$work/ROBOCOPY.calls"
    printf "$long_job" >"$work/datensicherung.txt"
    start_program
    if wait_for 60 dialog_with_title "'^Datensicherung von'"; then
        # The whole Wine desktop: the application window with the confirmation in front.
        picture "$scaling-application-window" "$(window_titled 'Wine desktop')"
        picture "$scaling-confirmation" "$(window_titled '^Datensicherung von')"
        xdotool key y
        if wait_for 60 untitled_box; then
            picture "$scaling-done-message" "$(untitled_window)"
            xdotool key Return
        else
            fail "$scaling: no message after the copy"
        fi
    else
        fail "$scaling: no confirmation shown"
    fi
    wait_for_end "$scaling: the long job"

    # A job file whose one job has no line ends: the error dialog. Abort ends the program
    # with the error log; any message after it is acknowledged.
    printf 'C:\\Daten' >"$work/datensicherung.txt"
    start_program
    if wait_for 60 dialog_with_title "'^Telvaro Fehlermeldung'"; then
        picture "$scaling-error-dialog" "$(window_titled '^Telvaro Fehlermeldung')"
        xdotool key Return
        for _ in 1 2 3; do
            wait_for 10 untitled_box && xdotool key Return
        done
    else
        fail "$scaling: no error dialog shown"
    fi
    wait_for_end "$scaling: the job without line ends"
done

if [ "$failures" -ne 0 ]; then
    echo "screenshots: $failures step(s) failed; program output:" >&2
    cat "$work/wine.log" >&2 || true
    exit 1
fi
