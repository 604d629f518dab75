#include "viewer/tovra.h"

#include <GL/freeglut.h>

#include <cstdlib>

#include "viewer/bitmap.h"
#include "viewer/data_values.h"
#include "viewer/scene_gl.h"
#include "viewer/texts.h"

namespace viewer {

std::string busyText(const char* doing, const std::string& path) {
  return std::string(text::kTitlePrefix) + doing + "::" + path;
}

Tovra::Tovra(ViewerDialogs& dialogs, std::function<std::uint32_t()> seedClock)
    : mDialogs(dialogs), mSeedClock(std::move(seedClock)), mScene(std::make_unique<Scene>(mColours)) {}

void Tovra::resetScene() {
  mCamera = Camera();
  mScene = std::make_unique<Scene>(mColours);
  mColours.seed(mSeedClock());
  glClearColor(0, 0, 0, 0);
  setUpLight();
}

void Tovra::loadSnapshot(const std::string& path) {
  mScene = std::make_unique<Scene>(mColours);
  vek::readSnapshotFile(path, *mScene);
  compileScene(*mScene);
}

void Tovra::savePicture() {
  const std::optional<std::string> path = mDialogs.choosePicture();
  if (!path) return;
  const int width = pictureWidth(mWidth);
  const int height = mHeight > 0 ? mHeight : 0;
  mDialogs.showBusy(busyText(text::kSavingBitmap, *path));
  drawFrame(mCamera);
  const std::vector<std::uint8_t> pixels = readBackBuffer(width, height);
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
  mDialogs.showBusy(busyText(text::kLoadingFile, *path));
  resetScene();
  loadSnapshot(*path);
  mDialogs.closeBusy();
  glutPostRedisplay();
}

void Tovra::display() {
  drawFrame(mCamera);
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
