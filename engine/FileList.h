#pragma once
// The mp3 file list behind File1: the "*.mp3" names of one folder, in the
// list's order. engine::FolderFileList reads a real folder; the windows keep
// it in their File1 control.

#include <string>

namespace engine {

class FileList {
  public:
    virtual ~FileList() = default;
    // Re-reads the entries of `folder`. False when it cannot be opened; the
    // list then keeps its previous folder and entries.
    virtual bool SetPath(const std::string& folder) = 0;
    virtual std::string Path() const = 0;
    virtual int Count() const = 0;                  // a 16-bit count: never more than 32767
    virtual std::string Item(int index) const = 0;  // 0-based; "" out of range
    virtual int ListIndex() const = 0;              // -1 when nothing is selected
    virtual void SetListIndex(int index) = 0;
    virtual std::string FileName() const = 0;  // the selected name, "" when none
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
};

// What the list's folder and one of its names are joined with to reach the
// file: the system's own separator.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The path of the song `name` in `folder`.
inline std::string SongPath(const std::string& folder, const std::string& name) {
    std::string path = folder;
    path += kPathSeparator;
    path += name;
    return path;
}

}  // namespace engine
