#!/usr/bin/env bash
# The copy program at scale: trees of 100,000 and 1,000,000 small files in folders of
# 10-200 files at depths 3 to 8, first copy and unchanged re-run, against "cp -a" and
# "rsync -a", with the peak memory of each run and the floor of each: the system calls
# the work cannot avoid, done by bench/tree_tool.cpp single-threaded and threaded.
# Not part of CI: the million takes 15-30 minutes and about 25 GB of disk.
#
#   bench/scale_bench.sh [path/to/ROBOCOPY.exe]
#
# Settings through the environment: SIZES ("100000 1000000"), THREADS (2, for the
# threaded floor and the /MT run), BENCH_DIR (a folder for the trees; default a new
# temporary folder, removed at the end). The page cache is warm for every run: each
# tool meets the tree as the one before left it.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../build/ROBOCOPY.exe}
sizes=${SIZES:-100000 1000000}
threads=${THREADS:-2}

if [[ ! -x $program ]]; then
    echo "scale_bench: no program at $program (build it first or pass its path)" >&2
    exit 2
fi
for tool in rsync /usr/bin/time c++; do
    command -v "$tool" >/dev/null || { echo "scale_bench: $tool is needed" >&2; exit 2; }
done
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")

work=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/scale-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
c++ -O2 -std=c++20 -pthread -o "$work/tree_tool" "$here/tree_tool.cpp"

# Runs a command; prints its wall seconds and peak memory in KiB. The copy program's
# exit codes below 8 mean success, so the code is not looked at.
measure() {
    { /usr/bin/time -f '%e %M' "$@" 2>&1 >/dev/null || true; } | tail -n 1
}
quiet=(/E /NFL /NDL /NP /R:0 /W:0)
per_file() { awk -v s="$1" -v n="$2" 'BEGIN { printf "%.1f", s * 1e6 / n }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
row() { printf '  %-34s %9s s %8s us/file %8s KiB\n' "$1" "$2" "$(per_file "$2" "$files")" "$3"; }

echo "Machine: $(nproc) cores, load average $(cut -d' ' -f1 /proc/loadavg), $work on $(stat -f -c %T "$work")"
for files in $sizes; do
    src=$work/src
    echo
    echo "== $files files: $("$work/tree_tool" make "$src" "$files" 42)"
    sync
    declare -A t m
    for run in cp rc mt rs floor1 floorN; do rm -rf "${work:?}/$run"; done
    sync

    read -r t[cp] m[cp] < <(measure cp -a "$src" "$work/cp")
    rm -rf "$work/cp"
    read -r t[rc] m[rc] < <(measure "$program" "$src" "$work/rc" "${quiet[@]}")
    read -r t[mt] m[mt] < <(measure "$program" "$src" "$work/mt" "${quiet[@]}" "/MT:$threads")
    rm -rf "$work/mt"
    read -r t[rs] m[rs] < <(measure rsync -a "$src/" "$work/rs/")
    read -r t[floor1] m[floor1] < <(measure "$work/tree_tool" copy "$src" "$work/floor1" 1)
    rm -rf "$work/floor1"
    read -r t[floorN] m[floorN] < <(measure "$work/tree_tool" copy "$src" "$work/floorN" "$threads")
    rm -rf "$work/floorN"
    sync

    read -r t[rc2] m[rc2] < <(measure "$program" "$src" "$work/rc" "${quiet[@]}")
    read -r t[mt2] m[mt2] < <(measure "$program" "$src" "$work/rc" "${quiet[@]}" "/MT:$threads")
    read -r t[rs2] m[rs2] < <(measure rsync -a "$src/" "$work/rs/")
    read -r t[stat1] m[stat1] < <(measure "$work/tree_tool" stat "$src" "$work/rc" 1)
    read -r t[statN] m[statN] < <(measure "$work/tree_tool" stat "$src" "$work/rc" "$threads")
    if ! diff -rq "$src" "$work/rc" >/dev/null; then
        echo "scale_bench: the copy differs from the source" >&2
        exit 1
    fi

    echo "First copy:"
    row "ROBOCOPY.exe" "${t[rc]}" "${m[rc]}"
    row "ROBOCOPY.exe /MT:$threads" "${t[mt]}" "${m[mt]}"
    row "cp -a" "${t[cp]}" "${m[cp]}"
    row "rsync -a" "${t[rs]}" "${m[rs]}"
    row "floor, 1 thread" "${t[floor1]}" "${m[floor1]}"
    row "floor, $threads threads" "${t[floorN]}" "${m[floorN]}"
    echo "Re-run, nothing changed:"
    row "ROBOCOPY.exe" "${t[rc2]}" "${m[rc2]}"
    row "ROBOCOPY.exe /MT:$threads" "${t[mt2]}" "${m[mt2]}"
    row "rsync -a" "${t[rs2]}" "${m[rs2]}"
    row "floor (statx each side), 1 thread" "${t[stat1]}" "${m[stat1]}"
    row "floor, $threads threads" "${t[statN]}" "${m[statN]}"
    echo "Ratios:"
    printf '  %-44s %6s   (goal <= 0.9)\n' "first copy / cp -a" "$(ratio "${t[rc]}" "${t[cp]}")"
    printf '  %-44s %6s\n' "first copy /MT:$threads / cp -a" "$(ratio "${t[mt]}" "${t[cp]}")"
    printf '  %-44s %6s\n' "first copy / floor, 1 thread" "$(ratio "${t[rc]}" "${t[floor1]}")"
    printf '  %-44s %6s   (goal <= 0.4)\n' "re-run / rsync -a" "$(ratio "${t[rc2]}" "${t[rs2]}")"
    printf '  %-44s %6s\n' "re-run /MT:$threads / rsync -a" "$(ratio "${t[mt2]}" "${t[rs2]}")"
    printf '  %-44s %6s\n' "re-run / floor, 1 thread" "$(ratio "${t[rc2]}" "${t[stat1]}")"
    printf '  %-44s %6s\n' "re-run /MT:$threads / floor, $threads threads" "$(ratio "${t[mt2]}" "${t[statN]}")"
    for run in rc rs src; do rm -rf "${work:?}/$run"; done
    unset t m
done
