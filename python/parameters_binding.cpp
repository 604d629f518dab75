// vek.Parameters: the 69 values of a parameter file as attributes.
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>

#include "base/text_io.h"
#include "python/bindings.h"
#include "python/session_error.h"

namespace vek::python {

namespace {

const std::vector<ParameterKey>& allKeys() {
  static const std::vector<ParameterKey> keys = parameterKeys();
  return keys;
}

// Edits that turn one name into the other (insertions, deletions, substitutions).
size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string typeName(py::handle value) { return py::str(py::type::handle_of(value).attr("__name__")); }

py::object valueOf(const ParameterKey& key, const Parameters& p) {
  if (key.isInteger()) return py::int_(p.*key.intValue);
  return py::float_(key.get(p));
}

Parameters readParameters(const std::filesystem::path& path) {
  const std::string file = path.string();
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw SessionError(ErrorKind::kIsFolder, "cannot read " + file + ": it is a folder, not a file");
  Parameters p;
  errno = 0;
  if (!readParameterFile(p, file, true)) throw errorFrom({describeFileError("cannot read", file)}, ErrorKind::kFile);
  return p;
}

void writeParameters(const Parameters& p, const std::filesystem::path& path) {
  const std::string file = path.string();
  errno = 0;
  if (!writeFileAtomically(file, parameterFileText(p)))
    throw errorFrom({describeFileError("cannot write", file)}, ErrorKind::kFile);
}

py::dict toDict(const Parameters& p) {
  py::dict values;
  for (const ParameterKey& key : allKeys()) values[key.name.c_str()] = valueOf(key, p);
  return values;
}

void setFrom(Parameters& p, const py::dict& values) {
  for (auto [name, value] : values) {
    const ParameterKey& key = parameterKeyNamed(py::str(name));
    key.set(p, parameterValue(key, value));
  }
}

}  // namespace

const ParameterKey& parameterKeyNamed(const std::string& name) {
  const auto& keys = allKeys();
  const auto found = std::find_if(keys.begin(), keys.end(), [&](const ParameterKey& key) { return key.name == name; });
  if (found != keys.end()) return *found;
  const auto nearest = std::min_element(keys.begin(), keys.end(), [&](const ParameterKey& a, const ParameterKey& b) {
    return editDistance(name, a.name) < editDistance(name, b.name);
  });
  std::string message = "no parameter is named " + name;
  if (editDistance(name, nearest->name) <= std::max<size_t>(2, name.size() / 4))
    message += " (did you mean " + nearest->name + "?)";
  throw py::attribute_error(message);
}

double parameterValue(const ParameterKey& key, py::handle value) {
  if (PyBool_Check(value.ptr()))
    throw py::type_error(key.name + " takes " + (key.isInteger() ? "an integer" : "a number") + ", not bool");
  if (key.isInteger()) {
    if (!PyIndex_Check(value.ptr())) throw py::type_error(key.name + " takes an integer, not " + typeName(value));
    const py::int_ whole = py::reinterpret_steal<py::int_>(PyNumber_Index(value.ptr()));
    if (!whole) throw py::error_already_set();
    int overflow = 0;
    const long long number = PyLong_AsLongLongAndOverflow(whole.ptr(), &overflow);
    if (overflow != 0 || number < INT_MIN || number > INT_MAX)
      throw py::value_error(key.name + " holds a 32-bit integer; " + py::repr(whole).cast<std::string>() + " is beyond it");
    return static_cast<double>(number);
  }
  if (PyUnicode_Check(value.ptr()) || PyBytes_Check(value.ptr()))
    throw py::type_error(key.name + " takes a number, not " + typeName(value));
  const double number = PyFloat_AsDouble(value.ptr());
  if (number == -1.0 && PyErr_Occurred()) {
    PyErr_Clear();
    throw py::type_error(key.name + " takes a number, not " + typeName(value));
  }
  return number;
}

void bindParameters(py::module_& module) {
  py::class_<Parameters> parameters(module, "Parameters", R"(The 69 values of a parameter file (parameter.pini).

Every key of the file is an attribute, with its built-in default: p.mField_capacity,
p.mField_N, p.mCPU_energy_make_leaf, ... Three are integers (mDaughter_log_turn, mField_N,
mSeedList_min_random_delete_number), the others floats. Parameters(**values) starts from the
defaults; Parameters.read(path) from a file; p.write(path) writes one. A wrong key raises
AttributeError naming it, a wrong type TypeError.)");
  parameters
      .def(py::init([](const py::kwargs& values) {
             Parameters p;
             setFrom(p, values);
             return p;
           }),
           "The built-in defaults, with the keys given set.")
      .def_static("read", &readParameters, py::arg("path"),
                  "The parameters of a parameter file: every key it sets, the defaults for the others.")
      .def("write", &writeParameters, py::arg("path"), "Writes the parameter file (replacing the file whole).")
      .def_static(
          "keys",
          [] {
            py::list names;
            for (const ParameterKey& key : allKeys()) names.append(key.name);
            return names;
          },
          "Every key, in the order of the file.")
      .def("to_dict", &toDict, "Every key and its value, in the order of the file.")
      .def("copy", [](const Parameters& p) { return p; })
      .def("__copy__", [](const Parameters& p) { return p; })
      .def("__deepcopy__", [](const Parameters& p, const py::dict&) { return p; })
      .def("__eq__", [](const Parameters& a, const Parameters& b) { return a == b; }, py::is_operator())
      .def("__getitem__",
           [](const Parameters& p, const std::string& name) {
             try {
               return valueOf(parameterKeyNamed(name), p);
             } catch (const py::attribute_error& error) {
               throw py::key_error(error.what());
             }
           })
      .def("__setitem__",
           [](Parameters& p, const std::string& name, py::handle value) {
             const ParameterKey* key = nullptr;
             try {
               key = &parameterKeyNamed(name);
             } catch (const py::attribute_error& error) {
               throw py::key_error(error.what());
             }
             key->set(p, parameterValue(*key, value));
           })
      .def("__setattr__",
           [](py::object self, const std::string& name, py::handle value) {
             const ParameterKey& key = parameterKeyNamed(name);
             key.set(self.cast<Parameters&>(), parameterValue(key, value));
           })
      .def("__getattr__",
           [](const Parameters&, const std::string& name) -> py::object {
             // Only asked for names that are no attribute: say which key was meant.
             parameterKeyNamed(name);
             return py::none();
           })
      .def("__repr__",
           [](const Parameters& p) {
             const Parameters defaults;
             std::string changed;
             for (const ParameterKey& key : allKeys()) {
               if (key.get(p) == key.get(defaults)) continue;
               changed += (changed.empty() ? "" : ", ") + key.name + "=" + std::string(py::repr(valueOf(key, p)));
             }
             return "vek.Parameters(" + changed + ")";
           })
      .def(py::pickle([](const Parameters& p) { return toDict(p); },
                      [](const py::dict& values) {
                        Parameters p;
                        setFrom(p, values);
                        return p;
                      }));
  for (const ParameterKey& key : allKeys()) {
    parameters.def_property(
        key.name.c_str(), [key](const Parameters& p) { return valueOf(key, p); },
        [key](Parameters& p, py::handle value) { key.set(p, parameterValue(key, value)); });
  }
}

}  // namespace vek::python
