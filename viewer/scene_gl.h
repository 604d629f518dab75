// OpenGL drawing of the viewer: the light, the display list compiled from a scene, the
// projection and one frame. The same code draws the window and the pictures made without one
// (`tovra --render`), so both show the very same scene. Every function needs a GL context
// (compatibility profile) to be current; the thread that made it current only.
#pragma once

#include <cstdint>
#include <vector>

#include "viewer/camera.h"
#include "viewer/scene.h"

namespace viewer {

inline constexpr unsigned kSceneList = 1;

enum class Axes { Shown, Hidden };

// Light 0, white, shining along -z (from above once the camera's transform applies), with
// lighting on. Normals are renormalised because sticks and spheres are drawn scaled, and
// unscaled normals would wash their colours out.
void setUpLight();

// Replaces display list 1 with `scene`: the light, the default material, the ground (when
// the file gave a field), every shape, then the unlit axes unless hidden.
void compileScene(const Scene& scene, Axes axes = Axes::Shown);

// The reshape rule: viewport (0, 0, w, h); perspective of 20 degrees, near 1, far 40; the
// model-view matrix a translation of (0, 0, -10).
void setProjection(int width, int height);

// Clears the buffer being drawn (the back buffer of a window) and draws display list 1 as seen
// from `view`, with depth testing on (the caller turns it off after the frame). Nothing is
// swapped.
void drawFrame(const LookAt& view);

// The pixels of the rectangle (0, 0, w, h) of the buffer that was drawn into: bottom row
// first, red, green, blue, rows without padding. Empty for a rectangle without area.
std::vector<std::uint8_t> readFrame(int width, int height);

}  // namespace viewer
