// Tovra: shows one snapshot file of the simulator as a 3D scene that the user can turn, move
// and zoom, and saves the picture as a bitmap; with --render it draws the same scene into a
// PNG file without any window.
#include <GL/freeglut.h>

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>

#include "viewer/command_line.h"
#include "viewer/glut_window.h"
#include "viewer/qt_dialogs.h"
#include "viewer/render.h"
#include "viewer/render_options.h"
#include "viewer/startup.h"
#include "viewer/texts.h"
#include "viewer/tovra.h"

namespace {

QtMessageHandler gQtDefault = nullptr;

// Qt ends the process with a fatal message when it cannot reach a display; the viewer reports
// that in its own words and exit code instead.
void onStartingQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) {
    std::fputs(viewer::text::kFrameworkFailed, stderr);
    std::fputs("\n", stderr);
    std::_Exit(1);
  }
  if (gQtDefault) gQtDefault(type, context, message);
}

// The dialog toolkit gets the program name only: the arguments belong to GLUT.
std::unique_ptr<QApplication> startDialogs(char* programName) {
  static int argc = 1;
  static char* argv[] = {programName, nullptr};
  gQtDefault = qInstallMessageHandler(onStartingQtMessage);
  auto application = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(gQtDefault);
  // Dialogs come and go inside GLUT's callbacks; closing the last of them must not end Qt.
  QApplication::setQuitOnLastWindowClosed(false);
  return application;
}

}  // namespace

int main(int argc, char** argv) {
  // A picture needs neither the dialogs nor GLUT, and so no display.
  if (viewer::isRenderCommand(argc, argv)) {
    const viewer::ParsedRenderCommand render = viewer::parseRenderCommand(argc, argv);
    if (!render.options) return render.exitCode;
    return viewer::renderPicture(*render.options);
  }

  const viewer::ViewerArguments arguments = viewer::readArguments(argc, argv);
  if (arguments.help) {
    std::cout << viewer::kHelpText;
    return 0;
  }
  if (!arguments.error.empty()) {
    std::cerr << arguments.error << '\n' << "Try 'tovra --help'.\n";
    return 2;
  }

  const std::unique_ptr<QApplication> application = startDialogs(argv[0]);
  for (const char* line : viewer::text::kGreeting) std::cout << line << '\n';
  std::cout.flush();

  viewer::QtDialogs dialogs;
  const std::optional<std::string> first = viewer::firstSnapshot(arguments, dialogs);
  if (!first) return 0;
  const std::string path = *first;

  viewer::startGlut(argc, argv);
  viewer::createViewerWindow(path);
  viewer::Tovra tovra(dialogs, [] {
    return std::make_unique<viewer::DrawnColours>(static_cast<std::uint32_t>(std::time(nullptr)));
  });
  tovra.openSnapshot(path);
  viewer::routeCallbacks(tovra);
  glutMainLoop();
  return 0;
}
