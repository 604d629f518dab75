"""Worlds of evolving plants, run in C++ and read from Python.

    import vek
    world = vek.World(seed=3, base="runs/a")   # as vek-batch --base runs/a --seed 3
    world.run(2000)
    plants = world.individuals()               # NumPy structured array, one row a plant
    world.save()
    logs = vek.read_logs(world.folder)         # pandas DataFrame, one row a turn

World and Parameters live in the compiled module vek._vek; the tables of files (logs,
phylogeny) are read here into pandas frames. pandas is imported only when a frame is made.
"""

import re as _re

import numpy as _np

from vek._vek import INSTRUCTIONS, REGISTERS, FolderInUseError, Parameters, World, _read_log_table

__all__ = ["World", "Parameters", "FolderInUseError", "read_logs", "read_phylogeny", "INSTRUCTIONS", "REGISTERS"]


def _structured(columns):
    """One structured array of equally long columns (a dict of 1-D arrays), in their order."""
    rows = len(next(iter(columns.values()))) if columns else 0
    table = _np.empty(rows, dtype=[(name, column.dtype) for name, column in columns.items()])
    for name, column in columns.items():
        table[name] = column
    return table


def read_logs(folder, first_turn=None):
    """The statistics logs of a save folder as a pandas DataFrame, one row per logged turn.

    The index is the turn. The columns are the step counter (time), the wall-clock seconds of
    the turn (clock, seconds since 1970), the figures of the logs named in words (living,
    genes, births, deaths, average_evaluation, occupancy, ...: the names World.statistics()
    uses) and the energy the average individual spent on each instruction (spent_on_make_leaf,
    ...). A value that is not a number is NaN. The turn of the first line comes from the
    folder's save manifest (1 without one); first_turn overrides it.

    Works on folders written by any of the programs. Raises FileNotFoundError for a folder
    without logs and ValueError for a malformed line, naming the file and the line.
    """
    import pandas as pd

    columns, first, rows = _read_log_table(folder, first_turn)
    index = pd.RangeIndex(first, first + rows, name="turn")
    return pd.DataFrame(columns, index=index)


_PHYLOGENY_COLUMNS = ["id", "ancestor_list", "origin_time", "destruction_time",
                      "gene", "length", "peak_carriers", "total_carriers"]
_WHOLE = _re.compile(r"\s*-?\d+\s*")
_ANCESTORS = _re.compile(r"\s*\[\s*(?:none|\d+(?:\s*,\s*\d+)*)?\s*\]\s*", _re.IGNORECASE)


def read_phylogeny(folder):
    """The lineage file phylogeny.csv of a save folder (or the file itself) as a DataFrame.

    One row per genome that ever arose, as the file lists them: id, ancestor_list (the ids
    of its mother's and father's genomes as a list of ints, empty for a root), origin_time,
    destruction_time (<NA> while the genome lives), gene (its identifier), length,
    peak_carriers, total_carriers, and any further columns of the file as text. Raises
    FileNotFoundError when there is no such file and ValueError, naming the file and the
    line, for one that is not in this form.
    """
    import csv
    import os

    import pandas as pd

    path = os.fspath(folder)
    if os.path.isdir(path):
        path = os.path.join(path, "phylogeny.csv")
    with open(path, newline="", encoding="utf-8") as file:
        reader = csv.reader(file)
        header = [name.strip() for name in next(reader, [])]
        missing = [name for name in _PHYLOGENY_COLUMNS if name not in header]
        if missing:
            raise ValueError(f"{path} line 1: the header lacks the column(s) {', '.join(missing)}")
        position = {name: header.index(name) for name in header}
        columns = {name: [] for name in header}
        try:
            for row in reader:
                if not row:
                    continue
                if len(row) != len(header):
                    raise ValueError(f"{path} line {reader.line_num}: {len(row)} fields where the header has "
                                     f"{len(header)}")
                for name in header:
                    text = row[position[name]]
                    if name == "ancestor_list":
                        if not _ANCESTORS.fullmatch(text):
                            raise ValueError(f"{path} line {reader.line_num}: ancestor_list {text!r} is no list "
                                             "of ids like [3, 7], [3] or [none]")
                        inner = text.strip()[1:-1].strip()
                        text = [] if inner.lower() in ("", "none") else [int(part) for part in inner.split(",")]
                    elif name in _PHYLOGENY_COLUMNS and name != "gene":
                        if name == "destruction_time" and text.strip() == "":
                            text = pd.NA
                        elif _WHOLE.fullmatch(text):
                            text = int(text)
                        else:
                            raise ValueError(f"{path} line {reader.line_num}: {name} {text!r} is no whole number")
                    elif name == "gene":
                        text = text.strip()
                    columns[name].append(text)
        except (csv.Error, UnicodeDecodeError) as error:
            raise ValueError(f"{path} line {reader.line_num}: {error}") from None
    frame = pd.DataFrame({name: columns[name] for name in _PHYLOGENY_COLUMNS + [n for n in header
                                                                              if n not in _PHYLOGENY_COLUMNS]})
    for name in _PHYLOGENY_COLUMNS:
        if name not in ("ancestor_list", "gene"):
            frame[name] = pd.array(columns[name], dtype="Int64")
    frame["ancestor_list"] = pd.Series(columns["ancestor_list"], dtype=object)
    return frame
