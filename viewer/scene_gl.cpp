#include "viewer/scene_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace viewer {

namespace {

// Ambient reflectance (r, g, b) and diffuse k times that, on both faces; a negative k is 0.5.
void setColor(double r, double g, double b, double k) {
  if (k < 0) k = 0.5;
  const GLfloat ambient[] = {GLfloat(r), GLfloat(g), GLfloat(b), 1};
  const GLfloat diffuse[] = {GLfloat(k * r), GLfloat(k * g), GLfloat(k * b), 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
}

void setColor(const Colour& colour) { setColor(colour.r, colour.g, colour.b, -1); }

// A cube of edge length 1 centred at the origin, each face with its own normal and its corners
// counter-clockwise seen from outside. Drawn by hand (not by GLUT) so that pictures made
// without a window share this code.
void solidCube() {
  static const GLdouble normals[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  static const GLdouble corners[6][4][3] = {
      {{0.5, -0.5, -0.5}, {0.5, 0.5, -0.5}, {0.5, 0.5, 0.5}, {0.5, -0.5, 0.5}},
      {{-0.5, -0.5, -0.5}, {-0.5, -0.5, 0.5}, {-0.5, 0.5, 0.5}, {-0.5, 0.5, -0.5}},
      {{-0.5, 0.5, -0.5}, {-0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {0.5, 0.5, -0.5}},
      {{-0.5, -0.5, -0.5}, {0.5, -0.5, -0.5}, {0.5, -0.5, 0.5}, {-0.5, -0.5, 0.5}},
      {{-0.5, -0.5, 0.5}, {0.5, -0.5, 0.5}, {0.5, 0.5, 0.5}, {-0.5, 0.5, 0.5}},
      {{-0.5, -0.5, -0.5}, {-0.5, 0.5, -0.5}, {0.5, 0.5, -0.5}, {0.5, -0.5, -0.5}}};
  glBegin(GL_QUADS);
  for (int face = 0; face < 6; ++face) {
    glNormal3dv(normals[face]);
    for (const auto& corner : corners[face]) glVertex3dv(corner);
  }
  glEnd();
}

// A sphere of 10 slices around z and 10 stacks along it, with smooth normals.
void solidSphere(GLUquadric* quadric, double radius) { gluSphere(quadric, radius, 10, 10); }

void place(const SceneShape& shape) {
  glTranslated(shape.at.x, shape.at.y, shape.at.z);
  if (shape.turn.angle != 0) glRotated(shape.turn.angle, shape.turn.axis.x, shape.turn.axis.y, shape.turn.axis.z);
  glScaled(shape.size.x, shape.size.y, shape.size.z);
}

void drawStick(const SceneShape& stick) {
  const GLfloat diffuse[] = {0.01f, 0.01f, 0.01f, 1};
  const GLfloat ambient[] = {GLfloat(stick.colour.r), GLfloat(stick.colour.g), GLfloat(stick.colour.b), 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
  glPushMatrix();
  place(stick);
  solidCube();
  glPopMatrix();
}

void drawLeaf(const SceneShape& leaf, GLUquadric* quadric) {
  glPushMatrix();
  place(leaf);
  setColor(leaf.colour);
  solidSphere(quadric, 1);
  glPopMatrix();
}

void drawFlower(const SceneShape& flower, GLUquadric* quadric) {
  static const double petals[4][2] = {{1.5, 0}, {-1.5, 0}, {0, -1.5}, {0, 1.5}};
  glPushMatrix();
  place(flower);
  setColor(flower.colour);
  solidSphere(quadric, 1);
  setColor(kPetalColour);
  for (const auto& petal : petals) {
    glPushMatrix();
    glTranslated(petal[0], petal[1], 0);
    solidSphere(quadric, 0.5);
    glPopMatrix();
  }
  glPopMatrix();
}

// The ground lies at height 0 like the axes; pushed back a little in depth, it can no longer
// win the depth test against the axes' lines in some pixels and lose it in others.
void drawGround(const Ground& ground) {
  setColor(kGroundColour);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1, 1);
  glBegin(GL_POLYGON);
  glNormal3d(0, 0, 1);
  glVertex3d(ground.x1, ground.y1, 0);
  glVertex3d(ground.x2, ground.y1, 0);
  glVertex3d(ground.x2, ground.y2, 0);
  glVertex3d(ground.x1, ground.y2, 0);
  glEnd();
  glDisable(GL_POLYGON_OFFSET_FILL);
}

void drawAxes() {
  glDisable(GL_LIGHTING);
  glBegin(GL_LINES);
  glColor3d(1, 0, 0);
  glVertex3d(4, 0, 0);
  glVertex3d(-2, 0, 0);
  glColor3d(0, 1, 0);
  glVertex3d(0, 4, 0);
  glVertex3d(0, -2, 0);
  glColor3d(0, 0, 1);
  glVertex3d(0, 0, 4);
  glVertex3d(0, 0, -2);
  glEnd();
}

}  // namespace

void setUpLight() {
  const GLfloat white[] = {1, 1, 1, 1};
  const GLfloat fromAbove[] = {0, 0, 1, 0};
  glLightfv(GL_LIGHT0, GL_AMBIENT, white);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
  glLightfv(GL_LIGHT0, GL_SPECULAR, white);
  glLightfv(GL_LIGHT0, GL_POSITION, fromAbove);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_NORMALIZE);
}

void compileScene(const Scene& scene, Axes axes) {
  glDeleteLists(kSceneList, 1);
  glNewList(kSceneList, GL_COMPILE);
  setUpLight();
  const GLfloat white[] = {1, 1, 1, 1};
  const GLfloat black[] = {0, 0, 0, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, white);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);
  if (const auto& ground = scene.ground()) drawGround(*ground);
  GLUquadric* quadric = gluNewQuadric();
  for (const SceneShape& shape : scene.shapes()) {
    switch (shape.kind) {
      case SceneShape::Kind::Stick: drawStick(shape); break;
      case SceneShape::Kind::Leaf: drawLeaf(shape, quadric); break;
      case SceneShape::Kind::Flower: drawFlower(shape, quadric); break;
    }
  }
  gluDeleteQuadric(quadric);
  if (axes == Axes::Shown) drawAxes();
  glEndList();
}

void setProjection(int width, int height) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(20.0, aspectRatio(width, height), 1.0, 40.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslated(0, 0, -10);
}

void drawFrame(const LookAt& view) {
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  gluLookAt(view.eye.x, view.eye.y, view.eye.z, view.centre.x, view.centre.y, view.centre.z, view.up.x, view.up.y,
            view.up.z);
  glCallList(kSceneList);
  glPopMatrix();
}

std::vector<std::uint8_t> readFrame(int width, int height) {
  if (width <= 0 || height <= 0) return {};
  std::vector<std::uint8_t> pixels(3 * static_cast<size_t>(width) * static_cast<size_t>(height));
  GLint drawnInto = GL_BACK;
  glGetIntegerv(GL_DRAW_BUFFER, &drawnInto);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(static_cast<GLenum>(drawnInto));
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

}  // namespace viewer
