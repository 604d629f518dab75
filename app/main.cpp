// Vek, the windowed simulator: the main window, then the start-up dialogue; the event loop
// runs until the main window closes, and the exit sequence saves the world.
#include <QApplication>
#include <cstdio>

#include "app/main_window.h"
#include "app/program_icon.h"
#include "app/qt_dialogs.h"
#include "app/qt_translation.h"
#include "app/simulator.h"
#include "app/startup.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  app::useClassicNumberFormat();
  QApplication::setApplicationName(QStringLiteral("Vek"));
  QApplication::setWindowIcon(app::programIcon());
  QString problem;
  if (!app::installQtJapanese(&application, &problem)) std::fprintf(stderr, "vek: %s\n", qPrintable(problem));

  app::Simulator simulator;
  simulator.setApplicationFolder(app::currentFolder());
  app::QtDialogs dialogs;
  app::CMainFrame frame(simulator, dialogs);
  dialogs.setParent(&frame);
  frame.show();

  if (app::runStartup(simulator, dialogs) == app::StartupOutcome::kQuit) {
    frame.close();
    simulator.discardWorld();
    return 0;
  }
  const int code = QApplication::exec();
  app::runExitSequence(simulator, dialogs);
  return code;
}
