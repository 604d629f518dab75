#!/usr/bin/env python3
"""Times World.run against vek-batch on the same world: the built-in genome, the same turns,
the same save folder's logs, each in a fresh process, the two taking turns round by round.

    PYTHONPATH=build/python /usr/bin/python3 python/benchmark.py --turns 5000 --rounds 5

Both times are of the run alone (vek-batch's own wall_seconds of --summary; perf_counter
around World.run), not of making or saving the world. Prints each round and the medians.
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

import vek

PYTHON_RUN = """
import sys, time, vek
world = vek.World(base=sys.argv[1])
started = time.perf_counter()
world.run(int(sys.argv[2]))
print(time.perf_counter() - started)
world.close()
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--turns", type=int, default=5000)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--batch", default=str(Path(vek.__file__).resolve().parents[2] / "bin" / "vek-batch"),
                        help="the vek-batch to compare with (default: the one built beside the module)")
    args = parser.parse_args()
    times = {"vek-batch": [], "World.run": []}
    for round_ in range(1, args.rounds + 1):
        with tempfile.TemporaryDirectory() as scratch:
            summary = Path(scratch) / "summary.json"
            subprocess.run([args.batch, "--base", f"{scratch}/batch", "--turns", str(args.turns), "--quiet",
                            "--summary", str(summary)], check=True)
            times["vek-batch"].append(json.loads(summary.read_text())["wall_seconds"])
            done = subprocess.run([sys.executable, "-c", PYTHON_RUN, f"{scratch}/python", str(args.turns)],
                                  check=True, capture_output=True, text=True, env=dict(os.environ))
            times["World.run"].append(float(done.stdout))
        print(f"round {round_}: vek-batch {times['vek-batch'][-1]:.3f} s, World.run {times['World.run'][-1]:.3f} s",
              flush=True)
    batch, python = (statistics.median(times[name]) for name in ("vek-batch", "World.run"))
    print(f"median of {args.rounds} rounds of {args.turns} turns: vek-batch {batch:.3f} s "
          f"({args.turns / batch:.0f} turns/s), World.run {python:.3f} s ({args.turns / python:.0f} turns/s); "
          f"World.run takes {100 * (python / batch - 1):+.1f} % against vek-batch")
    return 0


if __name__ == "__main__":
    sys.exit(main())
