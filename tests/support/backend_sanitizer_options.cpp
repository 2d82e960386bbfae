// The back-end tests run SDL, X11 and audio threads inside the test process. When the process
// ends, LeakSanitizer stops every thread to scan for leaks, and its tracer has been seen to
// crash while those libraries' threads wind down, failing a test that passed. Leaks of the
// player's own code are still found by the core tests and by every avgplayer this binary
// starts, which keep their leak checks.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_options() {
  return "detect_leaks=0";
}
#endif
