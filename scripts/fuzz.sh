#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs one of them.
# Usage: scripts/fuzz.sh TARGET [SECONDS]
#   TARGET: lives_fuzz, parameter_fuzz, initial_gene_fuzz or snapshot_reader_fuzz
# The corpus grows in build-fuzz/corpus/TARGET/, seeded from the test fixtures; findings are
# written to build-fuzz/findings/. Without SECONDS it runs for 600 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
target="${1:?usage: scripts/fuzz.sh TARGET [SECONDS]}"
seconds="${2:-600}"

cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target "$target" -j 2

corpus="build-fuzz/corpus/$target"
mkdir -p "$corpus" build-fuzz/findings
case "$target" in
  lives_fuzz) seeds=(tests/data/saved_world/Ostrel.lives tests/data/saved_world/Vind.lives) ;;
  parameter_fuzz) seeds=(tests/data/parameter.pini) ;;
  initial_gene_fuzz) seeds=(tests/data/gene.gini) ;;
  snapshot_reader_fuzz) seeds=(tests/data/*.view) ;;
  *) seeds=() ;;
esac
for seed in "${seeds[@]}"; do cp -n "$seed" "$corpus/" 2>/dev/null || true; done

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"build-fuzz/$target" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 \
  -artifact_prefix=build-fuzz/findings/"$target"- -print_final_stats=1
