#!/usr/bin/env bash
# Times vek-plot on long runs, in a temporary folder removed at the end:
#   - the default figure of a save folder's 29 logs of TURNS turns (1,000,000 by default; 1 GB);
#   - the Muller plot of a lineage of TURNS turns (2,000,000 genomes; 540 MB);
#   - a sweep of 2 settings x 3 seeds whose runs' logs have TURNS / 10 turns each (600 MB).
# Each is drawn twice, to show the spread on a busy machine (the page cache holds the files
# after the first); it prints the wall time, processor time and peak memory (/usr/bin/time -v).
# The Google Benchmark program build/bin/vek_plot_bench times the reader, the reduction, the
# drawing and the Muller plot's reading separately.
# Usage: scripts/plot-bench.sh [TURNS]   (after scripts/setup.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
turns="${1:-1000000}"
cmake --build build -j2 --target vek-plot vek-sweep vek_plot_bench >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Draws with the arguments given twice and prints what it took.
timed() {
  local what="$1"
  shift
  for run in 1 2; do
    /usr/bin/time -v build/bin/vek-plot "$@" --quiet 2>"$work/time.txt" || { cat "$work/time.txt" >&2; exit 1; }
    wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
    cpu=$(awk -F': ' '/User time|System time/ {s += $2} END {print s}' "$work/time.txt")
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
    echo "plot-bench: $what, run $run: $wall wall, $cpu s processor, peak memory $((rss / 1024)) MiB"
  done
}

echo "plot-bench: writing the logs of $turns turns"
build/bin/vek_plot_bench --write-logs "$work/world" "$turns"
du -sh "$work/world" | sed 's/^/plot-bench: logs /'
timed "logs" "$work/world" --out "$work/plot.png"

echo "plot-bench: writing a lineage of $turns turns"
build/bin/vek_plot_bench --write-lineage "$work/lineage" "$turns"
du -sh "$work/lineage" | sed 's/^/plot-bench: lineage /'
timed "Muller plot" "$work/lineage" --muller --out "$work/muller.png"

sweepTurns=$((turns / 10))
echo "plot-bench: writing a sweep of 6 runs of $sweepTurns turns"
cat >"$work/sweep.toml" <<EOT
name = "bench"
turns = $sweepTurns
save_every = $sweepTurns
replicates = 3
[grid]
mField_capacity = [0.3, 0.5]
EOT
build/bin/vek-sweep plan "$work/sweep.toml" --out "$work/sweep" >/dev/null
for run in "$work"/sweep/runs/*/seed=*; do
  build/bin/vek_plot_bench --write-logs "$run/original_log" "$sweepTurns"
done
du -sh "$work/sweep" | sed 's/^/plot-bench: sweep /'
timed "sweep" "$work/sweep" --out "$work/sweep.png"
