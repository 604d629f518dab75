// vek-gui-turn-rate: the windowed simulator's speed as a person sees it. It builds the main
// window of `vek` with its views open, loads a saved world, presses the control panel's START
// and lets the world run a given number of turns, with the windows refreshed as they are in
// `vek` (same classes, same event loop, the worker at the lowest priority as in `vek` unless
// asked otherwise). It prints the turns per second over those turns and the processor time
// they took, and how much of it the windows' thread had, so a script can set the world's
// worker beside `vek-batch`'s (scripts/gui-speed.sh).
//
// The world's folder is loaded and its logs appended to, as `vek` would: give it a copy.
#include <time.h>

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <mutex>
#include <string>

#include "app/control_panel.h"
#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "app/seed_view.h"
#include "app/simulator.h"
#include "app/startup.h"
#include "engine/place.h"
#include "engine/world.h"
#include "records/world_document.h"

namespace {

double processorSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

int turnOf(mWorld& world) {
  std::lock_guard<FairMutex> lock(world.mutex());
  return world.place().turn();
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  int turns = 5000;
  std::string views = "all";
  bool completeTracking = false;
  bool normalPriority = false;
  CLI::App cli("Runs a saved world in the windowed simulator's main window and prints its turns per second.");
  cli.add_option("--load", folder, "save folder of the world (it is loaded, run and its logs appended to)")
      ->required()
      ->check(CLI::ExistingDirectory);
  cli.add_option("--turns", turns, "turns to run")->check(CLI::PositiveNumber);
  cli.add_option("--views", views, "which views are open: all or none")->check(CLI::IsMember({"all", "none"}));
  cli.add_flag("--complete-tracking", completeTracking, "the seed view follows every individual that acts");
  cli.add_flag("--normal-priority", normalPriority,
               "the worker keeps the process's priority, as vek-batch's does (vek lowers it)");
  CLI11_PARSE(cli, argc, argv);

  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  app::useClassicNumberFormat();
  app::Simulator simulator;
  simulator.setApplicationFolder(app::currentFolder());
  app::QtDialogs dialogs;
  app::CMainFrame frame(simulator, dialogs);
  dialogs.setParent(&frame);
  frame.show();
  if (const vek::FileOutcome loaded = simulator.loadWorld(vek::asFolder(folder)); !loaded.ok()) {
    std::fprintf(stderr, "vek-gui-turn-rate: %s\n", loaded.error.c_str());
    return 1;
  }
  if (views == "all") {
    for (int kind = 0; kind < app::kViewKindCount; ++kind) frame.openView(static_cast<app::ViewKind>(kind));
    if (completeTracking) frame.openSeedView()->setTracking(app::SeedTracking::kComplete);
  }
  QApplication::processEvents();

  mWorld& world = *simulator.world();
  world.setLowestPriority(!normalPriority);
  const int first = turnOf(world);
  world.holdAfterTurn(first + turns);
  QElapsedTimer wall;
  double cpuStarted = 0, guiStarted = 0;
  QTimer::singleShot(0, [&] {
    cpuStarted = processorSeconds(CLOCK_PROCESS_CPUTIME_ID);
    guiStarted = processorSeconds(CLOCK_THREAD_CPUTIME_ID);
    wall.start();
    frame.controlPanel().start();
  });
  // The worker parks itself after the last turn; the event loop keeps the windows as busy as
  // in `vek` meanwhile.
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (wall.isValid() && !world.isBusy()) QApplication::quit();
  });
  watch.start(5);
  QApplication::exec();
  const double seconds = static_cast<double>(wall.nsecsElapsed()) * 1e-9;
  const double cpuSeconds = processorSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStarted;
  const double guiSeconds = processorSeconds(CLOCK_THREAD_CPUTIME_ID) - guiStarted;
  frame.controlPanel().suspend();

  const int run = turnOf(world) - first;
  std::printf("vek-gui-turn-rate: %d turns in %.2f s (%.1f turns/s); processor time %.2f s, %.2f s of it the "
              "windows' thread; views %s%s, worker at %s priority\n",
              run, seconds, seconds > 0 ? run / seconds : 0.0, cpuSeconds, guiSeconds, views.c_str(),
              completeTracking ? ", complete tracking" : "", normalPriority ? "the process's" : "the lowest");
  simulator.discardWorld();
  return 0;
}
