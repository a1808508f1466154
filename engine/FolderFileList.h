#pragma once
// The mp3 file list on a real folder: the "*.mp3" names the folder listing
// gives, in its order. It starts on the process's current working folder, hidden,
// with nothing selected.

#include <string>
#include <vector>

#include "engine/FileList.h"
#include "platform/Folder.h"

namespace engine {

class FolderFileList final : public FileList {
  public:
    explicit FolderFileList(platform::FolderListing listFolder = &platform::ListMatchingFiles);

    bool SetPath(const std::string& folder) override;
    std::string Path() const override { return path_; }
    int Count() const override { return static_cast<int>(entries_.size()); }
    std::string Item(int index) const override;
    int ListIndex() const override { return listIndex_; }
    void SetListIndex(int index) override;
    std::string FileName() const override { return Item(listIndex_); }
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override { visible_ = visible; }

    // The most entries the list holds (its count is a 16-bit number).
    static constexpr int kMaxEntries = 32767;

  private:
    platform::FolderListing listFolder_;
    std::string path_;
    std::vector<std::string> entries_;
    int listIndex_ = -1;
    bool visible_ = false;
};

}  // namespace engine
