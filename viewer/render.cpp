#include "viewer/render.h"

#include <GL/gl.h>

#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

#include <iostream>
#include <memory>

#include "viewer/colour_rule.h"
#include "viewer/offscreen_context.h"
#include "viewer/scene_gl.h"
#include "viewer/snapshot_file.h"

namespace viewer {

namespace {

int fail(const std::string& problem) {
  std::cerr << "tovra: " << problem << std::endl;
  return 1;
}

// Writes the frame's pixels (bottom row first) as a PNG file, through a temporary file that
// replaces `path` only when complete.
std::optional<std::string> writePicture(const std::string& path, int width, int height,
                                        const std::vector<std::uint8_t>& pixels) {
  const QImage bottomUp(pixels.data(), width, height, 3 * width, QImage::Format_RGB888);
  const QImage picture = bottomUp.mirrored();
  QSaveFile file(QFile::decodeName(path.c_str()));
  if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
  QImageWriter writer(&file, "png");
  if (!writer.write(picture)) return writer.errorString().toStdString();
  if (!file.commit()) return file.errorString().toStdString();
  return std::nullopt;
}

}  // namespace

View renderView(const RenderOptions& options, const Scene& scene) {
  View view;
  view.radius = options.distance;
  view.phi = options.phi;
  view.theta = options.theta;
  if (options.target_x && options.target_y && options.target_z)
    view.target = scene.toScene({*options.target_x, *options.target_y, *options.target_z});
  return view;
}

int renderPicture(const RenderOptions& options) {
  PlantColours colours;
  Scene scene(colours);
  if (const auto problem = readSnapshotOrSay(options.snapshot, scene)) return fail(*problem);

  std::string problem;
  const std::unique_ptr<OffscreenContext> context = OffscreenContext::create(options.width, options.height, problem);
  if (!context) return fail("cannot draw " + options.picture + ": " + problem);
  glClearColor(0, 0, 0, 0);
  setUpLight();
  compileScene(scene, options.axes ? Axes::Shown : Axes::Hidden);
  setProjection(options.width, options.height);
  drawFrame(lookAt(renderView(options, scene)));
  glFinish();
  const std::vector<std::uint8_t> pixels = readFrame(options.width, options.height);
  if (const GLenum error = glGetError(); error != GL_NO_ERROR)
    return fail("cannot draw " + options.picture + ": OpenGL error " + std::to_string(error));

  if (const auto failed = writePicture(options.picture, options.width, options.height, pixels))
    return fail("cannot write the picture '" + options.picture + "': " + *failed);
  return 0;
}

}  // namespace viewer
