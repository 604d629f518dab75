#!/usr/bin/env bash
# The sweep's throughput against runs one at a time: the same runs (one setting, RUNS seeds,
# TURNS turns each) through vek-sweep with --jobs 1 and with --jobs JOBS, each in a fresh plan
# folder, and the turns per second of each. On a machine with JOBS free cores the second should
# come close to JOBS times the first.
#
#   bench/sweep_throughput.sh [TURNS] [RUNS] [JOBS]     (defaults 3000, 4, 2; build/ built)
set -euo pipefail
turns=${1:-3000}
runs=${2:-4}
jobs=${3:-2}
bin="$(cd "$(dirname "$0")/.." && pwd)/build/bin"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/bench.toml" <<TOML
name = "bench"
turns = $turns
save_every = $turns
replicates = $runs
TOML

# Plans into $work/$1 and runs it with --jobs $2; prints the turns per second, the wall
# seconds, and the cores the runs kept busy (their CPU seconds over the wall seconds).
rate() {
  "$bin/vek-sweep" plan "$work/bench.toml" --out "$work/$1" >/dev/null
  local start end cpu
  start=$(date +%s.%N)
  "$bin/vek-sweep" run "$work/$1" --jobs "$2" >/dev/null 2>&1
  end=$(date +%s.%N)
  cpu=$(find "$work/$1/runs" -name summary.json -exec awk -F'[:,]' '/"cpu_seconds"/ { print $2 }' {} + |
        awk '{ s += $1 } END { print s }')
  awk -v t="$((turns * runs))" -v s="$start" -v e="$end" -v c="$cpu" \
    'BEGIN { printf "%.1f %.2f %.2f\n", t / (e - s), e - s, c / (e - s) }'
}

echo "runs of $turns turns, $runs seeds; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
read -r one one_s one_cores < <(rate one 1)
read -r many many_s many_cores < <(rate many "$jobs")
echo "--jobs 1:     $one turns/s ($one_s s, $one_cores cores busy)"
echo "--jobs $jobs:     $many turns/s ($many_s s, $many_cores cores busy)"
awk -v a="$one" -v b="$many" -v j="$jobs" 'BEGIN { printf "ratio:       %.2f (ideal %d)\n", b / a, j }'
