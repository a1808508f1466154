#pragma once
// File1: the mp3 file list of the panel. The folder listing and selection
// live in engine::FolderFileList; this keeps a QListWidget showing them, both
// ways: the engine's changes (folder, selection, visibility) show at once, and
// a click in the list selects the entry for the play button.

#include <QObject>

#include "engine/FolderFileList.h"
#include "engine/Host.h"

class QListWidget;

namespace ui {

class FileListView final : public engine::FileList {
  public:
    FileListView(platform::Runtime& runtime, QListWidget* widget);
    ~FileListView() override;
    FileListView(const FileListView&) = delete;
    FileListView& operator=(const FileListView&) = delete;

    bool SetPath(const std::string& folder) override;
    std::string Path() const override { return list_.Path(); }
    int Count() const override { return list_.Count(); }
    std::string Item(int index) const override { return list_.Item(index); }
    int ListIndex() const override { return list_.ListIndex(); }
    void SetListIndex(int index) override;
    std::string FileName() const override { return list_.FileName(); }
    bool Visible() const override { return list_.Visible(); }
    void SetVisible(bool visible) override;

    QListWidget* Widget() const { return widget_; }

  private:
    void ShowEntries();
    void ShowSelection();

    engine::FolderFileList list_;
    QListWidget* widget_;
    bool updating_ = false;
    QMetaObject::Connection selectionFollower_;
};

}  // namespace ui
