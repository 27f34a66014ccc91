#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for a bounded time on its corpus.
#
#   fuzz/run.sh [seconds-per-target]
#
# New inputs go to a temporary folder; a crash is written to fuzz/crashes/ and ends the
# run with a failure. Keep such a file in the target's corpus once the fault is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
compiler=${FUZZ_CXX:-clang++-16}

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER="$compiler" -DDS_FUZZ=ON -DDS_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build-fuzz -j2 --target fuzz_all

mkdir -p fuzz/crashes
status=0
for target in build-fuzz/*_fuzz; do
    name=$(basename "$target" _fuzz)
    scratch=$(mktemp -d)
    echo "== $name: ${seconds}s"
    log="$scratch.log"
    if "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix=fuzz/crashes/"$name"- -print_final_stats=1 \
        "$scratch" fuzz/corpus/"$name" > "$log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$log" | tail -n 2
    else
        tail -n 30 "$log"
        echo "!! $name found a fault; see fuzz/crashes/"
        status=1
    fi
    rm -f "$log"
    rm -rf "$scratch"
done
exit $status
