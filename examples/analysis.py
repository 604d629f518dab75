#!/usr/bin/env python3
"""Runs a short world and draws what it did: the living individuals and the genes of the pool
over the turns, and how the sizes of the plants' bodies spread, halfway and at the end.

    PYTHONPATH=build/python /usr/bin/python3 examples/analysis.py --turns 3000 --out analysis.png

The world is grown from the built-in genome in a save folder (a temporary one unless --base
names where to keep it), so its statistics logs are read back as a pandas frame; the bodies
are read from the running world itself, as NumPy arrays, by a callback.
"""

import argparse
import sys
import tempfile

import matplotlib
import numpy as np

matplotlib.use("Agg")  # pictures without a display
import matplotlib.pyplot as plt  # noqa: E402

import vek  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--turns", type=int, default=3000, help="turns to run (default 3000)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the world's random numbers (default 1)")
    parser.add_argument("--base", help="keep the world's save folder under this folder (default: a temporary one)")
    parser.add_argument("--out", default="analysis.png", help="the picture to write (default analysis.png)")
    args = parser.parse_args()
    if args.turns < 2:
        parser.error("--turns must be 2 or more")

    with tempfile.TemporaryDirectory() as scratch:
        bodies = {}

        def keep_bodies(world):
            bodies[world.turn] = world.individuals()["volume"]

        with vek.World(seed=args.seed, base=args.base or scratch) as world:
            half = args.turns // 2
            world.run(half, every=half, callback=keep_bodies)
            world.run(args.turns - half)
            keep_bodies(world)
            folder = world.folder
        logs = vek.read_logs(folder)

    figure, (population, genes, sizes) = plt.subplots(3, 1, figsize=(8, 10), constrained_layout=True)
    figure.suptitle(f"A world from the built-in genome, seed {args.seed}")
    population.plot(logs.index, logs["living"], color="tab:green")
    population.set(title="Living individuals", xlabel="turn", ylabel="individuals")
    genes.plot(logs.index, logs["genes"], color="tab:purple")
    genes.set(title="Genes in the pool", xlabel="turn", ylabel="genes")
    # A few plants grow far larger than the rest: bins of equal ratio show both.
    everything = np.concatenate(list(bodies.values()))
    bins = np.geomspace(everything.min(), everything.max(), 40)
    for turn, volumes in bodies.items():
        sizes.hist(volumes, bins=bins, histtype="step", linewidth=2, label=f"turn {turn} ({len(volumes)} plants)")
    sizes.set(title="Body sizes", xlabel="volume of the body (seed, edges, leaves and flowers)", ylabel="plants",
              xscale="log")
    sizes.legend()
    figure.savefig(args.out, dpi=100)
    print(f"{args.out}: {len(logs)} turns, {int(logs['living'].iloc[-1])} living at the end"
          + (f"; the world is kept in {folder}" if args.base else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
