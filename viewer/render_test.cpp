// Pictures and movies made without any display: the built `tovra --render` and
// scripts/timelapse.sh, started with DISPLAY unset, as on a server.
#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "viewer/colour_rule.h"
#include "viewer/test_pixels.h"
#include "viewer/test_programs.h"

namespace {

namespace fs = std::filesystem;

std::string dataPath(const std::string& name) { return std::string(VEK_TEST_DATA_DIR) + "/" + name; }

using viewer::test::isAxis;
using viewer::test::isBlack;
using viewer::test::isGround;
using viewer::test::near;
using viewer::test::Outcome;
using viewer::test::Pixel;
using viewer::test::readAll;

// A written picture; x from the left, row from the bottom, as the window test counts them.
struct Picture {
  explicit Picture(const fs::path& path) : image(QString::fromStdString(path.string())) {}
  int width() const { return image.width(); }
  int height() const { return image.height(); }
  Pixel at(int x, int row) const {
    const QRgb p = image.pixel(x, image.height() - 1 - row);
    return {qRed(p), qGreen(p), qBlue(p)};
  }
  int count(const std::function<bool(Pixel)>& test) const {
    int n = 0;
    for (int row = 0; row < height(); ++row)
      for (int x = 0; x < width(); ++x) n += test(at(x, row));
    return n;
  }
  QImage image;
};

// Coloured, and of one pure primary colour: an axis.
bool isPure(Pixel p) { return !isBlack(p) && isAxis(p); }

class Headless : public ::testing::Test {
 protected:
  void SetUp() override { folder = viewer::test::freshTestFolder("Headless"); }

  // Runs `command` (already quoted as the shell needs) in the test's folder with no display.
  Outcome run(const std::string& command) {
    return viewer::test::runIn(folder, "env -u DISPLAY -u WAYLAND_DISPLAY -u XAUTHORITY " + command);
  }

  Outcome render(const std::string& arguments) { return run("'" TOVRA_PROGRAM "' " + arguments); }

  // ffprobe's count of the frames of a movie's video stream.
  int framesOf(const std::string& movie) {
    const Outcome probe = run("ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames "
                              "-of default=nokey=1:noprint_wrappers=1 '" + movie + "'");
    return probe.exitCode == 0 ? std::atoi(probe.out.c_str()) : -1;
  }

  fs::path folder;
};

TEST_F(Headless, ThePictureShowsGroundEdgeLeafAndFlowerWhereTheWindowShowsThem) {
  // straight down on the field, +x to the right and +y up, as the window test looks
  const Outcome drawn = render("--render top.png --size 300x300 --camera 10,270,0 '" + dataPath("snapshot_picture.view") + "'");
  ASSERT_EQ(drawn.exitCode, 0) << drawn.err;
  EXPECT_EQ(drawn.out, "");
  EXPECT_EQ(drawn.err, "");
  const Picture picture(folder / "top.png");
  ASSERT_EQ(picture.width(), 300);
  ASSERT_EQ(picture.height(), 300);
  EXPECT_FALSE(picture.image.hasAlphaChannel());

  EXPECT_TRUE(isBlack(picture.at(10, 10)));
  EXPECT_TRUE(isBlack(picture.at(290, 290)));
  EXPECT_TRUE(isBlack(picture.at(150, 30)));
  EXPECT_TRUE(isGround(picture.at(171, 129)));
  EXPECT_TRUE(isGround(picture.at(60, 240)));

  // the plant 1-1-1's colours, taken from its identifier
  viewer::PlantColours colours;
  const viewer::Colour stick = colours.edge("1-1-1");
  for (int x : {110, 150, 190})
    EXPECT_TRUE(near(picture.at(x, 86), 1.2 * stick.r + 0.01, 1.2 * stick.g + 0.01, 1.2 * stick.b + 0.01, 3)) << x;
  const viewer::Colour leaf = colours.leaf("1-1-1");
  EXPECT_TRUE(near(picture.at(85, 194), 1.7 * leaf.r, 1.7 * leaf.g, 1.7 * leaf.b, 12));
  EXPECT_TRUE(near(picture.at(194, 194), 1, 1, 0, 2));
  EXPECT_TRUE(near(picture.at(211, 194), 1, 0, 0, 2));
  EXPECT_TRUE(near(picture.at(177, 194), 1, 0, 0, 2));
  EXPECT_TRUE(near(picture.at(194, 211), 1, 0, 0, 2));
  EXPECT_TRUE(near(picture.at(194, 177), 1, 0, 0, 2));

  // the axes are there, and gone with --no-axes; the picture is the same every time
  EXPECT_GT(picture.count(isPure), 100);
  ASSERT_EQ(render("--render bare.png --size 300x300 --camera 10,270,0 --no-axes '" +
                   dataPath("snapshot_picture.view") + "'").exitCode, 0);
  const Picture bare(folder / "bare.png");
  EXPECT_EQ(bare.count([](Pixel p) { return isPure(p) && (p.b == 255 || p.g == 255); }), 0);
  ASSERT_EQ(render("--render again.png --size 300x300 --camera 10,270,0 '" + dataPath("snapshot_picture.view") + "'")
                .exitCode, 0);
  EXPECT_EQ(readAll(folder / "again.png"), readAll(folder / "top.png"));
}

TEST_F(Headless, APictureTwiceTheSizeShowsTheSameSceneTwiceAsLarge) {
  const std::string view = "'" + dataPath("snapshot_plant.view") + "'";
  ASSERT_EQ(render("--render small.png --size 200x150 --camera 6,60,40 " + view).exitCode, 0);
  ASSERT_EQ(render("--render large.png --size 400x300 --camera 6,60,40 " + view).exitCode, 0);
  const Picture small(folder / "small.png");
  const Picture large(folder / "large.png");
  ASSERT_EQ(large.width(), 400);
  ASSERT_EQ(large.height(), 300);
  // Wherever the small picture is one colour around a pixel, the large one shows that colour
  // at the same place.
  const auto same = [](Pixel a, Pixel b) {
    return std::abs(a.r - b.r) <= 4 && std::abs(a.g - b.g) <= 4 && std::abs(a.b - b.b) <= 4;
  };
  int compared = 0, differing = 0, coloured = 0;
  for (int row = 1; row < 149; ++row) {
    for (int x = 1; x < 199; ++x) {
      const Pixel centre = small.at(x, row);
      bool uniform = true;
      for (int dy = -1; dy <= 1 && uniform; ++dy)
        for (int dx = -1; dx <= 1 && uniform; ++dx) uniform = same(small.at(x + dx, row + dy), centre);
      if (!uniform) continue;
      ++compared;
      coloured += !isBlack(centre);
      differing += !same(large.at(2 * x, 2 * row), centre) || !same(large.at(2 * x + 1, 2 * row + 1), centre);
    }
  }
  EXPECT_GT(compared, 20000);
  EXPECT_GT(coloured, 5000);  // the ground and the plants, not just the black around them
  EXPECT_EQ(differing, 0);
}

TEST_F(Headless, ASnapshotThatCannotBeReadIsNamedAndEndsWithExitCodeOne) {
  const Outcome missing = render("--render out.png 'no such.view'");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "tovra: cannot open the snapshot 'no such.view': No such file or directory\n");
  EXPECT_FALSE(fs::exists(folder / "out.png"));

  const Outcome notOne = render("--render out.png '" + dataPath("gene.gini") + "'");
  EXPECT_EQ(notOne.exitCode, 1);
  EXPECT_NE(notOne.err.find("gene.gini' holds no snapshot"), std::string::npos) << notOne.err;

  const Outcome folderGiven = render("--render out.png '" + std::string(VEK_TEST_DATA_DIR) + "'");
  EXPECT_EQ(folderGiven.exitCode, 1);
  EXPECT_NE(folderGiven.err.find("it is a folder"), std::string::npos) << folderGiven.err;

  const Outcome unwritable = render("--render 'no folder/out.png' '" + dataPath("snapshot_ground.view") + "'");
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_EQ(unwritable.err.rfind("tovra: cannot write the picture 'no folder/out.png': ", 0), 0u) << unwritable.err;

  const Outcome usage = render("--render out.png --size 10 '" + dataPath("snapshot_ground.view") + "'");
  EXPECT_EQ(usage.exitCode, 2);
  EXPECT_NE(usage.err.find("--size"), std::string::npos) << usage.err;
  EXPECT_FALSE(fs::exists(folder / "out.png"));
}

TEST_F(Headless, AnExistingPictureIsReplacedWhole) {
  std::ofstream(folder / "out.png") << "an older picture";
  ASSERT_EQ(render("--render out.png --size 64x48 '" + dataPath("snapshot_ground.view") + "'").exitCode, 0);
  const Picture picture(folder / "out.png");
  EXPECT_EQ(picture.width(), 64);
  EXPECT_EQ(picture.height(), 48);
  EXPECT_GT(picture.count(isGround), 200);
}

TEST_F(Headless, ATimeLapseOfThreeSnapshotsHasThreeFrames) {
  fs::create_directories(folder / "run");
  // numbered as the runner numbers them; not a snapshot of the run: left alone
  fs::copy_file(dataPath("snapshot_ground.view"), folder / "run" / "world-000100.view");
  fs::copy_file(dataPath("snapshot_picture.view"), folder / "run" / "world-000200.view");
  fs::copy_file(dataPath("snapshot_plant.view"), folder / "run" / "world-000300.view");
  fs::copy_file(dataPath("snapshot_plant.view"), folder / "run" / "other.view");

  const std::string script = "TOVRA='" TOVRA_PROGRAM "' bash '" TIMELAPSE_SCRIPT "' ";
  const Outcome made = run(script + "run movie.mp4 --fps 5 --size 160x120 --orbit");
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_NE(made.out.find("movie.mp4: 3 frames"), std::string::npos) << made.out;
  EXPECT_EQ(framesOf("movie.mp4"), 3);
  const Outcome size = run("ffprobe -v error -select_streams v:0 -show_entries stream=width,height,r_frame_rate "
                       "-of csv=p=0 movie.mp4");
  EXPECT_EQ(size.out, "160,120,5/1\n");

  const Outcome empty = run(script + "'" + folder.string() + "' empty.mp4");
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_NE(empty.err.find("no snapshots world-*.view"), std::string::npos) << empty.err;
  EXPECT_FALSE(fs::exists(folder / "empty.mp4"));
  EXPECT_EQ(run(script + "run bad.mp4 --fps fast").exitCode, 2);
  EXPECT_EQ(run(script + "run bad.mp4 --size 160").exitCode, 2);
  EXPECT_EQ(run(script + "run").exitCode, 2);
  EXPECT_EQ(run(script + "missing bad.mp4").exitCode, 1);
}

}  // namespace
