# The program's windows under Wine, for the scripts that run it as a person would
# (e2e.sh, screenshots.sh): starting it in a Wine desktop, waiting for its dialogs, and
# pictures of its windows. Sourced; the script defines `work` (the program's folder) and
# `fail` (reports a failed check). Every wait is bounded.

screenshot() {
    if [ -n "${DS_WINE_SCREENSHOTS:-}" ] && command -v xwd >/dev/null && [ -x /usr/bin/convert ]; then
        mkdir -p "$DS_WINE_SCREENSHOTS"
        # Each of the program's windows on its own: a picture of the whole display does
        # not show the dialogs inside the Wine desktop.
        local id i=0
        for id in $(xdotool search --onlyvisible --class datensicherung.exe 2>/dev/null); do
            i=$((i + 1))
            xwd -id "$id" -silent | /usr/bin/convert xwd:- "png:$DS_WINE_SCREENSHOTS/$1-$i.png" || true
        done
    fi
}

# Waits up to $1 seconds for the command to succeed.
wait_for() {
    local seconds=$1
    shift
    timeout "$seconds" bash -c "until $*; do sleep 0.2; done" >/dev/null 2>&1
}

dialog_with_title() {
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1
}
export -f dialog_with_title

# A message box shows no title: a visible window of the program other than its console
# window (which bears the program's name).
untitled_window() {
    local id
    for id in $(xdotool search --onlyvisible --class datensicherung.exe 2>/dev/null); do
        if [ -z "$(xdotool getwindowname "$id" 2>/dev/null)" ]; then
            echo "$id"
            return
        fi
    done
}
export -f untitled_window
untitled_box() {
    [ -n "$(untitled_window)" ]
}
export -f untitled_box

program_pid=""
start_program() {
    # In a Wine desktop of its own, so that key presses reach the dialog in front without
    # a window manager.
    (cd "$work" && exec timeout 300 wine explorer "/desktop=e2e,${DS_WINE_DESKTOP:-1024x768}" datensicherung.exe) \
        >"$work/wine.log" 2>&1 &
    program_pid=$!
}

wait_for_end() {
    if ! timeout 60 tail --pid="$program_pid" -f /dev/null; then
        fail "$1: the program did not end"
        kill "$program_pid" 2>/dev/null || true
    fi
    wait "$program_pid" 2>/dev/null || true
}
