#!/usr/bin/env bash
# Times ROBOCOPY.exe against "cp -a" and "rsync -a" on the same tree and prints
# the figures and their ratios. Builds nothing: pass the program's path as the
# first argument, or build it first (it defaults to build/ROBOCOPY.exe).
#
#   bench/copy_bench.sh [path/to/ROBOCOPY.exe]
#
# Settings through the environment: SMALL_FILES (20000), BIG_FILES (3),
# BIG_MB (50), CHANGED_PERCENT (5), ROUNDS (3, the best round counts),
# THREADS (8, for the extra /MT run), BENCH_DIR (a folder for the trees;
# default a new temporary folder, removed at the end).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../build/ROBOCOPY.exe}
small_files=${SMALL_FILES:-20000}
big_files=${BIG_FILES:-3}
big_mb=${BIG_MB:-50}
changed_percent=${CHANGED_PERCENT:-5}
rounds=${ROUNDS:-3}
threads=${THREADS:-8}

if [[ ! -x $program ]]; then
    echo "copy_bench: no program at $program (build it first or pass its path)" >&2
    exit 2
fi
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
have_rsync=1
command -v rsync >/dev/null 2>&1 || have_rsync=0

work=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/copy-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
src=$work/src

echo "Building the tree: $small_files small files, $big_files files of $big_mb MB in $work"
perl -e '
    my ($root, $count) = @ARGV;
    srand(42);
    for my $i (0 .. $count - 1) {
        my $dir = sprintf("%s/d%03d/e%02d", $root, int($i / 400), int($i / 40) % 10);
        unless (-d $dir) { system("mkdir", "-p", $dir) == 0 or die "mkdir $dir" }
        open(my $f, ">", "$dir/file$i.dat") or die "$dir/file$i.dat: $!";
        my $size = 200 + int(rand(8000));
        print $f chr(65 + $i % 26) x $size;
        close($f);
    }
' "$src" "$small_files"
for ((i = 0; i < big_files; i++)); do
    head -c $((big_mb * 1024 * 1024)) /dev/urandom >"$src/big$i.bin"
done
sync

# shellcheck source=bench/timing.sh
source "$here/timing.sh"

robocopy() { "$program" "$src" "$1" /E /NFL /NDL /NP /R:0 /W:0 "${@:2}"; }

# Marks CHANGED_PERCENT of the small files as changed: new content and time.
change_files() {
    local round=$1
    perl -e '
        my ($root, $count, $percent, $round) = @ARGV;
        my $step = int(100 / $percent);
        for (my $i = $round % $step; $i < $count; $i += $step) {
            my $path = sprintf("%s/d%03d/e%02d/file%d.dat", $root, int($i / 400),
                               int($i / 40) % 10, $i);
            open(my $f, ">>", $path) or die "$path: $!";
            print $f "changed in round $round\n";
            close($f);
            my $t = time() + 10 + $round;
            utime($t, $t, $path);
        }
    ' "$src" "$small_files" "$changed_percent" "$round"
}

declare -a t_rc t_mt t_cp t_rs r_rc r_mt r_rs c_rc c_mt c_rs
for ((round = 0; round < rounds; round++)); do
    rm -rf "$work"/rc "$work"/mt "$work"/cp "$work"/rs
    sync
    t_rc+=("$(timed robocopy "$work/rc")")
    t_mt+=("$(timed robocopy "$work/mt" "/MT:$threads")")
    t_cp+=("$(timed cp -a "$src" "$work/cp")")
    if ((have_rsync)); then
        t_rs+=("$(timed rsync -a "$src/" "$work/rs/")")
    fi
done
for ((round = 0; round < rounds; round++)); do
    r_rc+=("$(timed robocopy "$work/rc")")
    r_mt+=("$(timed robocopy "$work/mt" "/MT:$threads")")
    if ((have_rsync)); then
        r_rs+=("$(timed rsync -a "$src/" "$work/rs/")")
    fi
done
for ((round = 0; round < rounds; round++)); do
    change_files "$round"
    c_rc+=("$(timed robocopy "$work/rc")")
    c_mt+=("$(timed robocopy "$work/mt" "/MT:$threads")")
    if ((have_rsync)); then
        c_rs+=("$(timed rsync -a "$src/" "$work/rs/")")
    fi
done

for copy in rc mt; do
    if ! diff -r "$src" "$work/$copy" >/dev/null; then
        echo "copy_bench: the copy in $copy differs from the source" >&2
        exit 1
    fi
done

initial_rc=$(min "${t_rc[@]}")
initial_mt=$(min "${t_mt[@]}")
initial_cp=$(min "${t_cp[@]}")
rerun_rc=$(min "${r_rc[@]}")
rerun_mt=$(min "${r_mt[@]}")
changed_rc=$(min "${c_rc[@]}")
changed_mt=$(min "${c_mt[@]}")

echo
echo "Best of $rounds rounds, seconds ($(nproc) cores, load average $(cut -d' ' -f1 /proc/loadavg)):"
printf '  %-34s %8.3f\n' "initial copy, ROBOCOPY.exe" "$initial_rc"
printf '  %-34s %8.3f\n' "initial copy, ROBOCOPY.exe /MT:$threads" "$initial_mt"
printf '  %-34s %8.3f\n' "initial copy, cp -a" "$initial_cp"
if ((have_rsync)); then
    initial_rs=$(min "${t_rs[@]}")
    rerun_rs=$(min "${r_rs[@]}")
    changed_rs=$(min "${c_rs[@]}")
    printf '  %-34s %8.3f\n' "initial copy, rsync -a" "$initial_rs"
fi
printf '  %-34s %8.3f\n' "re-run, nothing changed, ROBOCOPY" "$rerun_rc"
printf '  %-34s %8.3f\n' "re-run, nothing changed, /MT:$threads" "$rerun_mt"
((have_rsync)) && printf '  %-34s %8.3f\n' "re-run, nothing changed, rsync -a" "$rerun_rs"
printf '  %-34s %8.3f\n' "re-run, ${changed_percent}% changed, ROBOCOPY" "$changed_rc"
printf '  %-34s %8.3f\n' "re-run, ${changed_percent}% changed, /MT:$threads" "$changed_mt"
((have_rsync)) && printf '  %-34s %8.3f\n' "re-run, ${changed_percent}% changed, rsync -a" "$changed_rs"
echo
echo "Ratios (below 1 means ROBOCOPY.exe was faster):"
printf '  %-46s %6s\n' "initial copy / cp -a" "$(ratio "$initial_rc" "$initial_cp")"
printf '  %-46s %6s\n' "initial copy /MT:$threads / cp -a" "$(ratio "$initial_mt" "$initial_cp")"
if ((have_rsync)); then
    printf '  %-46s %6s\n' "initial copy / rsync -a" "$(ratio "$initial_rc" "$initial_rs")"
    printf '  %-46s %6s\n' "re-run, nothing changed / rsync -a" "$(ratio "$rerun_rc" "$rerun_rs")"
    printf '  %-46s %6s\n' "re-run, nothing changed, /MT:$threads / rsync -a" "$(ratio "$rerun_mt" "$rerun_rs")"
    printf '  %-46s %6s\n' "re-run, ${changed_percent}% changed / rsync -a" "$(ratio "$changed_rc" "$changed_rs")"
    printf '  %-46s %6s\n' "re-run, ${changed_percent}% changed, /MT:$threads / rsync -a" "$(ratio "$changed_mt" "$changed_rs")"
else
    echo "  (rsync is not installed: its comparisons are skipped)"
fi
