"""vek.Parameters: the keys of the parameter file as attributes, read and written as the
programs read and write the file."""

import copy
import pickle

import numpy as np
import pytest

import vek
from conftest import DATA


def test_defaults_are_the_built_in_ones_and_write_the_programs_file(tmp_path):
    p = vek.Parameters()
    assert len(vek.Parameters.keys()) == 69
    assert vek.Parameters.keys()[0] == "mDaughter_log_turn" and vek.Parameters.keys()[-1] == "mSeed_turn_effect"
    assert p.mField_N == 1000 and isinstance(p.mField_N, int)
    assert p.mField_capacity == 0.5 and isinstance(p.mField_capacity, float)
    assert p.mCPU_adjust_phy == pytest.approx(0.5235987755982988, abs=0)
    assert p.mCPU_energy_make_leaf == 1.0
    p.write(tmp_path / "parameter.pini")
    assert (tmp_path / "parameter.pini").read_bytes() == (DATA / "parameter.pini").read_bytes()
    assert repr(p) == "vek.Parameters()"


def test_keys_are_set_by_attribute_item_and_keyword_and_read_back_from_a_file(tmp_path):
    p = vek.Parameters(mField_capacity=0.4, mField_N=np.int64(500))
    p["mSeed_turn_effect"] = 2
    p.mCPU_energy_breed_flower = np.float32(3.5)
    assert (p.mField_capacity, p.mField_N, p["mSeed_turn_effect"], p.mCPU_energy_breed_flower) == (0.4, 500, 2.0, 3.5)
    assert repr(p) == ("vek.Parameters(mField_N=500, mField_capacity=0.4, mCPU_energy_breed_flower=3.5, "
                       "mSeed_turn_effect=2.0)")
    p.write(str(tmp_path / "few.pini"))
    back = vek.Parameters.read(tmp_path / "few.pini")
    # The file keeps ten digits: the defaults that need more come back shortened.
    shortened = {key for key in vek.Parameters.keys() if back[key] != p[key]}
    assert shortened == {"mField_daylight", "mCPU_adjust_phy", "mCPU_adjust_theta"}
    assert back.mCPU_adjust_phy == 0.5235987756
    assert p.to_dict()["mField_N"] == 500 and list(p.to_dict()) == vek.Parameters.keys()
    assert pickle.loads(pickle.dumps(p)) == p
    twin = copy.copy(p)
    twin.mField_N = 7
    assert p.mField_N == 500 and twin != p


def test_a_file_sets_only_the_keys_it_names(tmp_path):
    (tmp_path / "one.pini").write_bytes(b"0.25 mField_capacity\r\n600 mField_N")  # the last line is unended
    p = vek.Parameters.read(tmp_path / "one.pini")
    assert p == vek.Parameters(mField_capacity=0.25)


def test_wrong_keys_and_types_are_named():
    p = vek.Parameters()
    with pytest.raises(AttributeError, match=r"no parameter is named mField_capasity \(did you mean mField_capacity\?\)"):
        p.mField_capasity = 0.4
    with pytest.raises(AttributeError, match="no parameter is named mField_capasity"):
        p.mField_capasity
    with pytest.raises(AttributeError, match="no parameter is named colour$"):
        vek.Parameters(colour=3)
    with pytest.raises(KeyError, match="mFoo"):
        p["mFoo"]
    with pytest.raises(TypeError, match="mField_N takes an integer, not float"):
        p.mField_N = 1.5
    with pytest.raises(TypeError, match="mField_capacity takes a number, not str"):
        p.mField_capacity = "0.4"
    with pytest.raises(TypeError, match="mField_capacity takes a number, not bool"):
        p.mField_capacity = True
    with pytest.raises(ValueError, match="mField_N holds a 32-bit integer; 4294967296 is beyond it"):
        p.mField_N = 2**32
    assert p == vek.Parameters()


def test_files_that_cannot_be_read_or_written_are_named(tmp_path):
    with pytest.raises(FileNotFoundError, match=f"cannot read {tmp_path}/none.pini: No such file or directory"):
        vek.Parameters.read(tmp_path / "none.pini")
    with pytest.raises(IsADirectoryError, match=f"cannot read {tmp_path}: it is a folder, not a file"):
        vek.Parameters.read(tmp_path)
    with pytest.raises(FileNotFoundError, match=f"cannot write {tmp_path}/no/p.pini"):
        vek.Parameters().write(tmp_path / "no" / "p.pini")
