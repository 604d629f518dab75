// vek.World: a world that runs in C++ on its own worker thread, read as NumPy arrays.
//
// Every call that waits for the world (its mutex, another thread driving it) or runs it
// releases the GIL first, so other Python threads, and other worlds, go on meanwhile. What a
// call reads is gathered as plain values under the world's mutex and turned into Python
// objects after it is released: no thread ever holds the world and waits for the GIL.
#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <climits>
#include <filesystem>
#include <optional>

#include "engine/place.h"
#include "engine/seed.h"
#include "engine/seed_list.h"
#include "engine/world.h"
#include "genome/gene_list.h"
#include "python/bindings.h"
#include "python/session_error.h"
#include "python/world_session.h"

namespace vek::python {

namespace {

constexpr std::chrono::milliseconds kSignalCheckInterval{100};

std::optional<std::uint32_t> seedOf(const py::object& seed) {
  if (seed.is_none()) return std::nullopt;
  if (PyBool_Check(seed.ptr()) || !PyIndex_Check(seed.ptr()))
    throw py::type_error("seed takes an integer, not " + std::string(py::str(py::type::handle_of(seed).attr("__name__"))));
  const long long value = py::int_(seed).cast<long long>();
  if (value < 0 || value > 0xffffffffLL)
    throw py::value_error("seed must lie in 0 to 4294967295, not " + std::to_string(value));
  return static_cast<std::uint32_t>(value);
}

Parameters parametersOf(const py::object& given) {
  if (given.is_none()) return Parameters();
  if (py::isinstance<Parameters>(given)) return given.cast<Parameters>();
  // A parameter file's path.
  return py::module_::import("vek._vek").attr("Parameters").attr("read")(given).cast<Parameters>();
}

std::string pathText(const py::object& path) { return py::str(py::module_::import("os").attr("fspath")(path)); }

void warnNotices(const WorldSession& session) {
  for (const std::string& notice : session.notices())
    if (PyErr_WarnEx(PyExc_UserWarning, ("vek: note: " + notice).c_str(), 2) != 0) throw py::error_already_set();
}

// The living individual `which` names: its index in population order (an int), or its
// identifier text (the first with it: children of one step may share one).
int indexOf(const WorldSession& session, const py::object& which) {
  if (py::isinstance<py::str>(which)) {
    const std::string id = which.cast<std::string>();
    py::gil_scoped_release release;
    return session.indexOf(id);
  }
  if (PyBool_Check(which.ptr()) || !PyIndex_Check(which.ptr()))
    throw py::type_error("an individual is named by its index (int) or its identifier (str)");
  const py::int_ whole(which);
  int overflow = 0;
  const long long index = PyLong_AsLongLongAndOverflow(whole.ptr(), &overflow);
  if (overflow != 0 || index < 0 || index > INT_MAX)
    throw py::index_error("no living individual has the index " + py::repr(whole).cast<std::string>());
  return static_cast<int>(index);
}

// A table of the world, read under its mutex, as one NumPy structured array.
py::object structuredTable(const WorldSession& session, Table (*make)(const mPlace&)) {
  Table table;
  {
    py::gil_scoped_release release;
    table = session.read([&](const mWorld& world) { return make(world.place()); });
  }
  return py::module_::import("vek").attr("_structured")(columnArrays(table));
}

py::dict individualDict(const IndividualRecord& r) {
  py::dict spent, registers;
  for (int code = 0; code < kInstructionCount; ++code)
    spent[longNameOf(code)] = r.spentOn[static_cast<size_t>(code)];
  for (int index = 0; index < kRegisterCount; ++index)
    registers[registerName(index).c_str()] = r.registers[static_cast<size_t>(index)];
  py::list instructions;
  for (int code : r.code) instructions.append(isOpcode(code) ? py::str(longNameOf(code)) : py::str("????"));
  py::dict energy;
  energy["current"] = r.energy;
  energy["gained"] = r.gained;
  energy["used"] = r.used;
  energy["upkeep"] = r.upkeep;
  energy["spent_on"] = spent;
  py::dict d;
  d["index"] = r.index;
  d["id"] = r.id;
  d["gene"] = r.gene;
  d["position"] = py::make_tuple(r.x, r.y, r.z);
  d["age"] = r.age;
  d["newborn"] = r.newborn;
  d["evaluation"] = r.evaluation;
  d["energy"] = energy;
  d["registers"] = registers;
  d["selected_register"] = registerName(r.selectedRegister);
  d["ip"] = r.ip;
  d["children"] = r.children;
  d["call_stack"] = r.callStack;
  d["data_stack"] = r.dataStack;
  d["code"] = r.code;
  d["instructions"] = instructions;
  d["trace"] = r.trace;
  d["body"] = r.body;
  return d;
}

}  // namespace

void bindWorld(py::module_& module) {
  py::class_<WorldSession>(module, "World", R"(A world of plants, run in C++ on a thread of its own.

World(parameters=None, seed=None, gene_file=None, base=None) grows a new world from the
built-in genome, or from the initial gene file gene_file. parameters is a vek.Parameters or
the path of a parameter file; seed reseeds the world's random numbers (without it they start
as every program's do). Without base the world lives in memory until save(folder) gives it a
folder; with base it is made as vek-batch --base makes it: its save folder original_log/ under
base (or the folder the gene file names), saved there at once, its logs written every turn.
World.load(folder) continues a saved world in its folder.

The world records the lineage of its genomes (phylogeny.csv, and every lineage_every turns
lineage_counts.csv, in its folder) unless lineage=False; lineage_prune keeps only the genomes
with a living descendant, as vek-batch's --lineage-prune.

A world holds its folder (no other program may open it) until close(); used as a context
manager it is saved and closed at the end of the block.)")
      .def(py::init([](const py::object& parameters, const py::object& seed, const py::object& geneFile,
                       const py::object& base, bool lineage, int lineageEvery, bool lineagePrune) {
             WorldSession::Creation creation;
             creation.parameters = parametersOf(parameters);
             creation.seed = seedOf(seed);
             if (!geneFile.is_none()) creation.geneFile = pathText(geneFile);
             if (!base.is_none()) creation.base = pathText(base);
             creation.lineage = {lineage, lineageEvery, lineagePrune, false};
             std::unique_ptr<WorldSession> session;
             {
               py::gil_scoped_release release;
               session = WorldSession::create(creation);
             }
             warnNotices(*session);
             return session;
           }),
           py::arg("parameters") = py::none(), py::arg("seed") = py::none(), py::arg("gene_file") = py::none(),
           py::arg("base") = py::none(), py::kw_only(), py::arg("lineage") = true, py::arg("lineage_every") = 10,
           py::arg("lineage_prune") = false)
      .def_static(
          "load",
          [](const std::filesystem::path& folder, const py::object& seed, bool lineage, int lineageEvery,
             bool lineagePrune, bool lineageReset) {
            const std::optional<std::uint32_t> seeded = seedOf(seed);
            std::unique_ptr<WorldSession> session;
            {
              py::gil_scoped_release release;
              session = WorldSession::load(folder.string(), seeded, {lineage, lineageEvery, lineagePrune, lineageReset});
            }
            warnNotices(*session);
            return session;
          },
          py::arg("folder"), py::arg("seed") = py::none(), py::kw_only(), py::arg("lineage") = true,
          py::arg("lineage_every") = 10, py::arg("lineage_prune") = false, py::arg("lineage_reset") = false,
          "The world saved in folder (the folder of its Vek.vek), which it keeps as its save folder and appends its "
          "logs to. seed reseeds its random numbers after the load. lineage_reset starts the lineage anew from the "
          "living genes when the folder's phylogeny.csv does not fit its world.")
      .def(
          "run",
          [](py::object self, int turns, int every, const py::object& callback) {
            WorldSession& session = self.cast<WorldSession&>();
            if (!callback.is_none() && every <= 0)
              throw py::value_error("a callback needs every > 0: the number of turns between its calls");
            std::function<bool()> atEvery;
            if (!callback.is_none()) {
              atEvery = [&] {
                py::gil_scoped_acquire acquire;
                const py::object answer = callback(self);
                return !(answer.is(py::bool_(false)));
              };
            }
            const auto poll = [] {
              py::gil_scoped_acquire acquire;
              if (PyErr_CheckSignals() != 0) throw py::error_already_set();
            };
            py::gil_scoped_release release;
            session.run(turns, every, atEvery, poll, kSignalCheckInterval);
          },
          py::arg("turns"), py::arg("every") = 0, py::arg("callback") = py::none(),
          R"(Runs the world for `turns` turns on its worker thread, the GIL released.

With every > 0 and a callback, the world stops whenever its turn reaches a multiple of every
and callback(world) is called; the callback may read, change and save the world, and ends the
run by returning False. Ctrl-C stops the world after its current step and raises
KeyboardInterrupt; so does an exception in the callback, which then comes out of run.)")
      .def(
          "step",
          [](WorldSession& session) {
            py::gil_scoped_release release;
            session.step();
          },
          "Runs one step: one phase of the turn (SUN_LIGHT, INITIAL_EXECUTE, PRE_EXECUTE, EXECUTE, AFTER_EXECUTE).")
      .def(
          "save",
          [](WorldSession& session, const std::optional<std::filesystem::path>& folder) {
            std::optional<std::string> into;
            if (folder) into = folder->string();
            {
              py::gil_scoped_release release;
              session.save(into);
            }
            warnNotices(session);
          },
          py::arg("folder") = py::none(),
          "Saves the world into its save folder, as vek-batch saves it. A world in memory takes `folder` as its "
          "save folder and writes its logs there from the next turn on.")
      .def(
          "close",
          [](WorldSession& session, bool save) {
            py::gil_scoped_release release;
            session.close(save);
          },
          py::arg("save") = true,
          "Saves the world into its folder (unless save=False) and lets the folder go. The world can still be "
          "read, but no longer run, changed or saved.")
      .def("__enter__", [](py::object self) { return self; })
      .def("__exit__",
           [](WorldSession& session, const py::object&, const py::object&, const py::object&) {
             py::gil_scoped_release release;
             session.close(true);
           })
      .def(
          "snapshot",
          [](WorldSession& session, const std::filesystem::path& path, const py::object& individual) {
            std::optional<int> index;
            if (!individual.is_none()) index = indexOf(session, individual);
            py::gil_scoped_release release;
            session.snapshot(path.string(), index);
          },
          py::arg("path"), py::arg("individual") = py::none(),
          "Writes a snapshot file (.view, for tovra) of the whole world, or of one individual (its index or "
          "identifier).")
      .def(
          "set",
          [](WorldSession& session, const std::string& name, py::handle value) {
            const ParameterKey& key = parameterKeyNamed(name);
            const double number = parameterValue(key, value);
            py::gil_scoped_release release;
            session.set(key, number);
          },
          py::arg("key"), py::arg("value"),
          "Sets the parameter `key` (a key of the parameter file); it takes effect at its next use.")
      .def(
          "parameters",
          [](const WorldSession& session) {
            py::gil_scoped_release release;
            return session.parameters();
          },
          "A copy of the world's parameters (change them with set()).")
      .def(
          "individuals", [](const WorldSession& session) { return structuredTable(session, &individualsTable); },
          "The living individuals as a NumPy structured array, one row each in population order.")
      .def(
          "genes", [](const WorldSession& session) { return structuredTable(session, &genesTable); },
          "The genes of the pool as a NumPy structured array: id, length, carriers.")
      .def(
          "individual",
          [](const WorldSession& session, const py::object& which) {
            const int index = indexOf(session, which);
            IndividualRecord record;
            {
              py::gil_scoped_release release;
              record = session.read([&](const mWorld& world) {
                const auto& living = world.place().population().living();
                if (index < 0 || index >= static_cast<int>(living.size()))
                  throw SessionError(ErrorKind::kIndex, "no living individual has the index " + std::to_string(index) +
                                                            " (" + std::to_string(living.size()) + " live)");
                return individualRecord(*living[static_cast<size_t>(index)], index);
              });
            }
            return individualDict(record);
          },
          py::arg("which"),
          "One living individual, by index or identifier: its row's figures with its registers, stacks, code, "
          "trace and body text, as a dict.")
      .def(
          "gene",
          [](const WorldSession& session, const std::string& id) {
            GeneRecord record;
            {
              py::gil_scoped_release release;
              record = session.read([&](const mWorld& world) {
                for (const auto& vector : world.place().genePool().vectors())
                  for (const auto& gene : vector->genes())
                    if (gene->identifier().text() == id) return geneRecord(*gene);
                throw SessionError(ErrorKind::kKey, "the gene pool holds no gene " + id);
              });
            }
            py::list instructions;
            for (int code : record.code) instructions.append(isOpcode(code) ? longNameOf(code) : "????");
            py::dict d;
            d["id"] = record.id;
            d["length"] = record.code.size();
            d["carriers"] = record.carriers;
            d["code"] = record.code;
            d["instructions"] = instructions;
            return d;
          },
          py::arg("id"), "One gene of the pool by its identifier: its code (opcodes and names) and carriers.")
      .def(
          "statistics",
          [](const WorldSession& session) {
            std::vector<Figure> figures;
            {
              py::gil_scoped_release release;
              figures = session.read([](const mWorld& world) { return statisticsOf(world.place()); });
            }
            py::dict d;
            for (const Figure& figure : figures)
              d[figure.name.c_str()] = figure.count ? py::object(py::int_(static_cast<long long>(figure.value)))
                                                    : py::object(py::float_(figure.value));
            return d;
          },
          "The figures a log line holds for the world's last turn, named as vek.read_logs names its columns.")
      .def_property_readonly("turn",
                             [](const WorldSession& s) {
                               py::gil_scoped_release release;
                               return s.read([](const mWorld& w) { return w.place().turn(); });
                             })
      .def_property_readonly("time",
                             [](const WorldSession& s) {
                               py::gil_scoped_release release;
                               return s.read([](const mWorld& w) { return w.place().time(); });
                             })
      .def_property_readonly("living",
                             [](const WorldSession& s) {
                               py::gil_scoped_release release;
                               return s.read([](const mWorld& w) { return w.place().population().livingCount(); });
                             })
      .def_property_readonly("phase",
                             [](const WorldSession& s) {
                               py::gil_scoped_release release;
                               return std::string(kPhaseNames[s.read([](const mWorld& w) { return w.phase(); })]);
                             })
      .def_property_readonly("caption",
                             [](const WorldSession& s) {
                               py::gil_scoped_release release;
                               return s.read([](const mWorld& w) { return w.caption(); });
                             })
      .def_property_readonly("folder",
                             [](const WorldSession& s) -> py::object {
                               const std::string folder = s.folder();
                               if (folder.empty()) return py::none();
                               return py::str(folder);
                             })
      .def_property_readonly("notices", &WorldSession::notices)
      .def_property_readonly("closed", &WorldSession::closed)
      .def("__repr__", [](const WorldSession& s) {
        std::string where = s.folder().empty() ? "in memory" : "in " + s.folder();
        std::pair<int, int> counts;
        {
          py::gil_scoped_release release;
          counts = s.read([](const mWorld& w) {
            return std::pair<int, int>(w.place().turn(), w.place().population().livingCount());
          });
        }
        const auto [turn, living] = counts;
        return "<vek.World at turn " + std::to_string(turn) + ", " + std::to_string(living) + " living, " + where +
               (s.closed() ? ", closed" : "") + ">";
      });
}

}  // namespace vek::python
