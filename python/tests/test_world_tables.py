"""What a world shows of itself agrees with what it saves: the arrays with the lives file, the
figures with the logs, the snapshot with vek-batch's."""

import numpy as np
import pytest

import vek


def g10(value):
    """A number as the lives file writes it: ten significant digits."""
    return f"{value:.10g}"


def parse_individuals(lives):
    """The living individuals of a place's lives file, as the blocks of its population hold them."""
    lines = lives.decode("ascii").split("\r\n")
    at = lines.index("/*mSeedList start*/") + 6
    individuals = []
    for _ in range(int(lines[at])):
        block = lines[at + 1:lines.index("/*mSeed end*/", at + 1) + 1]
        at += len(block)
        cpu = block[block.index("/*mCPU start*/"):block.index("/*mCPU end*/")]
        current, keep, total, used = cpu[2].split()
        numbers = " ".join(cpu[6:]).split()  # ip selected breedCount, registers, both stacks
        parts = block.index("/*mPartsList start*/")
        individuals.append({
            "gene": "-".join(block[2].split()), "id": "-".join(block[5].split()),
            "position": block[8].split(), "energy": (current, keep, total, used),
            "trace": cpu[5], "ip": int(numbers[0]), "children": int(numbers[2]),
            "registers": numbers[3:13], "body": block[parts + 1], "leaf_light": block[parts + 2],
            "age": int(block[-2].split()[0]), "newborn": int(block[-2].split()[1]),
        })
    return individuals


@pytest.fixture(scope="module")
def saved_world(tmp_path_factory):
    folder = tmp_path_factory.mktemp("saved") / "world"
    world = vek.World(seed=2)
    world.run(250)
    world.save(folder)
    return world, folder


def test_the_arrays_agree_with_the_lives_file(saved_world):
    world, folder = saved_world
    saved = parse_individuals((folder / "Ostrel.lives").read_bytes())
    plants = world.individuals()
    assert len(plants) == len(saved) == world.living > 100
    assert list(plants["index"]) == list(range(len(saved)))
    for row, plant in zip(plants, saved):
        assert (row["id"], row["gene"]) == (plant["id"], plant["gene"])
        assert [g10(row[axis]) for axis in "xyz"] == plant["position"]
        assert tuple(g10(row[f]) for f in ("energy", "energy_upkeep", "energy_gained", "energy_used")) == plant["energy"]
        assert (row["age"], row["newborn"], row["children"], row["ip"]) == \
            (plant["age"], bool(plant["newborn"]), plant["children"], plant["ip"])
        assert g10(row["leaf_light"]) == plant["leaf_light"]
        body = plant["body"]
        assert (row["leaves"], row["flowers"], row["edges"]) == (body.count("L<"), body.count("F<"), body.count("E<"))
        assert row["nodes"] == body.count("N")
    assert (plants["volume"] > 0).all() and (plants["height"] >= 0).all()
    assert plants["height"].max() > 0

    genes = world.genes()
    pool = (folder / "Ostrel.lives").read_bytes().decode("ascii").split("/*mSeedList start*/")[0]
    assert list(genes["id"]) == ["-".join(line.split()) for line in pool.split("/*mID start*/\r\n")[1:]
                                 for line in [line.split("\r\n")[0]]]
    carriers = {gene: count for gene, count in zip(*np.unique(plants["gene"], return_counts=True))}
    assert {row["id"]: row["carriers"] for row in genes} == carriers
    assert (genes["length"] == [int(g.split("-")[0]) for g in genes["id"]]).all()


def test_one_individual_holds_its_row_and_its_processor(saved_world):
    world, folder = saved_world
    saved = parse_individuals((folder / "Ostrel.lives").read_bytes())
    row = world.individuals()[7]
    plant = world.individual(7)
    assert world.individual(str(row["id"]))["index"] == min(i for i, p in enumerate(saved) if p["id"] == row["id"])
    assert (plant["id"], plant["gene"], plant["age"], plant["ip"]) == (row["id"], row["gene"], row["age"], row["ip"])
    assert plant["position"] == (row["x"], row["y"], row["z"])
    assert plant["energy"]["current"] == row["energy"]
    assert list(plant["energy"]["spent_on"]) == list(vek.INSTRUCTIONS)
    assert [g10(plant["registers"][name]) for name in vek.REGISTERS] == saved[7]["registers"]
    assert plant["selected_register"] in vek.REGISTERS
    assert plant["trace"] == saved[7]["trace"] and plant["body"] == saved[7]["body"]
    gene = world.gene(plant["gene"])
    assert plant["code"] == gene["code"] and len(gene["code"]) == gene["length"] == row["genome_length"]
    assert plant["instructions"] == [vek.INSTRUCTIONS[code] for code in plant["code"]]
    assert gene["carriers"] == row["carriers"]
    with pytest.raises(IndexError, match=f"no living individual has the index {len(saved)}"):
        world.individual(len(saved))
    with pytest.raises(KeyError, match="no living individual has the identifier 1-2-3"):
        world.individual("1-2-3")
    with pytest.raises(KeyError, match="the gene pool holds no gene 1-2-3"):
        world.gene("1-2-3")


def test_the_figures_of_a_turn_are_the_last_line_of_its_logs(tmp_path):
    world = vek.World(base=tmp_path, seed=4)
    world.run(200)
    figures = world.statistics()
    logs = vek.read_logs(world.folder)
    assert len(logs) == 200 and logs.index[-1] == figures["turn"] == 200
    last = logs.iloc[-1]
    assert set(figures) == {"turn"} | set(logs.columns) - {"clock"}
    for name, value in figures.items():
        if name != "turn":
            assert g10(value) == g10(last[name]), name
    assert isinstance(figures["living"], int) and logs["living"].dtype == np.int64


def test_steps_go_phase_by_phase_and_a_snapshot_is_vek_batchs(tmp_path, vek_batch):
    vek_batch("--base", tmp_path, "--seed", 9, "--turns", 40, "--snapshot", tmp_path / "batch.view")
    world = vek.World(seed=9)
    assert (world.phase, world.caption) == ("SUN_LIGHT", "SUN_LIGHT")
    world.step()
    world.step()
    assert (world.phase, world.caption, world.time) == ("PRE_EXECUTE", "PRE_EXECUTE(0/1)", 0)
    world.step()
    assert (world.caption, world.time) == ("EXECUTE(0/1)", 0)
    world.step()
    assert (world.caption, world.time, world.turn) == ("AFTER_EXECUTE", 1, 0)
    world.run(40)  # the turn begun is the first of them
    assert (world.turn, world.phase) == (40, "SUN_LIGHT")
    world.snapshot(tmp_path / "python.view")
    assert (tmp_path / "python.view").read_bytes() == (tmp_path / "batch.view").read_bytes()
    plant = world.individuals()[0]
    world.snapshot(tmp_path / "one.view", individual=str(plant["id"]))
    lines = (tmp_path / "one.view").read_bytes().decode().split("\r\n")
    assert lines[:4] == (tmp_path / "batch.view").read_bytes().decode().split("\r\n")[:4]
    assert [line for line in lines if line.startswith("S ")] == [lines[4]]
    assert lines[4].startswith("S ") and lines[4].endswith(f" {plant['id']}")
    with pytest.raises(FileNotFoundError, match=f"cannot write the snapshot {tmp_path}/no/w.view"):
        world.snapshot(tmp_path / "no" / "w.view")


def test_a_parameter_set_between_turns_changes_what_follows(tmp_path, vek_batch):
    vek_batch("--base", tmp_path / "half", "--turns", 100)
    vek_batch("--load", tmp_path / "half/original_log", "--set", "mField_capacity=0.2", "--turns", 100)
    world = vek.World()
    world.run(100)
    assert world.parameters().mField_capacity == 0.5
    world.set("mField_capacity", 0.2)
    world.run(100)
    world.save(tmp_path / "python")
    assert world.parameters() == vek.Parameters(mField_capacity=0.2)
    for name in ["Ostrel.lives", "Ostrel.exact", "parameter.pini"]:
        assert (tmp_path / "python" / name).read_bytes() == (tmp_path / "half/original_log" / name).read_bytes()
    with pytest.raises(AttributeError, match="no parameter is named mField_capasity"):
        world.set("mField_capasity", 0.1)
    with pytest.raises(TypeError, match="mField_N takes an integer, not float"):
        world.set("mField_N", 10.0)
    with pytest.raises(ValueError, match="mField_N = 99999 asks for a field of"):
        world.set("mField_N", 99999)
    assert world.parameters().mField_N == 1000
