#include "viewer/glut_window.h"

#include <GL/freeglut.h>

#include "viewer/texts.h"

namespace viewer {

namespace {

Tovra* gTovra = nullptr;  // GLUT's callbacks carry no context of their own

void onSpecial(int key, int, int) {
  switch (key) {
    case GLUT_KEY_LEFT: gTovra->arrow(Arrow::Left); break;
    case GLUT_KEY_RIGHT: gTovra->arrow(Arrow::Right); break;
    case GLUT_KEY_UP: gTovra->arrow(Arrow::Up); break;
    case GLUT_KEY_DOWN: gTovra->arrow(Arrow::Down); break;
    default: break;
  }
}

void onKeyboard(unsigned char key, int, int) { gTovra->keyboard(key); }

void onMouse(int button, int state, int, int) {
  const bool pressed = state == GLUT_DOWN;
  switch (button) {
    case GLUT_LEFT_BUTTON: gTovra->mouse(MouseButton::Left, pressed); break;
    case GLUT_MIDDLE_BUTTON: gTovra->mouse(MouseButton::Middle, pressed); break;
    case GLUT_RIGHT_BUTTON: gTovra->mouse(MouseButton::Right, pressed); break;
    default: break;
  }
}

void onDisplay() { gTovra->display(); }

void onReshape(int width, int height) { gTovra->reshape(width, height); }

}  // namespace

void startGlut(int& argc, char** argv) {
  glutInitWindowPosition(50, 50);
  glutInitWindowSize(300, 300);
  glutInit(&argc, argv);
}

int createViewerWindow(const std::string& path) {
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
  return glutCreateWindow((std::string(text::kTitlePrefix) + path).c_str());
}

void routeCallbacks(Tovra& tovra) {
  gTovra = &tovra;
  glutSpecialFunc(onSpecial);
  glutKeyboardFunc(onKeyboard);
  glutMouseFunc(onMouse);
  glutDisplayFunc(onDisplay);
  glutReshapeFunc(onReshape);
}

}  // namespace viewer
