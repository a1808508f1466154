#include "platform/win32/WideFolder.h"

#include <filesystem>

#include "platform/Folder.h"
#include "platform/win32/Utf16.h"

namespace platform {
namespace {

std::optional<std::string> Utf8Name(const std::filesystem::path& name) {
    return Utf8FromUtf16(name.wstring());
}

}  // namespace

std::optional<std::vector<std::string>> ListMatchingFilesWide(const std::string& folder,
                                                              const std::string& pattern) {
    // Wide paths throughout: a narrow std::filesystem path on Windows is in
    // the ANSI code page, which cannot hold every name a folder may have.
    namespace fs = std::filesystem;
    return ListMatchingFilesIn(folder.empty() ? fs::path(L".") : fs::path(Utf16FromUtf8(folder)),
                               pattern, &Utf8Name);
}

}  // namespace platform
