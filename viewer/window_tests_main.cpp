// Runs the window tests. In sanitizer builds the leak check runs here, before exit: at exit
// Mesa unloads its driver and drops buffers still owned by the live GL context, which would
// be reported as leaks of an unknown module; checked now, they are still reachable and only
// leaks of our own code are reported.
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
#if defined(__SANITIZE_ADDRESS__)
  __lsan_do_leak_check();
#endif
  return result;
}
