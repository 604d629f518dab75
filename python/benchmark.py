#!/usr/bin/env python3
"""Times World.run against vek-batch on the same world: the built-in genome, the same turns,
the same save folder's logs, each in a fresh process, the two taking turns round by round.

    PYTHONPATH=build/python /usr/bin/python3 python/benchmark.py --turns 5000 --rounds 5

The module is the one PYTHONPATH finds. Both times are of the run alone (vek-batch's own wall and CPU seconds of --summary; the same
clocks around World.run), not of making or saving the world. On a busy machine the processor
time is the steadier measure. Prints each round and the medians.
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

PYTHON_RUN = """
import sys, time, vek
world = vek.World(base=sys.argv[1])
started, cpu = time.perf_counter(), time.process_time()
world.run(int(sys.argv[2]))
print(time.perf_counter() - started, time.process_time() - cpu)
world.close()
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--turns", type=int, default=5000)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--batch", default=str(Path(__file__).resolve().parents[1] / "build" / "bin" / "vek-batch"),
                        help="the vek-batch to compare with (default: build/bin/vek-batch)")
    args = parser.parse_args()
    runs = {"vek-batch": [], "World.run": []}  # (wall, CPU) seconds of each round
    for round_ in range(1, args.rounds + 1):
        with tempfile.TemporaryDirectory() as scratch:
            summary = Path(scratch) / "summary.json"
            subprocess.run([args.batch, "--base", f"{scratch}/batch", "--turns", str(args.turns), "--quiet",
                            "--summary", str(summary)], check=True)
            facts = json.loads(summary.read_text())
            runs["vek-batch"].append((facts["wall_seconds"], facts["cpu_seconds"]))
            done = subprocess.run([sys.executable, "-c", PYTHON_RUN, f"{scratch}/python", str(args.turns)],
                                  check=True, capture_output=True, text=True, env=dict(os.environ))
            runs["World.run"].append(tuple(map(float, done.stdout.split())))
        print(f"round {round_}: " + ", ".join(f"{name} {wall:.3f} s ({cpu:.3f} s CPU)"
                                               for name, [*_, (wall, cpu)] in runs.items()), flush=True)
    for clock, label in ((0, "wall"), (1, "CPU")):
        batch, python = (statistics.median(run[clock] for run in runs[name]) for name in runs)
        print(f"median {label} time of {args.rounds} rounds of {args.turns} turns: vek-batch {batch:.3f} s "
              f"({args.turns / batch:.0f} turns/s), World.run {python:.3f} s ({args.turns / python:.0f} turns/s): "
              f"{100 * (python / batch - 1):+.1f} %")
    return 0


if __name__ == "__main__":
    sys.exit(main())
