"""Worlds and threads: the GIL is released while a world runs, one world is safe from two
threads, two worlds run side by side each as it runs alone."""

import _thread
import threading

import pytest

import vek
from conftest import assert_same_folder


def saved_alone(folder, seed, turns):
    world = vek.World(seed=seed)
    world.run(turns)
    world.save(folder)
    world.close()


def test_two_worlds_in_two_threads_run_together_each_as_alone(tmp_path):
    saved_alone(tmp_path / "alone3", 3, 300)
    saved_alone(tmp_path / "alone4", 4, 300)
    worlds = {3: vek.World(seed=3), 4: vek.World(seed=4)}
    seen_running = {3: [], 4: []}  # the other world's turn whenever one stops for its callback

    def run(seed):
        other = worlds[7 - seed]
        worlds[seed].run(300, every=10, callback=lambda world: seen_running[seed].append(other.turn))

    threads = [threading.Thread(target=run, args=(seed,)) for seed in worlds]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    for seed, world in worlds.items():
        world.save(tmp_path / f"together{seed}")
        world.close()
        assert_same_folder(tmp_path / f"alone{seed}", tmp_path / f"together{seed}")
    # Each saw the other between its first and last turn: they ran at the same time.
    assert any(0 < turn < 300 for turn in seen_running[3] + seen_running[4])


def test_a_running_world_is_read_from_another_thread_while_the_gil_is_free():
    world = vek.World(seed=1)
    runner = threading.Thread(target=world.run, args=(400,))
    runner.start()
    seen = set()
    while runner.is_alive():
        plants = world.individuals()
        assert (plants["index"] == range(len(plants))).all()  # one table, read between two steps
        seen.add(world.turn)
    runner.join()
    assert world.turn == 400
    assert any(0 < turn < 400 for turn in seen), seen


def test_a_world_driven_from_two_threads_takes_their_runs_one_after_the_other(tmp_path):
    saved_alone(tmp_path / "alone", 6, 240)
    world = vek.World(seed=6)
    errors = []

    def drive():
        try:
            for _ in range(4):
                world.run(20)
                world.statistics()
                world.step()
                world.run(10)
        except Exception as error:  # noqa: BLE001 - the test reports whatever a thread met
            errors.append(error)

    threads = [threading.Thread(target=drive) for _ in range(2)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert errors == []
    # Eight runs of 20 and eight of 10 turns; the single steps fall inside turns that those runs end.
    assert world.turn == 240 and world.phase == "SUN_LIGHT"
    world.save(tmp_path / "shared")
    assert_same_folder(tmp_path / "alone", tmp_path / "shared")


def test_the_callback_comes_at_multiples_of_every_and_may_stop_or_drive_the_world(tmp_path):
    world = vek.World(seed=8)
    world.run(3)
    turns = []
    world.run(30, every=7, callback=lambda w: turns.append(w.turn))
    assert turns == [7, 14, 21, 28] and world.turn == 33
    world.run(100, every=5, callback=lambda w: w.turn < 45)
    assert world.turn == 45

    def save_and_step(w):
        w.save(tmp_path / "kept") if w.folder is None else w.save()
        w.run(1)

    world.run(20, every=10, callback=save_and_step)
    # The run ends at turn 65 as asked; the turns its callback ran count toward it.
    assert world.turn == 65
    assert vek.read_logs(tmp_path / "kept").index[-1] == 65
    with pytest.raises(ValueError, match="a callback needs every > 0"):
        world.run(5, callback=print)
    with pytest.raises(ValueError, match="turns must be 0 or more"):
        world.run(-1)
    world.run(100, every=10, callback=lambda w: w.close())
    assert world.closed and world.turn == 70


def test_an_error_in_the_callback_or_ctrl_c_stops_the_world_at_a_step_it_goes_on_from():
    world = vek.World(seed=5)

    def fail(w):
        raise RuntimeError(f"stop at {w.turn}")

    with pytest.raises(RuntimeError, match="stop at 20"):
        world.run(100, every=20, callback=fail)
    assert world.turn == 20
    timer = threading.Timer(0.3, _thread.interrupt_main)
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        world.run(10**8)
    timer.join()
    stopped_at = world.turn
    assert 20 < stopped_at < 10**8
    # The world stands where an uninterrupted one stands after as many steps.
    other = vek.World(seed=5)
    other.run(20)
    other.run(stopped_at - 20)
    while other.phase != world.phase or other.time != world.time:
        other.step()
    assert other.individuals().tobytes() == world.individuals().tobytes()
