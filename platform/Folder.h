#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// True when `name` matches the wildcard `pattern` ("*" any run, "?" one
// character), without regard to ASCII case, as the file list matches "*.mp3".
bool WildcardMatch(std::string_view pattern, std::string_view name);

// Paths are UTF-8 strings in the program. These convert to and from the file
// system's own form as UTF-8 whatever the library takes a narrow string for
// (MinGW's takes UTF-8, Visual Studio's the ANSI code page, which cannot
// hold every name). A name that is no valid Unicode (an unpaired surrogate
// on Windows) cannot be written in UTF-8: Utf8FromPath then gives nothing.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::optional<std::string> Utf8FromPath(const std::filesystem::path& path);

// The names of the regular files in `folder` that match `pattern`, sorted;
// nothing when the folder cannot be opened (missing, not a folder, no access).
// Folder and names are UTF-8; a name that UTF-8 cannot hold is left out.
std::optional<std::vector<std::string>> ListMatchingFiles(const std::string& folder,
                                                          const std::string& pattern);

// How the program lists a folder: ListMatchingFiles, or on Windows its
// variant on wide paths (platform/win32/WideFolder.h).
using FolderListing = std::optional<std::vector<std::string>> (*)(const std::string& folder,
                                                                  const std::string& pattern);

// The listing itself, for both: the files of `folder` whose names, as
// `utf8Name` gives them (nothing: left out), match `pattern`, sorted.
std::optional<std::vector<std::string>> ListMatchingFilesIn(
    const std::filesystem::path& folder, const std::string& pattern,
    std::optional<std::string> (*utf8Name)(const std::filesystem::path& name));

}  // namespace platform
