#pragma once
#include <string>
#include <string_view>

namespace avg {

// Replaces the file at `path` with `bytes` as one step: the bytes go to a temporary file in
// the same directory, which is flushed to disk and then renamed over the target. On any
// failure the temporary file is removed, the target is left as it was and false is returned.
// The temporary has no name until the bytes are complete where the file system allows it;
// elsewhere it is "NAME.tmp-XXXXXX", and such files left by a killed process are removed by
// the next replacement of NAME.
bool replaceFileAtomically(const std::string& path, std::string_view bytes);

// The same for the file `name` (one path component) in the open directory `directory`.
bool replaceFileAtomicallyAt(int directory, const std::string& name, std::string_view bytes);

}  // namespace avg
