// The module `vek._vek`: the C++ half of the package `vek`.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "base/instructions.h"
#include "python/bindings.h"
#include "python/log_table.h"
#include "python/session_error.h"

namespace vek::python {

namespace {

PyObject* gFolderInUseError = nullptr;  // the module's own exception class, made once at import

PyObject* pythonExceptionFor(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::kKey: return PyExc_KeyError;
    case ErrorKind::kIndex: return PyExc_IndexError;
    case ErrorKind::kNotFound: return PyExc_FileNotFoundError;
    case ErrorKind::kExists: return PyExc_FileExistsError;
    case ErrorKind::kIsFolder: return PyExc_IsADirectoryError;
    case ErrorKind::kPermission: return PyExc_PermissionError;
    case ErrorKind::kInUse: return gFolderInUseError;
    case ErrorKind::kFile: return PyExc_OSError;
    case ErrorKind::kValue:
    case ErrorKind::kClosed: return PyExc_ValueError;
  }
  return PyExc_RuntimeError;
}

py::object textArray(const std::vector<std::string>& texts) {
  size_t width = 1;
  for (const std::string& text : texts) width = std::max(width, text.size());
  // The texts are identifiers: ASCII, one code point a byte.
  std::vector<char32_t> points(texts.size() * width, U'\0');
  for (size_t row = 0; row < texts.size(); ++row)
    std::copy(texts[row].begin(), texts[row].end(), points.begin() + static_cast<std::ptrdiff_t>(row * width));
  const std::vector<py::ssize_t> shape{static_cast<py::ssize_t>(texts.size())};
  const std::vector<py::ssize_t> strides{static_cast<py::ssize_t>(width * sizeof(char32_t))};
  return py::array(py::dtype::from_args(py::str("<U" + std::to_string(width))), shape, strides, points.data());
}

}  // namespace

py::dict columnArrays(const Table& table) {
  py::dict arrays;
  for (const Column& column : table.columns) {
    switch (column.kind) {
      case Column::kReal:
        arrays[column.name.c_str()] = py::array_t<double>(column.reals.size(), column.reals.data());
        break;
      case Column::kCount:
        arrays[column.name.c_str()] = py::array_t<std::int64_t>(column.counts.size(), column.counts.data());
        break;
      case Column::kFlag: {
        py::array_t<bool> flags(column.counts.size());
        auto out = flags.mutable_unchecked<1>();
        for (size_t i = 0; i < column.counts.size(); ++i) out(static_cast<py::ssize_t>(i)) = column.counts[i] != 0;
        arrays[column.name.c_str()] = flags;
        break;
      }
      case Column::kText: arrays[column.name.c_str()] = textArray(column.texts); break;
    }
  }
  return arrays;
}

}  // namespace vek::python

PYBIND11_MODULE(_vek, module) {
  using namespace vek::python;
  module.doc() = "The C++ half of the package vek: worlds, parameters and the reading of logs.";

  gFolderInUseError = PyErr_NewExceptionWithDoc(
      "vek.FolderInUseError", "The save folder's world is open in another program (or another World).",
      PyExc_OSError, nullptr);
  module.add_object("FolderInUseError", py::handle(gFolderInUseError));
  py::register_exception_translator([](std::exception_ptr raised) {
    try {
      if (raised) std::rethrow_exception(raised);
    } catch (const SessionError& error) {
      PyErr_SetString(pythonExceptionFor(error.kind()), error.what());
    }
  });

  bindParameters(module);
  bindWorld(module);

  py::list instructions;
  for (int code = 0; code < kInstructionCount; ++code) instructions.append(longNameOf(code));
  module.attr("INSTRUCTIONS") = py::tuple(instructions);
  py::list registers;
  for (int index = 0; index < kRegisterCount; ++index) registers.append(registerName(index));
  module.attr("REGISTERS") = py::tuple(registers);

  module.def(
      "_read_log_table",
      [](const std::filesystem::path& folder, std::optional<std::int64_t> firstTurn) {
        LogTable logs;
        {
          py::gil_scoped_release release;
          logs = readLogTable(folder.string(), firstTurn);
        }
        return py::make_tuple(columnArrays(logs.table), logs.firstTurn, logs.rows);
      },
      py::arg("folder"), py::arg("first_turn") = py::none(),
      "The statistics logs of a save folder as (columns, first turn, rows); vek.read_logs makes the frame.");
}
