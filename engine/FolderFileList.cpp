#include "engine/FolderFileList.h"

#include <filesystem>
#include <system_error>

namespace engine {

FolderFileList::FolderFileList(platform::FolderListing listFolder) : listFolder_(listFolder) {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    if (error) return;
    if (std::optional<std::string> folder = platform::Utf8FromPath(current)) SetPath(*folder);
}

bool FolderFileList::SetPath(const std::string& folder) {
    std::optional<std::vector<std::string>> names = listFolder_(folder, "*.mp3");
    if (!names) return false;
    if (names->size() > static_cast<std::size_t>(kMaxEntries)) names->resize(kMaxEntries);
    path_ = folder;
    entries_ = std::move(*names);
    listIndex_ = -1;
    return true;
}

std::string FolderFileList::Item(int index) const {
    if (index < 0 || index >= Count()) return {};
    return entries_[static_cast<std::size_t>(index)];
}

void FolderFileList::SetListIndex(int index) {
    listIndex_ = (index >= 0 && index < Count()) ? index : -1;
}

}  // namespace engine
