#!/usr/bin/env bash
# The windowed simulator's speed against vek-batch's on the same world over the same turns.
#
# Grows a world from the built-in genome with vek-batch (WARMUP turns), then, ROUNDS times in
# turn, runs a fresh copy of it TURNS turns further with vek-batch and with
# vek-gui-turn-rate (the main window of vek with all five views open, under xvfb-run), and
# prints each run's turns per second and processor time per turn of the world's worker, then
# the medians and their ratio.
#
# Both workers run at the same priority: vek lowers its worker to nice 19, so vek-batch runs
# under `nice -n 19` here; with VEK_SPEED_PRIORITY=normal both keep the shell's priority
# instead (vek-gui-turn-rate --normal-priority), which holds up better against other work on a
# shared machine. There the wall-clock rates say little; the processor time per turn of the
# worker is the steadier figure.
#
# Usage: scripts/gui-speed.sh [TURNS [ROUNDS [WARMUP]]]   (defaults 4000, 3, 3000)
# Needs the build in build/ (vek-batch, vek-gui-turn-rate) and xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."
turns=${1:-4000}
rounds=${2:-3}
warmup=${3:-3000}
bin=$PWD/build/bin
for tool in vek-batch vek-gui-turn-rate; do
  [ -x "$bin/$tool" ] || { echo "gui-speed: build $bin/$tool first" >&2; exit 1; }
done
command -v xvfb-run >/dev/null || { echo "gui-speed: needs xvfb-run (Debian package xvfb)" >&2; exit 1; }

batch_nice=(nice -n 19)
gui_flags=()
if [ "${VEK_SPEED_PRIORITY:-lowest}" = normal ]; then
  batch_nice=()
  gui_flags=(--normal-priority)
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/vek-batch" --base "$work/base" --turns "$warmup" --quiet
world="$work/base/original_log"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

: >"$work/batch.rates"; : >"$work/gui.rates"; : >"$work/batch.cpu"; : >"$work/gui.cpu"
for round in $(seq "$rounds"); do
  rm -rf "$work/run"; cp -r "$world" "$work/run"
  "${batch_nice[@]}" "$bin/vek-batch" --load "$work/run" --turns "$turns" --quiet --summary "$work/summary.json"
  rate=$(sed -n 's/.*"turns_per_second": *\([0-9.e+-]*\).*/\1/p' "$work/summary.json")
  cpu=$(sed -n 's/.*"cpu_seconds": *\([0-9.e+-]*\).*/\1/p' "$work/summary.json")
  echo "$rate" >>"$work/batch.rates"
  awk -v c="$cpu" -v t="$turns" 'BEGIN { print 1e6 * c / t }' >>"$work/batch.cpu"

  rm -rf "$work/run"; cp -r "$world" "$work/run"
  if ! line=$(xvfb-run -a -s "-screen 0 1600x1200x24" "$bin/vek-gui-turn-rate" --load "$work/run" --turns "$turns" \
    "${gui_flags[@]}" 2>"$work/gui.err") || [ -z "$line" ]; then
    # Another X server may have taken the display xvfb-run chose: that round does not count.
    echo "round $round: vek-gui-turn-rate failed: $(tail -1 "$work/gui.err")" >&2
    sed -i '$d' "$work/batch.rates" "$work/batch.cpu"
    continue
  fi
  # "... (R turns/s); processor time P s, G s of it the windows' thread; ..."
  grate=$(sed -n 's/.*(\([0-9.]*\) turns\/s).*/\1/p' <<<"$line")
  gcpu=$(sed -n "s/.*processor time \([0-9.]*\) s, \([0-9.]*\) s of it the windows' thread.*/\1 \2/p" <<<"$line")
  echo "$grate" >>"$work/gui.rates"
  awk -v c="$gcpu" -v t="$turns" 'BEGIN { split(c, p, " "); print 1e6 * (p[1] - p[2]) / t }' >>"$work/gui.cpu"
  printf 'round %d: vek-batch %8.1f turns/s %7.1f us/turn | vek, all views %8.1f turns/s %7.1f us/turn (worker)\n' \
    "$round" "$rate" "$(tail -1 "$work/batch.cpu")" "$grate" "$(tail -1 "$work/gui.cpu")"
done

b=$(median <"$work/batch.rates"); g=$(median <"$work/gui.rates")
bc=$(median <"$work/batch.cpu"); gc=$(median <"$work/gui.cpu")
awk -v b="$b" -v g="$g" -v bc="$bc" -v gc="$gc" -v n="$turns" 'BEGIN {
  printf "median over %d turns: vek-batch %.1f turns/s, vek with all views %.1f turns/s: %.3f x\n", n, b, g, g / b
  printf "worker processor time per turn: vek-batch %.1f us, vek %.1f us: vek runs at %.3f x by it\n", bc, gc, bc / gc
}'
