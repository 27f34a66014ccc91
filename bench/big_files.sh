#!/usr/bin/env bash
# Times ROBOCOPY.exe against "cp -a" on big files: one file of random data and
# one sparse file (data in a few places, holes between and at the end), and
# prints the figures, their ratios and the space each copy takes on disk.
# Builds nothing: pass the program's path as the first argument, or build it
# first (it defaults to build/ROBOCOPY.exe).
#
#   bench/big_files.sh [path/to/ROBOCOPY.exe]
#
# Settings through the environment: BIG_MB (1024, the file of data),
# SPARSE_MB (3072, the sparse file's size), ROUNDS (3, the best round counts),
# BENCH_DIR (a folder for the files; default a new temporary folder, removed at
# the end; the copies land on the same file system).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../build/ROBOCOPY.exe}
big_mb=${BIG_MB:-1024}
sparse_mb=${SPARSE_MB:-3072}
rounds=${ROUNDS:-3}

if [[ ! -x $program ]]; then
    echo "big_files: no program at $program (build it first or pass its path)" >&2
    exit 2
fi
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")

work=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/big-files.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/data" "$work/sparse"

echo "Making a file of $big_mb MB and a sparse file of $sparse_mb MB in $work" \
    "($(df -T "$work" | awk 'NR == 2 { print $2 }'))"
head -c $((big_mb * 1024 * 1024)) /dev/urandom >"$work/data/big.bin"
# Four MB of data at the start, at a third, at two thirds; the last third a hole.
sparse=$work/sparse/sparse.bin
truncate -s "${sparse_mb}M" "$sparse"
for at in 0 $((sparse_mb / 3)) $((sparse_mb * 2 / 3)); do
    head -c $((4 * 1024 * 1024)) /dev/urandom |
        dd of="$sparse" bs=1M seek="$at" conv=notrunc status=none
done
sync

# shellcheck source=bench/timing.sh
source "$here/timing.sh"
used_mb() { du -k "$1" | awk '{ printf "%.1f\n", $1 / 1024 }'; }

robocopy() { "$program" "$1" "$2" /E /NFL /NDL /NP /R:0 /W:0; }

declare -A best
for kind in data sparse; do
    t_rc=() t_cp=()
    for ((round = 0; round < rounds; round++)); do
        rm -rf "$work/rc-$kind" "$work/cp-$kind"
        sync
        # Turn about, so that neither always meets the other's write-back.
        if ((round % 2 == 0)); then
            t_rc+=("$(timed robocopy "$work/$kind" "$work/rc-$kind")")
            sync
            t_cp+=("$(timed cp -a "$work/$kind" "$work/cp-$kind")")
        else
            t_cp+=("$(timed cp -a "$work/$kind" "$work/cp-$kind")")
            sync
            t_rc+=("$(timed robocopy "$work/$kind" "$work/rc-$kind")")
        fi
        sync
    done
    best[rc-$kind]=$(min "${t_rc[@]}")
    best[cp-$kind]=$(min "${t_cp[@]}")
    if ! cmp -s "$work/$kind"/*.bin "$work/rc-$kind"/*.bin; then
        echo "big_files: the copy of the $kind file differs from the source" >&2
        exit 1
    fi
done

echo
echo "Best of $rounds rounds, seconds ($(nproc) cores, load average $(cut -d' ' -f1 /proc/loadavg)):"
printf '  %-40s %8.3f\n' "$big_mb MB of data, ROBOCOPY.exe" "${best[rc-data]}"
printf '  %-40s %8.3f\n' "$big_mb MB of data, cp -a" "${best[cp-data]}"
printf '  %-40s %8.3f\n' "$sparse_mb MB sparse, ROBOCOPY.exe" "${best[rc-sparse]}"
printf '  %-40s %8.3f\n' "$sparse_mb MB sparse, cp -a" "${best[cp-sparse]}"
echo
echo "Ratios (below 1 means ROBOCOPY.exe was faster):"
printf '  %-40s %6s\n' "data / cp -a" "$(ratio "${best[rc-data]}" "${best[cp-data]}")"
printf '  %-40s %6s\n' "sparse / cp -a" "$(ratio "${best[rc-sparse]}" "${best[cp-sparse]}")"
echo
echo "Space on disk of the sparse file, MB:"
printf '  %-40s %8s\n' "source" "$(used_mb "$sparse")"
printf '  %-40s %8s\n' "ROBOCOPY.exe's copy" "$(used_mb "$work/rc-sparse/sparse.bin")"
printf '  %-40s %8s\n' "cp -a's copy" "$(used_mb "$work/cp-sparse/sparse.bin")"
