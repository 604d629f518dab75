#!/usr/bin/env bash
# Sets everything up (scripts/setup.sh), then lets a world grow from the built-in genome for
# 2000 turns without windows, says where its files are, and draws its last turn into
# demo/world.png (and a 3D model, demo/world.glb), its logs and its lineage into demo/plot.png
# and demo/muller.png, no display needed.
# Usage: scripts/run-demo.sh [TURNS]   (run again, it continues the same world)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
turns="${1:-2000}"
base=demo
folder="$base/original_log"
snapshot="$base/world.view"
picture="$base/world.png"
model="$base/world.glb"
mkdir -p "$base"
if [ -f "$folder/Vek.vek" ]; then
  echo "run-demo: continuing the world saved in $folder/"
  build/bin/vek-batch --load "$folder" --turns "$turns" --snapshot "$snapshot"
else
  build/bin/vek-batch --base "$base" --turns "$turns" --snapshot "$snapshot"
fi
build/bin/vek-plot "$folder" --out "$base/plot.png"
build/bin/vek-plot "$folder" --muller --out "$base/muller.png"
build/bin/vek-export "$snapshot" --out "$model" --quiet
cat <<EOT

The world's save folder: $PWD/$folder/
  Vek.vek (open it to load the world), Vind.lives, Ostrel.lives, parameter.pini, gene.gini
The statistics logs, one line per turn: $PWD/$folder/*.log
  (e.g. seed_num.log: time and population size; log_turn.log: every value of one turn)
The snapshot of the last turn: $PWD/$snapshot
  (view it with: build/bin/tovra '$PWD/$snapshot')
Its 3D model for Blender, three.js or any glTF viewer: $PWD/$model
The picture of its logs (vek-plot): $PWD/$base/plot.png
The Muller plot of its lineage (vek-plot --muller): $PWD/$base/muller.png
EOT
build/bin/tovra --render "$picture" --size 1024x768 "$snapshot"
echo "Its picture: $PWD/$picture"
