#pragma once
#include <string>
#include <string_view>

namespace avg {

// Replaces the file at `path` with `bytes` as one step: the bytes go to a temporary file in
// the same directory, which is flushed to disk and then renamed over the target. On any
// failure the temporary file is removed, the target is left as it was and false is returned.
bool replaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace avg
