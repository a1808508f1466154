#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// True when `name` matches the wildcard `pattern` ("*" any run, "?" one
// character), without regard to ASCII case, as the file list matches "*.mp3".
bool WildcardMatch(std::string_view pattern, std::string_view name);

// The names of the regular files in `folder` that match `pattern`, sorted;
// nothing when the folder cannot be opened (missing, not a folder, no access).
std::optional<std::vector<std::string>> ListMatchingFiles(const std::string& folder,
                                                          const std::string& pattern);

}  // namespace platform
