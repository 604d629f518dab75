// What the viewer's keys and mouse buttons do to the camera, and which of the viewer's
// operations they call for. GL-free: the GLUT callbacks translate their codes and carry out
// the command.
#pragma once

#include "viewer/camera.h"

namespace viewer {

enum class Command { None, Quit, SavePicture, ShowData, Reload };

// An ordinary key: Escape quits; `1` `9` change `radius` by -1/+1; `2` `8`, `3` `7`, `4` `6`
// move the target by -1/+1 along x, y, z (scene units); `B` `D` `F` (either case) ask for the
// picture, the data dialog and a new file. Moves the camera and names the command; the caller
// carries the command out and then applies `clampAndWrap`.
Command pressKey(Camera& camera, unsigned char key);

// The arrow keys turn the eye by 5 degrees and neither clamp nor wrap: Left and Right change
// `phi` by +5/-5, Up and Down `theta` by +5/-5.
enum class Arrow { Left, Right, Up, Down };
void pressArrow(Camera& camera, Arrow arrow);

// Only presses act: the left button saves the picture, the right one opens the data dialog.
enum class MouseButton { Left, Middle, Right };
Command pressMouse(MouseButton button, bool pressed);

}  // namespace viewer
