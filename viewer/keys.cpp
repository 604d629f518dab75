#include "viewer/keys.h"

namespace viewer {

Command pressKey(Camera& camera, unsigned char key) {
  switch (key) {
    case 27: return Command::Quit;
    case '1': camera.radius -= 1.0f; break;
    case '9': camera.radius += 1.0f; break;
    case '2': camera.target_x -= 1.0f; break;
    case '8': camera.target_x += 1.0f; break;
    case '3': camera.target_y -= 1.0f; break;
    case '7': camera.target_y += 1.0f; break;
    case '4': camera.target_z -= 1.0f; break;
    case '6': camera.target_z += 1.0f; break;
    case 'B':
    case 'b': return Command::SavePicture;
    case 'D':
    case 'd': return Command::ShowData;
    case 'F':
    case 'f': return Command::Reload;
    default: break;
  }
  return Command::None;
}

void pressArrow(Camera& camera, Arrow arrow) {
  switch (arrow) {
    case Arrow::Left: camera.phi += 5; break;
    case Arrow::Right: camera.phi -= 5; break;
    case Arrow::Up: camera.theta += 5; break;
    case Arrow::Down: camera.theta -= 5; break;
  }
}

Command pressMouse(MouseButton button, bool pressed) {
  if (!pressed) return Command::None;
  if (button == MouseButton::Left) return Command::SavePicture;
  if (button == MouseButton::Right) return Command::ShowData;
  return Command::None;
}

}  // namespace viewer
