// OpenGL drawing of the viewer: the light, the display list compiled from a scene, the
// projection and one frame. Every function needs the viewer window's GL context to be
// current; viewer thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "viewer/camera.h"
#include "viewer/scene.h"

namespace viewer {

inline constexpr unsigned kSceneList = 1;

// Light 0, white, shining along -z (from above once the camera's transform applies), with
// lighting on. Normals are renormalised because sticks and spheres are drawn scaled, and
// unscaled normals would wash their colours out.
void setUpLight();

// Replaces display list 1 with `scene`: the light, the default material, the ground (when
// the file gave a field), every shape, then the unlit axes.
void compileScene(const Scene& scene);

// The reshape rule: viewport (0, 0, w, h); perspective of 20 degrees, near 1, far 40; the
// model-view matrix a translation of (0, 0, -10).
void setProjection(int width, int height);

// Clears the back buffer and draws display list 1 as `camera` sees it, with depth testing on
// (the caller turns it off after the frame). Nothing is swapped.
void drawFrame(const Camera& camera);

// The pixels of the rectangle (0, 0, w, h) of the back buffer: bottom row first, red, green,
// blue, rows without padding.
std::vector<std::uint8_t> readBackBuffer(int width, int height);

}  // namespace viewer
