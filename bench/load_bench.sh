#!/usr/bin/env bash
# The program under load: a job file of 3000 bytes with nine sections whose sources are
# deep trees of 100,000 files in all, copied with the real ROBOCOPY.exe. Prints the peak
# memory (resident set) of the backup program and of each copy, and the times.
#
#   bench/load_bench.sh [build-folder] [files]
#
# The program's own memory must not grow with the trees: it only hands the folders to
# the copy program, whose walk is the one part that sees every file.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
files=${2:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (package time)"; exit 1; }

mkdir -p "$work/prog"
cp "$build/datensicherung" "$work/prog/datensicherung"
cp "$build/ROBOCOPY.exe" "$work/prog/ROBOCOPY.real"
# Each copy's peak memory, one line per copy.
cat > "$work/prog/ROBOCOPY.exe" <<SH
#!/bin/sh
exec /usr/bin/time -a -o "$work/copy.mem" -f '%M %e' "$work/prog/ROBOCOPY.real" "\$@"
SH
chmod +x "$work/prog/ROBOCOPY.exe"

# Nine sources, each a tree seven levels deep with small files at every level.
echo "making $files files in nine trees ..."
python3 - "$work/q" "$files" <<'PY'
import os, sys
root, total = sys.argv[1], int(sys.argv[2])
per_tree = total // 9
for t in range(1, 10):
    made = 0
    n = 0
    while made < per_tree:
        # a path seven levels deep, spread over 4 folders per level
        parts = [f"ebene{(n >> (2 * level)) & 3}" for level in range(7)]
        folder = os.path.join(root + str(t), *parts)
        os.makedirs(folder, exist_ok=True)
        for f in range(min(20, per_tree - made)):
            with open(os.path.join(folder, f"datei{f}.txt"), "w") as out:
                out.write(f"{t}/{n}/{f}\n")
            made += 1
        n += 1
PY

# Nine sections padded to 3000 bytes: long further arguments (excluded names that match
# nothing) keep every section whole and the closing header inside the first 3000 bytes.
python3 - "$work" > "$work/prog/datensicherung.txt" <<'PY'
import sys
work = sys.argv[1]
sections = [f"[{n}]\r\n{work}/q{n}\r\n{work}/z{n}\r\n*.*\r\n/E /R:0 /W:0 /NFL /NDL"
            for n in range(1, 10)]
closing = "[10]\r\n"
base = sum(len(s) + 2 for s in sections) + len(closing)
pad = (3000 - base) // 9
if pad > 6:
    sections = [s + " /XF " + "k" * (pad - 5) for s in sections]
text = "".join(s + "\r\n" for s in sections) + closing
sys.stdout.write(text + " " * (3000 - len(text)))
PY
bytes=$(wc -c < "$work/prog/datensicherung.txt")
echo "job file: $bytes bytes, $(grep -c '^\[' "$work/prog/datensicherung.txt") headers"

answers=$(for n in $(seq 1 9); do printf 'j\n\n'; done)
cd "$work/prog"
printf '%s\n' "$answers" | /usr/bin/time -o "$work/program.mem" -f '%M %e' \
    ./datensicherung > "$work/out.txt"
done_count=$(grep -c 'erledigt' "$work/out.txt" || true)
copied=$(find "$work" -path "$work/z*" -type f | wc -l)

made=$(find "$work" -path "$work/q*" -type f | wc -l)
read -r program_kb program_s < <(grep -E '^[0-9]+ [0-9.]+$' "$work/program.mem" | tail -n 1)
echo "jobs done:                  $done_count of 9"
echo "files copied:               $copied of $made"
echo "backup program peak RSS:    ${program_kb} KiB (whole run ${program_s} s)"
awk '/^[0-9]+ [0-9.]+$/ { if ($1 > max) max = $1; sum += $2; n++ }
     END { printf "ROBOCOPY.exe peak RSS:      %d KiB (largest of %d copies, %.1f s in all)\n", max, n, sum }' \
    "$work/copy.mem"

# The same with a tiny tree: the program's memory does not depend on the trees.
for n in $(seq 1 9); do rm -rf "$work/q$n" "$work/z$n"; mkdir -p "$work/q$n"; echo x > "$work/q$n/a.txt"; done
printf '%s\n' "$answers" | /usr/bin/time -o "$work/small.mem" -f '%M %e' ./datensicherung > /dev/null
read -r small_kb _ < <(grep -E '^[0-9]+ [0-9.]+$' "$work/small.mem" | tail -n 1)
echo "backup program, tiny trees: ${small_kb} KiB"
