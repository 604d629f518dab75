#include "viewer/offscreen_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <cstdio>
#include <cstring>
#include <string>

namespace viewer {

struct OffscreenContext::Handles {
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLContext context = EGL_NO_CONTEXT;
  EGLSurface surface = EGL_NO_SURFACE;

  ~Handles() {
    if (display == EGL_NO_DISPLAY) return;
#if defined(__SANITIZE_ADDRESS__)
    // In sanitizer builds the leak check runs now, once for the process: releasing the display
    // unloads Mesa's driver, whose buffers would then be reported as leaks of an unknown
    // module. Checked while the driver is loaded, they are still reachable, and only our own
    // leaks show.
    __lsan_do_leak_check();
#endif
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
    if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
    eglTerminate(display);
    eglReleaseThread();
  }
};

namespace {

std::string eglProblem(const char* what) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%04x", static_cast<unsigned>(eglGetError()));
  return std::string(what) + " (EGL error " + code + ")";
}

bool hasClientExtension(const char* name) {
  const char* all = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!all) return false;
  const size_t length = std::strlen(name);
  for (const char* at = std::strstr(all, name); at; at = std::strstr(at + 1, name))
    if ((at == all || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
  return false;
}

}  // namespace

OffscreenContext::OffscreenContext(std::unique_ptr<Handles> handles) : mHandles(std::move(handles)) {}
OffscreenContext::~OffscreenContext() = default;

std::unique_ptr<OffscreenContext> OffscreenContext::create(int width, int height, std::string& problem) {
  if (!hasClientExtension("EGL_MESA_platform_surfaceless")) {
    problem = "EGL has no surfaceless platform (Mesa's EGL, Debian package libegl-mesa0, provides it)";
    return nullptr;
  }
  auto handles = std::make_unique<Handles>();
  handles->display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  EGLint major = 0, minor = 0;
  if (handles->display == EGL_NO_DISPLAY || !eglInitialize(handles->display, &major, &minor)) {
    problem = eglProblem("EGL's surfaceless platform cannot be started");
    handles->display = EGL_NO_DISPLAY;
    return nullptr;
  }
  if (!eglBindAPI(EGL_OPENGL_API)) {
    problem = eglProblem("EGL offers no desktop OpenGL");
    return nullptr;
  }
  const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                           EGL_RED_SIZE,     8,               EGL_GREEN_SIZE,      8,
                           EGL_BLUE_SIZE,    8,               EGL_DEPTH_SIZE,      24,
                           EGL_NONE};
  EGLConfig config = nullptr;
  EGLint found = 0;
  if (!eglChooseConfig(handles->display, wanted, &config, 1, &found) || found < 1) {
    problem = eglProblem("EGL has no configuration with an RGB colour and a 24-bit depth buffer");
    return nullptr;
  }
  EGLint maxWidth = 0, maxHeight = 0;
  eglGetConfigAttrib(handles->display, config, EGL_MAX_PBUFFER_WIDTH, &maxWidth);
  eglGetConfigAttrib(handles->display, config, EGL_MAX_PBUFFER_HEIGHT, &maxHeight);
  if (width > maxWidth || height > maxHeight) {
    problem = "a picture of " + std::to_string(width) + "x" + std::to_string(height) +
              " is larger than the renderer can draw (" + std::to_string(maxWidth) + "x" +
              std::to_string(maxHeight) + ")";
    return nullptr;
  }
  // No version asked for: Mesa then gives its compatibility profile.
  handles->context = eglCreateContext(handles->display, config, EGL_NO_CONTEXT, nullptr);
  if (handles->context == EGL_NO_CONTEXT) {
    problem = eglProblem("EGL cannot make an OpenGL context");
    return nullptr;
  }
  const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  handles->surface = eglCreatePbufferSurface(handles->display, config, size);
  if (handles->surface == EGL_NO_SURFACE) {
    problem = eglProblem("EGL cannot make a drawing surface of that size");
    return nullptr;
  }
  if (!eglMakeCurrent(handles->display, handles->surface, handles->surface, handles->context)) {
    problem = eglProblem("EGL cannot make its context current");
    return nullptr;
  }
  return std::unique_ptr<OffscreenContext>(new OffscreenContext(std::move(handles)));
}

}  // namespace viewer
