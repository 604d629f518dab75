#!/usr/bin/env bash
# Sets everything up (scripts/setup.sh), then lets a world grow from the built-in genome for
# 2000 turns without windows, and says where its files are.
# Usage: scripts/run-demo.sh [TURNS]   (run again, it continues the same world)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
turns="${1:-2000}"
base=demo
folder="$base/original_log"
snapshot="$base/world.view"
mkdir -p "$base"
if [ -f "$folder/Vek.vek" ]; then
  echo "run-demo: continuing the world saved in $folder/"
  build/bin/vek-batch --load "$folder" --turns "$turns" --snapshot "$snapshot"
else
  build/bin/vek-batch --base "$base" --turns "$turns" --snapshot "$snapshot"
fi
build/bin/vek-plot "$folder" --out "$base/plot.png"
cat <<EOT

The world's save folder: $PWD/$folder/
  Vek.vek (open it to load the world), Vind.lives, Ostrel.lives, parameter.pini, gene.gini
The statistics logs, one line per turn: $PWD/$folder/*.log
  (e.g. seed_num.log: time and population size; log_turn.log: every value of one turn)
The snapshot of the last turn: $PWD/$snapshot
  (view it with: build/bin/tovra '$PWD/$snapshot')
EOT
