// The viewer program's state and operations: the camera, the scene of the last loaded
// snapshot, the window size, and what the keys, the mouse and the dialogs do with them.
//
// One instance lives for the whole program. It borrows the dialogs, which must outlive it.
// Its operations issue OpenGL calls and need the viewer window's context to be current; all
// run on the viewer's one thread (start-up and the GLUT callbacks).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "viewer/camera.h"
#include "viewer/colour_rule.h"
#include "viewer/dialogs.h"
#include "viewer/keys.h"
#include "viewer/scene.h"

namespace viewer {

class Tovra {
 public:
  // `newColours` gives the colour rule at every reset: in the program one generator seeded
  // with the current time, in tests a constant seed or the rule of pictures made without a
  // window.
  using ColourRuleMaker = std::function<std::unique_ptr<ColourRule>()>;
  Tovra(ViewerDialogs& dialogs, ColourRuleMaker newColours);

  // Camera back to its start, an empty scene (no logs, counters, field values), a new colour
  // rule, black clear colour and the light set up.
  void resetScene();
  // Reads the snapshot at `path` into the scene and compiles display list 1. A file that
  // cannot be read, or holds no snapshot, gives a scene of the light, the materials and the
  // axes only, and what went wrong is returned (naming the file).
  std::optional<std::string> loadSnapshot(const std::string& path);
  // Start-up's and reload's loading: the busy window while `resetScene` and `loadSnapshot`
  // run; then, when the file could not be read, the reason in a message box and on standard
  // error.
  void openSnapshot(const std::string& path);
  // Asks for a bitmap file and writes the window's picture to it, drawn afresh into the back
  // buffer, so it is the picture shown even where another window covers the viewer.
  void savePicture();
  // Opens the data dialog; on OK takes its camera values. Redraws either way.
  void showDataDialog();
  // Asks whether to discard the scene, then for a file, and loads it with the camera reset.
  // The window's title then names the new file.
  void reloadSnapshot();

  // The GLUT callbacks.
  void display();
  void reshape(int width, int height);
  void keyboard(unsigned char key);  // Escape ends the program with exit code 0
  void arrow(Arrow arrow);
  void mouse(MouseButton button, bool pressed);

  Camera& camera() { return mCamera; }
  const Scene& scene() const { return *mScene; }
  int width() const { return mWidth; }
  int height() const { return mHeight; }

 private:
  void carryOut(Command command);

  ViewerDialogs& mDialogs;
  ColourRuleMaker mNewColours;
  std::unique_ptr<ColourRule> mColours;
  Camera mCamera;
  std::unique_ptr<Scene> mScene;
  int mWidth = 0;
  int mHeight = 0;
};

// The busy window's text: "Tovra::" + what is being done + "::" + the path.
std::string busyText(const char* doing, const std::string& path);

}  // namespace viewer
