#include "platform/Folder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace platform {

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    // Iterative matcher with one backtrack point: linear enough for file
    // names and never recursive, whatever the pattern.
    std::size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    auto lower = [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::optional<std::string> Utf8FromPath(const std::filesystem::path& path) {
    try {
        std::u8string utf8 = path.u8string();
        return std::string(utf8.begin(), utf8.end());
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<std::vector<std::string>> ListMatchingFilesIn(
    const std::filesystem::path& folder, const std::string& pattern,
    std::optional<std::string> (*utf8Name)(const std::filesystem::path& name)) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return std::nullopt;
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::optional<std::string> name = utf8Name(it->path().filename());
        if (name && WildcardMatch(pattern, *name)) names.push_back(std::move(*name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::vector<std::string>> ListMatchingFiles(const std::string& folder,
                                                          const std::string& pattern) {
    return ListMatchingFilesIn(folder.empty() ? std::filesystem::path(".") : PathFromUtf8(folder),
                               pattern, &Utf8FromPath);
}

}  // namespace platform
