#include "ui/forms/FileListView.h"

#include <QListWidget>

namespace ui {

FileListView::FileListView(platform::Runtime& runtime, QListWidget* widget)
    : list_(runtime), widget_(widget) {
    widget_->setSelectionMode(QAbstractItemView::SingleSelection);
    selectionFollower_ =
        QObject::connect(widget_, &QListWidget::currentRowChanged, widget_, [this](int row) {
            if (!updating_) list_.SetListIndex(row);
        });
    ShowEntries();
    widget_->setVisible(list_.Visible());
}

// The widget may outlive this object by a moment (it goes with its window);
// its signals must not reach a list that is gone.
FileListView::~FileListView() {
    QObject::disconnect(selectionFollower_);
}

bool FileListView::SetPath(const std::string& folder) {
    if (!list_.SetPath(folder)) return false;
    ShowEntries();
    return true;
}

void FileListView::SetListIndex(int index) {
    list_.SetListIndex(index);
    ShowSelection();
}

void FileListView::SetVisible(bool visible) {
    list_.SetVisible(visible);
    widget_->setVisible(visible);
}

void FileListView::ShowEntries() {
    updating_ = true;
    widget_->clear();
    QStringList names;
    names.reserve(list_.Count());
    for (int i = 0; i < list_.Count(); ++i) names << QString::fromStdString(list_.Item(i));
    widget_->addItems(names);
    updating_ = false;
    ShowSelection();
}

void FileListView::ShowSelection() {
    updating_ = true;
    const int row = list_.ListIndex();
    if (row < 0) {
        widget_->clearSelection();
        widget_->setCurrentRow(-1);
    } else {
        widget_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    updating_ = false;
}

}  // namespace ui
