// The pieces of the module `vek._vek` (module.cpp puts them together): the Parameters class,
// the World class, and the conversions they share. The package `vek` (vek/__init__.py) builds
// on them.
//
// Everything here runs with the GIL held unless it says otherwise.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "body/parameters.h"
#include "python/world_tables.h"

namespace vek::python {

namespace py = pybind11;

void bindParameters(py::module_& module);
void bindWorld(py::module_& module);

// The columns of `table` as a dict of one-dimensional NumPy arrays, in order: float64, int64,
// bool, and fixed-width Unicode for texts.
py::dict columnArrays(const Table& table);

// The key named `name`, or AttributeError naming it (and the nearest key, if one is close).
const ParameterKey& parameterKeyNamed(const std::string& name);
// `value` as the key takes it: an integer (int or NumPy integer, within 32 bits) for the
// integer keys, any real number for the others. TypeError or ValueError naming the key.
double parameterValue(const ParameterKey& key, py::handle value);

}  // namespace vek::python
