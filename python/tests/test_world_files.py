"""A world run from Python leaves the save folder vek-batch leaves, and its folder is one unit
held by one program at a time."""

import os
import re
import shutil
import subprocess
import sys

import pytest

import vek
from conftest import DATA, assert_same_folder


def test_a_new_world_saved_equals_vek_batchs_save_of_the_same_turns(tmp_path, vek_batch):
    vek_batch("--base", tmp_path / "batch", "--seed", 7, "--turns", 300)
    world = vek.World(seed=7, base=tmp_path / "python")
    assert world.folder == f"{tmp_path}/python/original_log/"
    assert (tmp_path / "python/original_log/Ostrel.lives").exists()  # saved at once, at turn 0
    world.run(120)
    world.run(180)
    world.save()
    world.close()
    assert_same_folder(tmp_path / "batch/original_log", tmp_path / "python/original_log")


def test_a_world_from_a_gene_file_with_parameters_equals_vek_batchs(tmp_path, vek_batch):
    gene = tmp_path / "two.gini"
    gene.write_bytes(b"pair pathName\r\n800 initialEnergy\r\n" + (DATA / "gene.gini").read_bytes().split(b"\r\n", 5)[5]
                     + b"next\r\n5 initial_x\r\nmakn\r\ns_r\r\ninc\r\nmakl\r\njmpb\r\n")
    (tmp_path / "few.pini").write_bytes(b"0.4 mField_capacity\r\n2 mDaughter_log_turn\r\n")
    vek_batch("--base", tmp_path / "batch", "--gene", gene, "--param", tmp_path / "few.pini", "--turns", 150)
    world = vek.World(parameters=tmp_path / "few.pini", gene_file=gene, base=tmp_path / "python")
    assert world.folder.endswith("/python/pair/") and world.living == 2
    world.run(150)
    world.close()  # saves first
    assert (tmp_path / "python/pair/log_turn.log").stat().st_size > 0
    assert_same_folder(tmp_path / "batch/pair", tmp_path / "python/pair")


def test_a_loaded_world_run_and_saved_equals_a_vek_batch_continuation(tmp_path, vek_batch):
    vek_batch("--base", tmp_path / "start", "--seed", 11, "--turns", 200)
    shutil.copytree(tmp_path / "start/original_log", tmp_path / "batch")
    shutil.copytree(tmp_path / "start/original_log", tmp_path / "python")
    vek_batch("--load", tmp_path / "batch", "--turns", 150)
    with vek.World.load(tmp_path / "python") as world:
        assert world.turn == 200
        world.run(150, every=50, callback=lambda w: w.save())
    assert_same_folder(tmp_path / "batch", tmp_path / "python")


def test_the_lineage_is_recorded_as_vek_batch_records_it(tmp_path, vek_batch):
    vek_batch("--base", tmp_path / "pruned", "--seed", 2, "--turns", 200, "--lineage-prune", "--lineage-every", 7)
    vek_batch("--base", tmp_path / "none", "--seed", 2, "--turns", 200, "--no-lineage")
    with vek.World(seed=2, base=tmp_path / "python-pruned", lineage_prune=True, lineage_every=7) as world:
        world.run(200)
    with vek.World(seed=2, base=tmp_path / "python-none", lineage=False) as world:
        world.run(200)
    assert_same_folder(tmp_path / "pruned/original_log", tmp_path / "python-pruned/original_log")
    assert_same_folder(tmp_path / "none/original_log", tmp_path / "python-none/original_log")
    assert not (tmp_path / "python-none/original_log/phylogeny.csv").exists()
    with pytest.raises(ValueError, match="lineage_every must be 0 \\(no counts\\) or more, not -1"):
        vek.World(lineage_every=-1)

    # A phylogeny that no longer fits its world is refused with its line, or started anew.
    folder = tmp_path / "python-pruned/original_log"
    phylogeny = (folder / "phylogeny.csv").read_bytes()
    (folder / "phylogeny.csv").write_bytes(phylogeny.replace(b"\r\n0,[none]", b"\r\n0,[7]", 1))
    with pytest.raises(ValueError, match=f"cannot load {folder}/phylogeny.csv.*line 2"):
        vek.World.load(folder)
    with pytest.warns(UserWarning, match="the lineage starts anew from the living genes"):
        world = vek.World.load(folder, lineage_reset=True)
    assert world.turn == 200


def test_a_world_in_memory_takes_the_folder_it_is_first_saved_into(tmp_path, vek_batch):
    vek_batch("--base", tmp_path / "batch", "--seed", 5, "--turns", 100)
    world = vek.World(seed=5)
    assert world.folder is None
    with pytest.raises(ValueError, match="lives in memory and has no save folder yet"):
        world.save()
    world.run(60)
    world.save(tmp_path / "later")
    assert world.folder == f"{tmp_path}/later/"
    world.run(40)
    world.save(tmp_path / "later")  # its own folder, named again
    with pytest.raises(ValueError, match=f"the world is kept in {tmp_path}/later/ and saved only there"):
        world.save(tmp_path / "elsewhere")
    world.close()
    # The world is the batch run's; its logs hold the turns since it took the folder.
    for name in ["Ostrel.lives", "Ostrel.exact", "Vind.lives", "parameter.pini", "gene.gini"]:
        assert (tmp_path / "later" / name).read_bytes() == (tmp_path / "batch/original_log" / name).read_bytes()
    batch_log = (tmp_path / "batch/original_log/seed_num.log").read_bytes().split(b"\r\n")
    assert (tmp_path / "later/seed_num.log").read_bytes().split(b"\r\n") == batch_log[60:]
    logs = vek.read_logs(tmp_path / "later")
    assert list(logs.index) == list(range(61, 101))
    assert logs.loc[100, "living"] == vek.read_logs(tmp_path / "batch/original_log").loc[100, "living"]


def test_a_folder_is_held_by_one_world_and_a_saved_world_is_never_replaced(tmp_path):
    first = vek.World(base=tmp_path)
    with pytest.raises(vek.FolderInUseError, match=f"{tmp_path}/original_log/ is in use by vek-python \\(process {os.getpid()}"):
        vek.World.load(first.folder)
    first.run(5)
    first.close()
    assert first.closed and first.turn == 5 and len(first.individuals()) == first.living
    with pytest.raises(ValueError, match="the world is closed"):
        first.run(1)
    with pytest.raises(FileExistsError, match=f"{tmp_path}/original_log/ already holds a saved world; continue it with "
                                              "vek.World.load"):
        vek.World(base=tmp_path)
    with pytest.raises(FileExistsError, match="already holds a saved world; a world is never saved over another"):
        vek.World().save(first.folder)
    again = vek.World.load(first.folder)
    assert again.turn == 5
    with pytest.raises(ValueError, match="the world is kept in"):
        again.save(tmp_path)


def test_loads_that_fail_name_the_file_and_leave_the_folder_free(tmp_path):
    with pytest.raises(FileNotFoundError, match=f"{tmp_path}/none/ does not exist"):
        vek.World.load(tmp_path / "none")
    with pytest.raises(ValueError, match=f"{tmp_path}/ is not a save folder: it holds no Vek.vek"):
        vek.World.load(tmp_path)
    folder = tmp_path / "damaged"
    shutil.copytree(DATA / "saved_world", folder)
    lives = (folder / "Ostrel.lives").read_bytes()
    (folder / "Ostrel.lives").write_bytes(lives.replace(b"\r\n120 7\r\n", b"\r\n120 -7\r\n", 1))
    with pytest.raises(ValueError, match=f"cannot load {folder}/Ostrel.lives: .*line 2"):
        vek.World.load(folder)
    (folder / "Ostrel.lives").write_bytes(lives)
    os.remove(folder / "parameter.pini")
    with pytest.raises(FileNotFoundError, match=f"cannot read {folder}/parameter.pini: No such file or directory"):
        vek.World.load(folder)
    shutil.copy(DATA / "saved_world/parameter.pini", folder)
    assert vek.World.load(folder).turn == 7


def test_new_worlds_that_cannot_be_made_say_why(tmp_path):
    with pytest.raises(FileNotFoundError, match=f"cannot read {tmp_path}/none.gini: No such file or directory"):
        vek.World(gene_file=tmp_path / "none.gini")
    with pytest.raises(FileNotFoundError, match=f"cannot read {tmp_path}/none.gini"):
        vek.World(gene_file=tmp_path / "none.gini", base=tmp_path)
    (tmp_path / "climb.gini").write_bytes(b"../out pathName\r\nmakn\r\n")
    with pytest.raises(ValueError, match='the folder word "../out" of its first line is no plain folder name'):
        vek.World(gene_file=tmp_path / "climb.gini", base=tmp_path)
    with pytest.raises(FileNotFoundError, match=f"cannot read {tmp_path}/none.pini"):
        vek.World(parameters=tmp_path / "none.pini")
    with pytest.raises(ValueError, match="mField_N = 20000 asks for a field of 20000 x 20000 cells"):
        vek.World(parameters=vek.Parameters(mField_N=20000))
    with pytest.raises(ValueError, match="seed must lie in 0 to 4294967295"):
        vek.World(seed=-1)
    (tmp_path / "file").write_bytes(b"")
    with pytest.raises(FileExistsError, match=f"cannot make the folder {tmp_path}/file/"):
        vek.World(base=tmp_path / "file")


# A full disk, as a limit on the size of the files this process writes: the turn whose lines
# no longer fit stops the world, which then neither runs nor saves, and the folder keeps its
# last save. In a process of its own, as the limit is the process's.
FULL_DISK = """
import resource, sys, vek
world = vek.World(base=sys.argv[1])
world.run(3)
world.save()
resource.setrlimit(resource.RLIMIT_FSIZE, (4000, 4000))
try:
    world.run(1000)
except OSError as error:
    print("run:", error)
try:
    world.save()
except OSError as error:
    print("save:", error)
world.close()
print("turn:", world.turn)
"""


def test_a_log_that_cannot_be_written_stops_the_world_and_its_saves(tmp_path):
    done = subprocess.run([sys.executable, "-c", FULL_DISK, str(tmp_path)], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    run, save, turn = done.stdout.splitlines()
    assert re.fullmatch(rf"run: cannot append to {tmp_path}/original_log/\w+\.log: File too large; the world "
                        r"stopped after turn (\d+) and is neither run nor saved any more: its folder keeps its last "
                        r"save, to which the logs are cut back when it is loaded again", run)
    stopped = int(re.search(r"after turn (\d+)", run).group(1))
    assert save == run.replace("run:", "save:") and turn == f"turn: {stopped}"
    with pytest.warns(UserWarning, match="vek: note: the logs were cut back to the save of turn 3"):
        world = vek.World.load(tmp_path / "original_log")
    assert world.turn == 3 and world.notices[0].startswith("the logs were cut back")
    assert len(vek.read_logs(tmp_path / "original_log")) == 3
