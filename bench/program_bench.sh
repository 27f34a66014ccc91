#!/usr/bin/env bash
# Start-up and per-job cost of the backup program, against a plain shell script doing
# the same folder tests, folder making and program starts; and the program's peak memory.
#
#   bench/program_bench.sh [build-folder] [runs]
#
# Nine jobs in numbered sections, every confirmation answered on standard input, a copy
# program that does nothing. Prints milliseconds per run and per job, and the ratios.
# Then the start-up and one cancelled job again with IDLE_PROCESSES (2000) sleeping
# processes around: the test for a job file held open elsewhere must not grow with them.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
runs=${2:-30}
work=$(mktemp -d)
sleepers=()
trap 'kill "${sleepers[@]}" 2>/dev/null; rm -rf "$work"' EXIT

cp "$build/datensicherung" "$work/datensicherung"
printf '#!/bin/sh\nexit 0\n' > "$work/ROBOCOPY.exe"
chmod +x "$work/ROBOCOPY.exe"

jobs=9
{
    for n in $(seq 1 $jobs); do
        printf '[%d]\r\nquelle%d\r\nziel%d\r\n*.*\r\n/E\r\n' "$n" "$n" "$n"
    done
    printf '[%d]\r\n' $((jobs + 1))
} > "$work/nine.txt"
printf '[1]\r\n' > "$work/none.txt"
printf '[1]\r\nquelle1\r\nziel1\r\n*.*\r\n/E\r\n[2]\r\n' > "$work/one.txt"
nine_answers=$(for n in $(seq 1 $jobs); do printf 'j\n\n'; done)
cancel_answers=$(printf 'n\n\n')
answers=$nine_answers

# The shell script's version of the same work.
cat > "$work/shell_jobs.sh" <<'SH'
#!/bin/sh
month=$(date +%Y)$(printf '%02d' $(( $(date +%-m) - 1 )))
day=$(date +%A)
for n in 1 2 3 4 5 6 7 8 9; do
    target="ziel$n/$month"
    if [ ! -d "$target" ]; then mkdir -p "$target"
    elif [ ! -d "ziel$n/$day" ]; then mkdir -p "ziel$n/$day"; target="ziel$n/$day"
    else target="ziel$n/$day"; fi
    read -r answer
    ./ROBOCOPY.exe "quelle$n" "$target" '*.*' /E
    read -r ack
done
SH
chmod +x "$work/shell_jobs.sh"

now_ns() { date +%s%N; }

# Mean milliseconds of `runs` runs of a command in $work with the answers on stdin.
measure() {
    local start end
    (cd "$work" && for _ in 1 2 3; do printf '%s\n' "$answers" | "$@" > /dev/null; done)
    start=$(now_ns)
    (cd "$work" && for _ in $(seq 1 "$runs"); do printf '%s\n' "$answers" | "$@" > /dev/null; done)
    end=$(now_ns)
    echo "scale=3; ($end - $start) / 1000000 / $runs" | bc
}

# Start-up with no job, and the whole run of one job that is cancelled.
startup_and_cancel() {
    cp "$work/none.txt" "$work/datensicherung.txt"
    startup=$(measure ./datensicherung)
    cp "$work/one.txt" "$work/datensicherung.txt"
    answers=$cancel_answers
    cancelled=$(measure ./datensicherung)
    answers=$nine_answers
}

startup_and_cancel
cp "$work/nine.txt" "$work/datensicherung.txt"
program=$(measure ./datensicherung)
shell=$(measure ./shell_jobs.sh)
empty_shell=$(measure /bin/true)

per_job_program=$(echo "scale=3; ($program - $startup) / $jobs" | bc)
per_job_shell=$(echo "scale=3; ($shell - $empty_shell) / $jobs" | bc)

peak_kb=$(cd "$work" && printf '%s\n' "$answers" |
    /usr/bin/time -f '%M' ./datensicherung 2>&1 >/dev/null | tail -n 1)

printf 'runs                          %d\n' "$runs"
printf 'one empty command (loop cost)  %8.3f ms\n' "$empty_shell"
printf 'start-up and end, no job      %8.3f ms\n' "$startup"
printf 'start-up less the loop cost   %8.3f ms   (target < 10 ms)\n' \
    "$(echo "scale=3; $startup - $empty_shell" | bc)"
printf 'one cancelled job, whole run  %8.3f ms\n' "$cancelled"
printf 'cancelled job / /bin/true     %8.3f     (target <= 2)\n' \
    "$(echo "scale=3; $cancelled / $empty_shell" | bc)"
printf 'nine jobs, program            %8.3f ms\n' "$program"
printf 'nine jobs, shell script       %8.3f ms\n' "$shell"
printf 'per job, program              %8.3f ms\n' "$per_job_program"
printf 'per job, shell script         %8.3f ms\n' "$per_job_shell"
printf 'per-job ratio program/shell   %8.3f     (target <= 1)\n' \
    "$(echo "scale=3; $per_job_program / $per_job_shell" | bc)"
printf 'peak memory, nine jobs        %8d KiB  (target < 8192 KiB)\n' "$peak_kb"

# The same start-up among many idle processes.
idle=${IDLE_PROCESSES:-2000}
for _ in $(seq 1 "$idle"); do
    sleep 600 &
    sleepers+=($!)
done
startup_and_cancel
empty_shell=$(measure /bin/true)
kill "${sleepers[@]}" 2>/dev/null || true
wait 2>/dev/null || true
printf 'with %d idle processes:\n' "$idle"
printf '  one empty command (loop cost) %8.3f ms\n' "$empty_shell"
printf '  start-up and end, no job      %8.3f ms\n' "$startup"
printf '  one cancelled job, whole run  %8.3f ms\n' "$cancelled"
