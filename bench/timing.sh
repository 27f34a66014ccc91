# Timing helpers shared by the copy benchmarks; sourced, not run.

now() { date +%s.%N; }
# Runs a command and prints its wall time in seconds; output is thrown away.
timed() {
    local start end
    start=$(now)
    "$@" >/dev/null 2>&1 || true
    end=$(now)
    awk -v a="$end" -v b="$start" 'BEGIN { printf "%.4f\n", a - b }'
}
min() { printf '%s\n' "$@" | sort -g | head -n1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f\n", a / b }'; }
