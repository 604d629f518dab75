#include "viewer/tovra.h"

#include <GL/freeglut.h>

#include <cstdlib>
#include <iostream>

#include "viewer/bitmap.h"
#include "viewer/data_values.h"
#include "viewer/scene_gl.h"
#include "viewer/snapshot_file.h"
#include "viewer/texts.h"

namespace viewer {

std::string busyText(const char* doing, const std::string& path) {
  return std::string(text::kTitlePrefix) + doing + "::" + path;
}

Tovra::Tovra(ViewerDialogs& dialogs, ColourRuleMaker newColours)
    : mDialogs(dialogs),
      mNewColours(std::move(newColours)),
      mColours(mNewColours()),
      mScene(std::make_unique<Scene>(*mColours)) {}

void Tovra::resetScene() {
  mCamera = Camera();
  mColours = mNewColours();
  mScene = std::make_unique<Scene>(*mColours);
  glClearColor(0, 0, 0, 0);
  setUpLight();
}

std::optional<std::string> Tovra::loadSnapshot(const std::string& path) {
  mScene = std::make_unique<Scene>(*mColours);
  const std::optional<std::string> problem = readSnapshotOrSay(path, *mScene);
  if (problem) mScene = std::make_unique<Scene>(*mColours);
  compileScene(*mScene);
  return problem;
}

void Tovra::openSnapshot(const std::string& path) {
  mDialogs.showBusy(busyText(text::kLoadingFile, path));
  resetScene();
  const std::optional<std::string> problem = loadSnapshot(path);
  mDialogs.closeBusy();
  if (!problem) return;
  std::cerr << "tovra: " << *problem << std::endl;
  mDialogs.tellError(std::string(text::kCannotLoad) + "\n" + *problem);
}

void Tovra::savePicture() {
  const std::optional<std::string> path = mDialogs.choosePicture();
  if (!path) return;
  const int width = pictureWidth(mWidth);
  const int height = mHeight > 0 ? mHeight : 0;
  mDialogs.showBusy(busyText(text::kSavingBitmap, *path));
  drawFrame(lookAt(mCamera));
  const std::vector<std::uint8_t> pixels = readFrame(width, height);
  glDisable(GL_DEPTH_TEST);
  const std::string bytes = bitmapFile(width, height, pixels);
  if (!bytes.empty()) writePictureFile(*path, bytes);
  mDialogs.closeBusy();
}

void Tovra::showDataDialog() {
  DataDialogValues values = dataDialogValues(mCamera, *mScene, mWidth, mHeight);
  if (mDialogs.editData(values, *mScene)) applyDataDialogValues(values, *mScene, mCamera);
  glutPostRedisplay();
}

void Tovra::reloadSnapshot() {
  if (!mDialogs.askYesNo(text::kDiscardAndReload)) return;
  const std::optional<std::string> path = mDialogs.chooseSnapshot();
  if (!path) return;
  openSnapshot(*path);
  glutSetWindowTitle((std::string(text::kTitlePrefix) + *path).c_str());
  glutPostRedisplay();
}

void Tovra::display() {
  drawFrame(lookAt(mCamera));
  glFlush();
  glutSwapBuffers();
  glDisable(GL_DEPTH_TEST);
}

void Tovra::reshape(int width, int height) {
  mWidth = width;
  mHeight = height;
  setProjection(width, height);
}

void Tovra::carryOut(Command command) {
  switch (command) {
    case Command::None: break;
    case Command::Quit: std::exit(0);
    case Command::SavePicture: savePicture(); break;
    case Command::ShowData: showDataDialog(); break;
    case Command::Reload: reloadSnapshot(); break;
  }
}

void Tovra::keyboard(unsigned char key) {
  carryOut(pressKey(mCamera, key));
  clampAndWrap(mCamera);
  glutPostRedisplay();
}

void Tovra::arrow(Arrow arrow) {
  pressArrow(mCamera, arrow);
  glutPostRedisplay();
}

void Tovra::mouse(MouseButton button, bool pressed) { carryOut(pressMouse(button, pressed)); }

}  // namespace viewer
