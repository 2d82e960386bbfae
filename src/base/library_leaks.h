#pragma once
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace avg {

// Calls `call` with LeakSanitizer ignoring what this thread allocates meanwhile. For calls
// into system libraries that lose memory on their failure paths (speech-dispatcher's connect,
// libwebsockets' context on a port in use), which the player has no way to free.
template <class Call>
auto ignoringLibraryLeaks(Call&& call) {
#if defined(__SANITIZE_ADDRESS__)
  __lsan::ScopedDisabler disabled;
#endif
  return call();
}

}  // namespace avg
