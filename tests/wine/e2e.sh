#!/usr/bin/env bash
# End-to-end run of the Windows program under Wine, as a person runs it: the program and a
# recording ROBOCOPY.exe in a folder of their own with a job file, the confirmations
# answered with key presses on a virtual display. Checks the folders made and the copy
# program's command lines: a target root with "&" in it stays one folder and nothing else
# runs, and folder names with umlauts arrive as written, from a UTF-8 job file with a
# byte-order mark and from one in code page 1252.
#
#   tests/wine/e2e.sh BUILD_DIR
#
# BUILD_DIR holds datensicherung.exe and robocopy_recorder.exe (the cross build). Without
# WINEPREFIX and DISPLAY the script starts itself inside tests/wine/wine-session.sh.
# With DS_WINE_SCREENSHOTS=folder it saves a picture of each dialog there (needs xwd and
# ImageMagick). Every wait is bounded.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
    exec "$here/wine-session.sh" "$0" "$@"
fi
build=$(cd "$1" && pwd)
for program in datensicherung.exe robocopy_recorder.exe; do
    if [ ! -f "$build/$program" ]; then
        echo "e2e: $build/$program is missing (cross build first)" >&2
        exit 2
    fi
done

drive_c="$WINEPREFIX/drive_c"
work="$drive_c/ds-e2e"
rm -rf "$work" "$drive_c/Sicherung & Archiv" "$drive_c/Sicherung"
mkdir -p "$work"
cp "$build/datensicherung.exe" "$work/"
cp "$build/robocopy_recorder.exe" "$work/ROBOCOPY.exe"

# shellcheck source=tests/wine/program_windows.sh
. "$here/program_windows.sh"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
pass() {
    echo "ok: $*"
}

# The folders the program picks today: the month before ("202611" in December 2026,
# "202700" in January) and the weekday ("Freitag2" on the second Friday).
today=$(date +%F)
month_folder=$(printf '%s%02d' "$(date +%Y)" $((10#$(date +%m) - 1)))
weekdays=(Montag Dienstag Mittwoch Donnerstag Freitag Samstag Sonntag)
weekday_folder=${weekdays[$(($(date +%u) - 1))]}
if [ "$weekday_folder" = Freitag ]; then
    weekday_folder="Freitag$((10#$(date +%d) / 7 + 1))"
fi

calls_recorded() {
    local n=0
    [ -f "$work/ROBOCOPY.calls" ] && n=$(grep -c '^--$' "$work/ROBOCOPY.calls" || true)
    [ "$n" -ge "$1" ]
}
export -f calls_recorded
export work

# Answers one job's confirmation with the key and acknowledges the message that follows.
answer_job() {
    local name=$1 key=$2 calls_after=$3
    if ! wait_for 60 dialog_with_title "'^Datensicherung von'"; then
        fail "$name: no confirmation shown"
        return 1
    fi
    screenshot "$name-confirmation"
    xdotool key "$key"
    if [ "$key" = y ] && ! wait_for 60 calls_recorded "$calls_after"; then
        fail "$name: ROBOCOPY.exe was not started"
        return 1
    fi
    if ! wait_for 60 untitled_box; then
        fail "$name: no message after the confirmation"
        return 1
    fi
    screenshot "$name-message"
    xdotool key Return
    wait_for 30 "! untitled_box" || true
}

recorded_call() {
    # The arguments of call $1 (1-based), one per line.
    awk -v want="$1" '$0 == "--" { n++; next } n == want - 1 { print }' "$work/ROBOCOPY.calls"
}

# --- Run 1: UTF-8 with a byte-order mark; a target root with "&", umlauts in folders ---
mkdir -p "$work/Archiv"
# Would the interpreter split "MD C:\Sicherung & Archiv\<month>" at the "&", it would run
# Archiv\<month> from the current folder: this batch file leaves a mark then.
printf '@echo ran> "%%~dp0..\\split-ran.txt"\r\n' >"$work/Archiv/$month_folder.bat"
printf '\xEF\xBB\xBF[1]\r\nquelle\r\nC:\\Sicherung & Archiv\r\n*.*\r\n/E\r\n[2]\r\nQ\xC3\xBClle B\xC3\xBCro\r\nC:\\Sicherung\\B\xC3\xBCro \xC3\x84rger\r\n*.txt\r\n/R:0 /W:0\r\n[3]\r\n' \
    >"$work/datensicherung.txt"
start_program
answer_job utf8-job1 y 1 && answer_job utf8-job2 y 2
wait_for_end "UTF-8 job file"

if [ -d "$drive_c/Sicherung & Archiv/$month_folder" ]; then
    pass "target root with & made as one folder"
else
    fail "folder 'C:\\Sicherung & Archiv\\$month_folder' missing"
fi
if [ -e "$work/split-ran.txt" ]; then
    fail "the command interpreter ran part of the folder name"
else
    pass "nothing but MD ran"
fi
if [ "$(ls -A "$drive_c/Sicherung & Archiv" 2>/dev/null)" = "$month_folder" ]; then
    pass "nothing else made under the & root"
else
    fail "unexpected content under the & root: $(ls -A "$drive_c/Sicherung & Archiv" 2>/dev/null | tr '\n' ' ')"
fi
if [ -d "$drive_c/Sicherung/Büro Ärger/$month_folder" ]; then
    pass "umlaut folder made from the UTF-8 job file"
else
    fail "folder 'C:\\Sicherung\\Büro Ärger\\$month_folder' missing: $(ls -A "$drive_c/Sicherung" 2>/dev/null | tr '\n' ' ')"
fi
expected1=$(printf 'quelle\nC:\\Sicherung & Archiv\\%s\n*.*\n/E' "$month_folder")
expected2=$(printf 'Qülle Büro\nC:\\Sicherung\\Büro Ärger\\%s\n*.txt\n/R:0\n/W:0' "$month_folder")
if [ -f "$work/ROBOCOPY.calls" ] && [ "$(recorded_call 1)" = "$expected1" ]; then
    pass "copy 1 got its four arguments"
else
    fail "copy 1 arguments: $(recorded_call 1 2>/dev/null | tr '\n' '|')"
fi
if [ -f "$work/ROBOCOPY.calls" ] && [ "$(recorded_call 2)" = "$expected2" ]; then
    pass "copy 2 got its folders with umlauts"
else
    fail "copy 2 arguments: $(recorded_call 2 2>/dev/null | tr '\n' '|')"
fi

# --- Run 2: the same folders from a job file in code page 1252; the second job is
# cancelled with Esc. The month folder exists now, so the weekday folder is the target ---
printf '[1]\r\nQ\xFClle B\xFCro\r\nC:\\Sicherung\\B\xFCro \xC4rger\r\n*.txt\r\n/E\r\n[2]\r\nquelle\r\nC:\\Sicherung\\B\xFCro \xC4rger\r\n*.*\r\n/E\r\n[3]\r\n' \
    >"$work/datensicherung.txt"
start_program
answer_job cp1252-job1 y 3 && answer_job cp1252-job2 Escape 3
wait_for_end "code page job file"

if [ -d "$drive_c/Sicherung/Büro Ärger/$weekday_folder" ]; then
    pass "umlaut weekday folder made from the code page job file"
else
    fail "folder 'C:\\Sicherung\\Büro Ärger\\$weekday_folder' missing: $(ls -A "$drive_c/Sicherung/Büro Ärger" 2>/dev/null | tr '\n' ' ')"
fi
expected3=$(printf 'Qülle Büro\nC:\\Sicherung\\Büro Ärger\\%s\n*.txt\n/E' "$weekday_folder")
if [ -f "$work/ROBOCOPY.calls" ] && [ "$(recorded_call 3)" = "$expected3" ]; then
    pass "copy 3 got the code page folders as UTF-8"
else
    fail "copy 3 arguments: $(recorded_call 3 2>/dev/null | tr '\n' '|')"
fi
if [ -f "$work/ROBOCOPY.calls" ] && [ "$(grep -c '^--$' "$work/ROBOCOPY.calls")" -eq 3 ]; then
    pass "the cancelled job copied nothing"
else
    fail "expected exactly 3 copies"
fi

if [ "$(date +%F)" != "$today" ]; then
    echo "e2e: the date changed during the run; the folder names checked may be yesterday's" >&2
    [ "$failures" -eq 0 ] || exit 0
fi
if [ "$failures" -ne 0 ]; then
    echo "e2e: $failures check(s) failed; program output:" >&2
    cat "$work/wine.log" >&2 || true
    exit 1
fi
echo "e2e: all checks passed"
