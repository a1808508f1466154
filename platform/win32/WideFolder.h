#pragma once
// ListMatchingFiles for the Windows program: the folder opened by its wide
// (UTF-16) path and each name converted by the system (Utf16), so that a
// name outside the ANSI code page is listed as it is, and one that is no
// valid UTF-16 is listed with a replacement character rather than left out.

#include <optional>
#include <string>
#include <vector>

namespace platform {

std::optional<std::vector<std::string>> ListMatchingFilesWide(const std::string& folder,
                                                              const std::string& pattern);

}  // namespace platform
