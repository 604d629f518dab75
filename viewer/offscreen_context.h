// A GL context for pictures made with no display server at all (no X server, no Xvfb): Mesa's
// software renderer through EGL's surfaceless platform, drawing into a pbuffer of the
// picture's size. It is a compatibility-profile context, so the viewer's display lists and
// fixed-function lighting run in it unchanged.
//
// Ownership: the object owns the EGL display connection, context and pbuffer, and releases
// them when destroyed (in sanitizer builds, after the process's leak check). The context is current on the thread that created the object, which
// alone may draw with it.
#pragma once

#include <memory>
#include <string>

namespace viewer {

class OffscreenContext {
 public:
  // Makes a context with an RGB colour buffer and a depth buffer of width x height pixels and
  // makes it current. On failure returns null and sets `problem` to what went wrong (Mesa's
  // surfaceless platform missing, a size beyond what it can make, ...).
  static std::unique_ptr<OffscreenContext> create(int width, int height, std::string& problem);

  ~OffscreenContext();
  OffscreenContext(const OffscreenContext&) = delete;
  OffscreenContext& operator=(const OffscreenContext&) = delete;

 private:
  struct Handles;
  explicit OffscreenContext(std::unique_ptr<Handles> handles);
  std::unique_ptr<Handles> mHandles;
};

}  // namespace viewer
