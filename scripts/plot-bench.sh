#!/usr/bin/env bash
# Times vek-plot on the logs of a long run: writes a save folder's 29 logs for TURNS turns
# (1,000,000 by default; about 1 GB, in a temporary folder removed at the end), draws the
# default figure from them and prints the wall time and the peak memory (/usr/bin/time -v).
# The Google Benchmark program build/bin/vek_plot_bench times the reader, the reduction and
# the drawing separately.
# Usage: scripts/plot-bench.sh [TURNS]   (after scripts/setup.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
turns="${1:-1000000}"
cmake --build build -j2 --target vek-plot vek_plot_bench >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
echo "plot-bench: writing the logs of $turns turns"
build/bin/vek_plot_bench --write-logs "$work/world" "$turns"
du -sh "$work/world" | sed 's/^/plot-bench: logs /'
# Twice, to show the spread on a busy machine; both read the logs from the page cache the write filled.
for run in 1 2; do
  /usr/bin/time -v build/bin/vek-plot "$work/world" --out "$work/plot.png" 2>"$work/time.txt"
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
  cpu=$(awk -F': ' '/User time|System time/ {s += $2} END {print s}' "$work/time.txt")
  rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
  echo "plot-bench: run $run: $wall wall, $cpu s processor, peak memory $((rss / 1024)) MiB"
done
