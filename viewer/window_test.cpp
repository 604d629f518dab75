// The viewer in a real GLUT window (on a virtual X server in CI): loading snapshots, the keys
// and buttons that reach the dialogs, the saved picture's pixels, and the built program's
// window as the X server sees it.
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <QImage>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/scratch_root.h"
#include "viewer/camera.h"
#include "viewer/glut_window.h"
#include "viewer/scripted_dialogs.h"
#include "viewer/test_pixels.h"
#include "viewer/tovra.h"

// Last: Xlib's macros (None, Status, Bool...) would clash with the names above.
#include <X11/Xlib.h>

namespace {

using viewer::test::isAxis;
using viewer::test::isBlack;
using viewer::test::isGround;
using viewer::test::near;
using viewer::test::Pixel;

std::string dataPath(const std::string& name) { return std::string(VEK_TEST_DATA_DIR) + "/" + name; }

// A saved 24-bit bitmap, read back.
struct Picture {
  explicit Picture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
    if (bytes.size() >= 54) {
      width = static_cast<int>(word(18));
      height = static_cast<int>(word(22));
    }
  }
  std::uint32_t word(size_t at) const {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
  }
  // x from the left, row from the bottom
  Pixel at(int x, int row) const {
    const size_t i = 54 + 3 * (static_cast<size_t>(row) * width + x);
    return {static_cast<unsigned char>(bytes[i + 2]), static_cast<unsigned char>(bytes[i + 1]),
            static_cast<unsigned char>(bytes[i])};
  }
  int count(const std::function<bool(Pixel)>& test) const {
    int n = 0;
    for (int row = 0; row < height; ++row)
      for (int x = 0; x < width; ++x) n += test(at(x, row));
    return n;
  }

  std::string bytes;
  int width = 0;
  int height = 0;
};

// What the X server knows of the windows on it, through a connection of its own.
class XServer {
 public:
  XServer() : mDisplay(XOpenDisplay(nullptr)) {}
  ~XServer() {
    if (mDisplay) XCloseDisplay(mDisplay);
  }
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  // The size of the window titled `title`, waiting up to `patience` for it to appear.
  std::optional<std::pair<int, int>> sizeOf(const std::string& title, std::chrono::seconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    while (mDisplay) {
      if (const Window window = find(DefaultRootWindow(mDisplay), title)) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(mDisplay, window, &attributes)) return std::pair{attributes.width, attributes.height};
      }
      if (std::chrono::steady_clock::now() > until) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return std::nullopt;
  }

 private:
  Window find(Window window, const std::string& title) {
    char* name = nullptr;
    if (XFetchName(mDisplay, window, &name) && name) {
      const bool found = title == name;
      XFree(name);
      if (found) return window;
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(mDisplay, window, &root, &parent, &children, &count)) {
      for (unsigned i = 0; i < count && !found; ++i) found = find(children[i], title);
      if (children) XFree(children);
    }
    return found;
  }

  Display* mDisplay;
};

// The built program, started with `arguments`, its output discarded; ended when destroyed.
class RunningTovra {
 public:
  explicit RunningTovra(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), TOVRA_PROGRAM);
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t output;
    posix_spawn_file_actions_init(&output);
    posix_spawn_file_actions_addopen(&output, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&output, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&mPid, TOVRA_PROGRAM, &output, nullptr, argv.data(), environ) != 0) mPid = 0;
    posix_spawn_file_actions_destroy(&output);
  }
  ~RunningTovra() {
    if (mPid <= 0) return;
    kill(mPid, SIGTERM);
    waitpid(mPid, nullptr, 0);
  }
  RunningTovra(const RunningTovra&) = delete;
  RunningTovra& operator=(const RunningTovra&) = delete;

 private:
  pid_t mPid = 0;
};

class ViewerWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static char name[] = "tovra_window_tests";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    viewer::startGlut(argc, argv);
    window = viewer::createViewerWindow("window test");
  }

  void SetUp() override {
    folder = vek::test::scratchRoot() /
             (std::string("ViewerWindow.") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    tovra = std::make_unique<viewer::Tovra>(dialogs, [] { return std::make_unique<viewer::DrawnColours>(1234u); });
    viewer::routeCallbacks(*tovra);
    for (int i = 0; i < 10; ++i) glutMainLoopEvent();
    tovra->reshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    tovra->resetScene();
  }

  void TearDown() override { EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); }

  std::string pictureNamed(const std::string& name) { return (folder / name).string(); }

  // Saves the picture as the B key does.
  Picture save(const std::string& name) {
    dialogs.pictures.push_back(pictureNamed(name));
    tovra->keyboard('B');
    return Picture(pictureNamed(name));
  }

  static int window;
  std::filesystem::path folder;
  viewer::test::ScriptedDialogs dialogs;
  std::unique_ptr<viewer::Tovra> tovra;
};

int ViewerWindow::window = 0;

TEST_F(ViewerWindow, TheSavedPictureShowsGroundEdgeLeafAndFlowerWhereTheFilePutsThem) {
  tovra->loadSnapshot(dataPath("snapshot_picture.view"));
  ASSERT_EQ(tovra->width(), 300);
  ASSERT_EQ(tovra->height(), 300);
  // straight down on the field, +x to the right and +y up, through the data dialog
  dialogs.editor = [](viewer::DataDialogValues& v) {
    v.theta = 0;
    v.phi = 270;
    return true;
  };
  tovra->mouse(viewer::MouseButton::Right, true);
  ASSERT_EQ(dialogs.dataDialogs, 1);
  EXPECT_EQ(dialogs.shownValues.width, 300);
  EXPECT_EQ(dialogs.shownValues.max_x, 5);
  tovra->display();

  const Picture picture = save("top.bmp");
  ASSERT_EQ(picture.bytes.size(), 3u * 300 * 300 + 54);
  EXPECT_EQ(picture.width, 300);
  EXPECT_EQ(picture.height, 300);
  EXPECT_EQ(dialogs.busyTexts, std::vector<std::string>{"Tovra::BMPファイル保存中::" + pictureNamed("top.bmp")});
  EXPECT_FALSE(dialogs.busyOpen);

  // The field (-5..5, scale 2) spans -2.5..2.5 scene units; seen from 20 units above, a scene
  // unit at height z covers 850.7 / (20 - z) pixels from the centre (150, 150).
  EXPECT_TRUE(isBlack(picture.at(10, 10)));
  EXPECT_TRUE(isBlack(picture.at(290, 290)));
  EXPECT_TRUE(isBlack(picture.at(150, 30)));
  EXPECT_TRUE(isGround(picture.at(171, 129)));
  EXPECT_TRUE(isGround(picture.at(60, 240)));

  const auto& shapes = tovra->scene().shapes();
  ASSERT_EQ(shapes.size(), 3u);
  // the edge along x at y = -1.5: its top face takes 1.2 times its ambient colour plus 0.01
  const viewer::Colour stick = shapes[0].colour;
  for (int x : {110, 150, 190})
    EXPECT_TRUE(near(picture.at(x, 86), 1.2 * stick.r + 0.01, 1.2 * stick.g + 0.01, 1.2 * stick.b + 0.01, 3)) << x;
  // the leaf at (-1.5, 1): 1.7 times its colour where it faces the light
  const viewer::Colour leaf = shapes[1].colour;
  const Pixel leafTop = picture.at(85, 194);
  EXPECT_TRUE(near(leafTop, 1.7 * leaf.r, 1.7 * leaf.g, 1.7 * leaf.b, 12));
  EXPECT_GT(leafTop.g, leafTop.r);
  EXPECT_GT(leafTop.g, leafTop.b);
  // the flower above its seed at (1, 1): a yellow centre with red petals around it
  EXPECT_TRUE(near(picture.at(194, 194), 1, 1, 0, 2));
  EXPECT_TRUE(near(picture.at(211, 194), 1, 0, 0, 2));
  EXPECT_TRUE(near(picture.at(177, 194), 1, 0, 0, 2));
  EXPECT_TRUE(near(picture.at(194, 211), 1, 0, 0, 2));
  EXPECT_TRUE(near(picture.at(194, 177), 1, 0, 0, 2));
}

TEST_F(ViewerWindow, AFieldAloneShowsTheGroundAndAnUnreadableFileOnlyTheAxes) {
  tovra->loadSnapshot(dataPath("snapshot_ground.view"));
  const Picture ground = save("ground.bmp");
  ASSERT_EQ(ground.width, 300);
  EXPECT_TRUE(isGround(ground.at(150, 140)));
  EXPECT_GT(ground.count(isGround), 5000);
  EXPECT_GT(ground.count(isBlack), 5000);

  tovra->loadSnapshot(pictureNamed("no such file.view"));
  const Picture empty = save("empty.bmp");
  ASSERT_EQ(empty.width, 300);
  EXPECT_EQ(empty.count(isGround), 0);
  EXPECT_EQ(empty.count(isAxis), 300 * 300);
  EXPECT_GT(empty.count([](Pixel p) { return !isBlack(p); }), 100);  // the three axes
}

TEST_F(ViewerWindow, PicturesKeepWholeGroupsOfFourColumns) {
  tovra->loadSnapshot(dataPath("snapshot_ground.view"));
  tovra->reshape(301, 200);
  const Picture narrowed = save("301.bmp");
  EXPECT_EQ(narrowed.width, 300);
  EXPECT_EQ(narrowed.height, 200);
  EXPECT_EQ(narrowed.bytes.size(), 3u * 300 * 200 + 54);

  tovra->reshape(3, 300);
  dialogs.pictures.push_back(pictureNamed("3.bmp"));
  tovra->mouse(viewer::MouseButton::Left, true);
  EXPECT_EQ(Picture(pictureNamed("3.bmp")).bytes.size(), 54u);

  tovra->reshape(300, 0);
  EXPECT_EQ(save("flat.bmp").bytes.size(), 54u);

  tovra->mouse(viewer::MouseButton::Left, false);  // releases do nothing
  tovra->mouse(viewer::MouseButton::Middle, true);
  dialogs.pictures.push_back(std::nullopt);  // cancelled: nothing written, no busy window
  tovra->keyboard('b');
  EXPECT_EQ(dialogs.busyTexts.size(), 3u);
  EXPECT_EQ(dialogs.dataDialogs, 0);
}

TEST_F(ViewerWindow, ReloadAsksFirstThenReplacesTheSceneAndResetsTheCamera) {
  tovra->loadSnapshot(dataPath("snapshot_picture.view"));
  tovra->keyboard('8');
  ASSERT_EQ(tovra->camera().target_x, 1.0f);

  dialogs.answers.push_back(false);
  tovra->keyboard('F');
  ASSERT_EQ(dialogs.questions.size(), 1u);
  EXPECT_EQ(dialogs.questions[0], "読み込んだデータを破棄して、新しいファイルを読み込みますか？");
  dialogs.answers.push_back(true);
  dialogs.snapshots.push_back(std::nullopt);
  tovra->keyboard('f');
  EXPECT_EQ(tovra->scene().count(viewer::RecordKind::Edge), 1);
  EXPECT_EQ(tovra->camera().target_x, 1.0f);
  EXPECT_TRUE(dialogs.busyTexts.empty());

  const std::string plant = dataPath("snapshot_plant.view");
  dialogs.answers.push_back(true);
  dialogs.snapshots.push_back(plant);
  tovra->keyboard('F');
  EXPECT_EQ(dialogs.busyTexts, std::vector<std::string>{"Tovra::ファイル読み込み中::" + plant});
  EXPECT_FALSE(dialogs.busyOpen);
  EXPECT_EQ(tovra->scene().count(viewer::RecordKind::Edge), 4);
  EXPECT_EQ(tovra->scene().count(viewer::RecordKind::Seed), 3);
  EXPECT_EQ(tovra->camera().target_x, 0.0f);
  EXPECT_EQ(tovra->camera().radius, 10.0f);
  const Picture picture = save("plant.bmp");
  EXPECT_GT(picture.count(isGround), 5000);
}

TEST_F(ViewerWindow, ASnapshotThatCannotBeOpenedIsToldInAMessageBox) {
  const std::string missing = pictureNamed("no such file.view");
  tovra->openSnapshot(missing);
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0], "ファイルを読み込めませんでした。\ncannot open the snapshot '" + missing +
                                   "': No such file or directory");
  EXPECT_EQ(dialogs.busyTexts, std::vector<std::string>{"Tovra::ファイル読み込み中::" + missing});
  EXPECT_EQ(tovra->scene().count(viewer::RecordKind::Edge), 0);

  tovra->openSnapshot(dataPath("gene.gini"));
  ASSERT_EQ(dialogs.errors.size(), 2u);
  EXPECT_NE(dialogs.errors[1].find("gene.gini' holds no snapshot"), std::string::npos) << dialogs.errors[1];
  EXPECT_FALSE(tovra->scene().ground());

  tovra->openSnapshot(dataPath("snapshot_plant.view"));
  EXPECT_EQ(dialogs.errors.size(), 2u);
  EXPECT_EQ(tovra->scene().count(viewer::RecordKind::Edge), 4);
}

// The axes lie on the ground; the ground is pushed back in depth, so every pixel of an axis
// over the ground shows the axis, from any angle.
TEST_F(ViewerWindow, TheAxesStayInFrontOfTheGround) {
  tovra->loadSnapshot(dataPath("snapshot_ground.view"));  // the ground spans -2.5..2.5
  for (const auto& [theta, phi] : {std::pair{60, 70}, {75, 20}, {85, 200}, {40, 300}}) {
    tovra->camera().theta = theta;
    tovra->camera().phi = phi;
    const Picture picture = save("axes.bmp");
    GLdouble projection[16], model[16];
    GLint viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPushMatrix();
    const viewer::LookAt view = viewer::lookAt(tovra->camera());
    gluLookAt(view.eye.x, view.eye.y, view.eye.z, view.centre.x, view.centre.y, view.centre.z, view.up.x,
              view.up.y, view.up.z);
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glPopMatrix();
    int missing = 0;
    for (int axis = 0; axis < 2; ++axis) {
      for (double t = -1.95; t < 2.45; t += 0.05) {
        GLdouble x = 0, y = 0, z = 0;
        gluProject(axis == 0 ? t : 0, axis == 1 ? t : 0, 0, model, projection, viewport, &x, &y, &z);
        bool shown = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int px = static_cast<int>(x) + dx, row = static_cast<int>(y) + dy;
            if (px < 0 || row < 0 || px >= picture.width || row >= picture.height) continue;
            const Pixel p = picture.at(px, row);
            shown = shown || (axis == 0 ? p.r == 255 && p.g == 0 && p.b == 0 : p.r == 0 && p.g == 255 && p.b == 0);
          }
        missing += !shown;
      }
    }
    EXPECT_EQ(missing, 0) << "theta " << theta << ", phi " << phi;
  }
}

TEST_F(ViewerWindow, TheTitleNamesTheFileLoadedLast) {
  XServer server;
  const std::string before = pictureNamed("first.view");
  const std::string after = pictureNamed("second.view");
  for (const std::string& path : {before, after}) {
    std::filesystem::copy_file(dataPath("snapshot_plant.view"), path);
    dialogs.answers.push_back(true);
    dialogs.snapshots.push_back(path);
    tovra->keyboard('F');
    for (int i = 0; i < 10; ++i) glutMainLoopEvent();
    EXPECT_TRUE(server.sizeOf("Tovra::" + path, std::chrono::seconds(10))) << path;
  }
  EXPECT_FALSE(server.sizeOf("Tovra::" + before, std::chrono::seconds(0)));
}

// The window and a picture made without one (`tovra --render`, no display) show the same
// scene pixel for pixel, when both colour the plants by their identifiers.
TEST_F(ViewerWindow, ThePictureWithoutAWindowIsTheWindowsPicture) {
  tovra = std::make_unique<viewer::Tovra>(dialogs, [] { return std::make_unique<viewer::PlantColours>(); });
  tovra->reshape(300, 300);
  tovra->resetScene();
  tovra->loadSnapshot(dataPath("snapshot_picture.view"));
  tovra->camera().radius = 6;
  tovra->camera().phi = 100;
  tovra->camera().target_x = 0.5f;  // one metre: the fixture's scale is 2
  const Picture window = save("window.bmp");

  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u XAUTHORITY '" TOVRA_PROGRAM
                              "' --render '" + pictureNamed("render.png") +
                              "' --size 300x300 --camera 6,100,60 --target 1,0,0 '" +
                              dataPath("snapshot_picture.view") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const QImage render(QString::fromStdString(pictureNamed("render.png")));
  ASSERT_EQ(render.width(), 300);
  ASSERT_EQ(render.height(), 300);
  int differing = 0;
  for (int row = 0; row < 300; ++row) {
    for (int x = 0; x < 300; ++x) {
      const QRgb p = render.pixel(x, 299 - row);
      const Pixel w = window.at(x, row);
      differing += std::abs(qRed(p) - w.r) > 2 || std::abs(qGreen(p) - w.g) > 2 || std::abs(qBlue(p) - w.b) > 2;
    }
  }
  EXPECT_EQ(differing, 0);
  // ground, edge, leaf and flower all in view
  EXPECT_GT(window.count(isGround), 5000);
  EXPECT_GT(window.count([](Pixel p) { return p.g > 2 * p.r && p.g > 2 * p.b; }), 200);
  EXPECT_GT(window.count([](Pixel p) { return p.r > 200 && p.g > 200 && p.b < 20; }), 50);
}

// The built program: GLUT's -geometry sets the window's size; without it the window is 300 x 300.
TEST(ViewerProgram, GlutsGeometryOptionSizesTheWindow) {
  const std::string folder = vek::test::scratchRoot().string();
  std::filesystem::create_directories(folder);
  const std::string sized = folder + "/geometry 800x700.view";
  const std::string plain = folder + "/geometry default.view";
  std::filesystem::copy_file(dataPath("snapshot_plant.view"), sized, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::copy_file(dataPath("snapshot_plant.view"), plain, std::filesystem::copy_options::overwrite_existing);
  XServer server;
  {
    RunningTovra program({"-geometry", "800x700+50+50", sized});
    EXPECT_EQ(server.sizeOf("Tovra::" + sized, std::chrono::seconds(30)), std::pair(800, 700));
  }
  {
    RunningTovra program({plain});
    EXPECT_EQ(server.sizeOf("Tovra::" + plain, std::chrono::seconds(30)), std::pair(300, 300));
  }
}

}  // namespace
