"""vek.read_logs and vek.read_phylogeny: the files of a save folder as pandas frames."""

import math

import numpy as np
import pytest

import vek
from conftest import HERE


def test_the_logs_of_a_batch_run_come_one_row_a_turn_one_column_a_figure(tmp_path, vek_batch):
    vek_batch("--base", tmp_path, "--seed", 3, "--turns", 120)
    folder = tmp_path / "original_log"
    logs = vek.read_logs(folder)
    assert list(logs.index) == list(range(1, 121)) and logs.index.name == "turn"
    assert list(logs.columns[:10]) == ["time", "clock", "average_edge_energy", "average_leaf_energy",
                                       "average_flower_energy", "edge_percent", "leaf_percent", "flower_percent",
                                       "living", "genes"]
    assert list(logs.columns[-32:]) == [f"spent_on_{name}" for name in vek.INSTRUCTIONS]
    assert len(logs.columns) == 2 + 27 + 32
    for name, log in [("living", "seed_num"), ("average_age", "ave_turn"), ("total_daylight", "tot_ene"),
                      ("edge_percent", "per_edge"), ("time", "seed_num")]:
        column = 0 if name == "time" else 1
        lines = (folder / f"{log}.log").read_text().splitlines()
        assert [f"{v:.10g}" for v in logs[name]] == [line.split()[column] for line in lines], name
    assert logs["living"].dtype == np.int64 and logs["average_age"].dtype == np.float64
    assert logs["edge_percent"].isna().sum() == sum("nan" in line for line in (folder / "per_edge.log").open())
    usage = [line.split()[1 + 27] for line in (folder / "ope_ene.log").read_text().splitlines()]
    assert [f"{v:.10g}" for v in logs["spent_on_make_leaf"]] == usage
    assert (logs["clock"] > 1_600_000_000).all()
    assert list(vek.read_logs(folder, first_turn=1001).index[[0, -1]]) == [1001, 1120]


def test_logs_of_the_old_program_and_of_a_folder_being_written(tmp_path):
    (tmp_path / "seed_num.log").write_bytes(b"3 1\r\n7 2\r\n12 4\r\n")
    (tmp_path / "per_leaf.log").write_bytes(b"3 1.#QNAN\r\n7 -1.#IND0\r\n12 50\r\n")
    (tmp_path / "gene_num.log").write_bytes(b"3 1\r\n7 1\r\n12 2")  # its last line is still being written
    logs = vek.read_logs(tmp_path)
    assert list(logs.columns) == ["time", "leaf_percent", "living", "genes"]
    assert list(logs["time"]) == [3, 7, 12] and list(logs["living"]) == [1, 2, 4]
    assert logs["leaf_percent"].isna().tolist() == [True, True, False]
    assert logs["genes"].tolist()[:2] == [1, 1] and math.isnan(logs["genes"].tolist()[2])


def test_logs_that_cannot_be_read_are_named_with_their_line(tmp_path):
    with pytest.raises(FileNotFoundError, match=f"{tmp_path}/none does not exist"):
        vek.read_logs(tmp_path / "none")
    with pytest.raises(FileNotFoundError, match=f"{tmp_path}/ holds no statistics logs"):
        vek.read_logs(tmp_path)
    (tmp_path / "seed_num.log").write_bytes(b"3 1\r\n7 2\r\n12 4\r\n")
    (tmp_path / "ave_eva.log").write_bytes(b"3 1\r\n7 x\r\n")
    with pytest.raises(ValueError, match=f"{tmp_path}/ave_eva.log line 2"):
        vek.read_logs(tmp_path)
    (tmp_path / "ave_eva.log").write_bytes(b"3 1\r\n8 1\r\n")
    with pytest.raises(ValueError, match=f"{tmp_path}/ave_eva.log line 2: the step counter 8 differs from 7 in the "
                                         "same line of seed_num.log"):
        vek.read_logs(tmp_path)


def test_the_phylogeny_comes_with_lists_of_ancestors_and_missing_ends():
    tree = vek.read_phylogeny(HERE / "data")
    assert list(tree.columns) == ["id", "ancestor_list", "origin_time", "destruction_time", "gene", "length",
                                  "peak_carriers", "total_carriers"]
    assert tree["ancestor_list"].tolist() == [[], [0], [0, 1], [2]]
    assert tree["destruction_time"].isna().tolist() == [True, False, True, False]
    assert tree["destruction_time"].dtype == "Int64" and tree.loc[1, "destruction_time"] == 212
    assert tree["gene"].tolist() == ["61-0-1", "61-107-1", "62-1500-1", "58-8036-1"]
    assert tree.loc[0, "total_carriers"] == 450
    living = tree[tree["destruction_time"].isna()]
    assert living["id"].tolist() == [0, 2]
    assert vek.read_phylogeny(HERE / "data" / "phylogeny.csv").equals(tree)


def test_the_phylogeny_of_a_batch_run_holds_the_living_genes_of_its_world(tmp_path, vek_batch):
    vek_batch("--base", tmp_path, "--seed", 6, "--turns", 300)
    tree = vek.read_phylogeny(tmp_path / "original_log")
    living = tree[tree["destruction_time"].isna()]
    world = vek.World.load(tmp_path / "original_log")
    assert sorted(living["gene"]) == sorted(world.genes()["id"])
    assert tree.loc[0, "ancestor_list"] == [] and tree.loc[0, "gene"] == "61-0-1"
    assert all(0 <= ancestor < node for node, ancestors in zip(tree["id"], tree["ancestor_list"])
               for ancestor in ancestors)
    assert (tree["origin_time"] <= tree["destruction_time"].fillna(300)).all()


def test_a_phylogeny_not_in_its_form_is_named_with_its_line(tmp_path):
    path = tmp_path / "phylogeny.csv"
    with pytest.raises(FileNotFoundError):
        vek.read_phylogeny(tmp_path)
    good = (HERE / "data" / "phylogeny.csv").read_text().replace("\n", "\r\n")
    path.write_text(good, newline="")
    assert vek.read_phylogeny(path)["ancestor_list"].tolist() == [[], [0], [0, 1], [2]]
    path.write_text(good.replace('"[0, 1]"', '"[0, x]"'), newline="")
    with pytest.raises(ValueError, match=f"{path} line 4: ancestor_list '\\[0, x\\]' is no list of ids"):
        vek.read_phylogeny(path)
    path.write_text(good.replace(",35,", ",soon,"), newline="")
    with pytest.raises(ValueError, match=f"{path} line 3: origin_time 'soon' is no whole number"):
        vek.read_phylogeny(path)
    path.write_text(good.replace("peak_carriers,", ""), newline="")
    with pytest.raises(ValueError, match=f"{path} line 1: the header lacks the column\\(s\\) peak_carriers"):
        vek.read_phylogeny(path)
    path.write_text(good + "4,[3]\r\n", newline="")
    with pytest.raises(ValueError, match=f"{path} line 6: 2 fields where the header has 8"):
        vek.read_phylogeny(path)
