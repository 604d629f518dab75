// The viewer in a real GLUT window (on a virtual X server in CI): loading snapshots, the keys
// and buttons that reach the dialogs, and the saved picture's pixels.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "viewer/glut_window.h"
#include "viewer/scripted_dialogs.h"
#include "viewer/tovra.h"

namespace {

std::string dataPath(const std::string& name) { return std::string(VEK_TEST_DATA_DIR) + "/" + name; }

struct Pixel {
  int r, g, b;
};

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

// The ground lit from straight above: ambient (0.7, 0.5, 0.3) under the white light and the
// default global ambient of 0.2, plus half of it as diffuse.
bool isGround(Pixel p) { return p.r >= 252 && std::abs(p.g - 217) <= 3 && std::abs(p.b - 130) <= 3; }
bool isBlack(Pixel p) { return p.r == 0 && p.g == 0 && p.b == 0; }
// The axes are drawn unlit in pure red, green and blue.
bool isAxis(Pixel p) {
  return (p.g == 0 && p.b == 0) || (p.r == 0 && p.b == 0) || (p.r == 0 && p.g == 0);
}

::testing::AssertionResult near(Pixel p, double r, double g, double b, int tolerance) {
  const auto byte = [](double v) { return static_cast<int>(std::min(1.0, v) * 255 + 0.5); };
  if (std::abs(p.r - byte(r)) <= tolerance && std::abs(p.g - byte(g)) <= tolerance &&
      std::abs(p.b - byte(b)) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << p.r << ", " << p.g << ", " << p.b << ") is not near ("
                                       << byte(r) << ", " << byte(g) << ", " << byte(b) << ")";
}

class ViewerWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static char name[] = "tovra_window_tests";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    glutInit(&argc, argv);
    window = viewer::createViewerWindow("window test");
  }

  void SetUp() override {
    folder = std::filesystem::temp_directory_path() / "vek_tests" /
             (std::string("ViewerWindow.") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    tovra = std::make_unique<viewer::Tovra>(dialogs, [] { return 1234u; });
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

}  // namespace
