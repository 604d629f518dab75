// `tovra --render`: one picture of a snapshot made without any window or display server. It
// is the very scene the window draws (the same scene building, display list, light,
// projection and camera) at the picture's size, with every plant coloured by its identifier
// (`PlantColours`), written as a PNG file.
//
// Runs on the calling thread, which it makes the GL context's for the picture's duration.
#pragma once

#include "viewer/camera.h"
#include "viewer/render_options.h"
#include "viewer/scene.h"

namespace viewer {

// Makes the picture. Returns the program's exit code: 0 when the picture is written; 1 when
// the snapshot cannot be read or holds no snapshot, when no GL context can be made, or when
// the picture cannot be written (the reason, naming the file, on standard error). An existing
// picture is replaced only by a complete new one.
int renderPicture(const RenderOptions& options);

// The eye of the picture: the options' distance and angles, and the point looked at turned
// from metres into the scene's units (the field's centre when the options name none).
View renderView(const RenderOptions& options, const Scene& scene);

}  // namespace viewer
