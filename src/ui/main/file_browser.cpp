#include "ui/main/file_browser.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>
#include <filesystem>

#include "platform/folder_listing.h"
#include "ui/common/display_text.h"
#include "ui/main/browser_listing.h"

namespace mv {

namespace {

bool IsReadableFolder(const std::string& path) {
    std::error_code ec;
    std::filesystem::directory_iterator it(path, ec);
    return !ec;
}

// The folders from the drive root down to `folder`, root first.
std::vector<std::string> FolderChain(const std::string& root, const std::string& folder) {
    std::vector<std::string> chain{root};
    if (folder.size() <= root.size()) return chain;
    std::string rest = folder.substr(root.size());
    std::string current = root;
    std::size_t pos = 0;
    while (pos < rest.size()) {
        if (rest[pos] == '/') {
            ++pos;
            continue;
        }
        std::size_t end = rest.find('/', pos);
        if (end == std::string::npos) end = rest.size();
        current = mv::JoinPath(current, rest.substr(pos, end - pos));
        chain.push_back(current);
        pos = end;
    }
    return chain;
}

}  // namespace

FileBrowser::FileBrowser(QComboBox* dc, QListWidget* dl, QListWidget* fl,
                         const mv::DriveList& drives, QObject* parent)
    : QObject(parent), dc_(dc), dl_(dl), fl_(fl), drives_(drives) {
    connect(dc_, &QComboBox::currentIndexChanged, this, &FileBrowser::dcChange);
    connect(dl_, &QListWidget::itemDoubleClicked, this, &FileBrowser::dlDblClick);
    connect(dl_, &QListWidget::itemActivated, this, &FileBrowser::dlDblClick);
}

void FileBrowser::ReadDrives() {
    const std::string chosen = DriveRoot();
    driveRows_ = drives_.Drives();
    QSignalBlocker block(dc_);
    dc_->clear();
    for (const mv::Drive& d : driveRows_) dc_->addItem(DisplayText(d.root), BytesData(d.root));
    int index = dc_->findData(BytesData(chosen));
    if (index < 0 && !folder_.empty()) {
        const mv::Drive* d = mv::DriveOf(driveRows_, folder_);
        if (d != nullptr) index = dc_->findData(BytesData(d->root));
    }
    dc_->setCurrentIndex(index);
}

void FileBrowser::OpenDriveRootOf(const std::string& path) {
    ReadDrives();
    const mv::Drive* d = mv::DriveOf(driveRows_, path);
    if (d == nullptr && !driveRows_.empty()) d = &driveRows_.front();
    if (d != nullptr) SetFolder(d->root);
}

std::string FileBrowser::DriveRoot() const {
    if (dc_->currentIndex() < 0) return {};
    return BytesOfData(dc_->currentData());
}

void FileBrowser::SelectDriveOf(const std::string& folder) {
    const mv::Drive* d = mv::DriveOf(driveRows_, folder);
    QSignalBlocker block(dc_);
    dc_->setCurrentIndex(d == nullptr ? -1 : dc_->findData(BytesData(d->root)));
}

bool FileBrowser::SetFolder(const std::string& folder) {
    if (!IsReadableFolder(folder)) return false;
    folder_ = folder;
    SelectDriveOf(folder_);
    const std::string root = DriveRoot();
    if (!root.empty()) lastFolderOfDrive_[root] = folder_;
    ReadFolderRows();
    ReadFileRows();
    return true;
}

void FileBrowser::dcChange(int index) {
    if (!linked_ || index < 0) return;
    const std::string root = BytesOfData(dc_->itemData(index));
    auto last = lastFolderOfDrive_.find(root);
    // A drive remembers the folder it was left in, as each drive has its own current folder.
    if (last != lastFolderOfDrive_.end() && SetFolder(last->second)) return;
    SetFolder(root);
}

void FileBrowser::dlDblClick(QListWidgetItem* item) {
    if (item == nullptr) return;
    SetFolder(BytesOfData(item->data(kBytesRole)));
}

void FileBrowser::ReadFolderRows() {
    dl_->clear();
    if (folder_.empty()) return;
    const std::string drive = DriveRoot();
    const bool onDrive = !drive.empty() && folder_.compare(0, drive.size(), drive) == 0;
    const std::vector<std::string> chain =
        FolderChain(onDrive ? drive : std::string(1, '/'), folder_);
    int depth = 0;
    for (const std::string& path : chain) {
        const std::string label = depth == 0 ? path : mv::NamePartOfFolder(path);
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + DisplayText(label));
        item->setData(kBytesRole, BytesData(path));
        dl_->addItem(item);
        ++depth;
    }
    dl_->setCurrentRow(depth - 1);
    for (const std::string& name : mv::ListVisibleSubfolders(folder_)) {
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + DisplayText(name));
        item->setData(kBytesRole, BytesData(mv::JoinPath(folder_, name)));
        dl_->addItem(item);
    }
}

void FileBrowser::ReadFileRows() {
    fl_->clear();
    if (folder_.empty()) return;
    for (const std::string& name : mv::ListMatchingFiles(folder_, ext_)) {
        auto* item = new QListWidgetItem(DisplayText(name));
        item->setData(kBytesRole, BytesData(name));
        fl_->addItem(item);
    }
}

std::string FileBrowser::SelectedFile() const {
    const QList<QListWidgetItem*> selected = fl_->selectedItems();
    if (selected.isEmpty() || folder_.empty()) return {};
    return mv::JoinPath(folder_, BytesOfData(selected.front()->data(kBytesRole)));
}

void FileBrowser::SelectFileNamed(const std::string& name) {
    fl_->clearSelection();
    fl_->setCurrentRow(-1);
    for (int i = 0; i < fl_->count(); ++i) {
        if (BytesOfData(fl_->item(i)->data(kBytesRole)) == name) {
            fl_->setCurrentRow(i);
            return;
        }
    }
}

void FileBrowser::SetExtension(const std::string& ext) {
    ext_ = ext;
    ReadFileRows();
}

void FileBrowser::Refresh() {
    linked_ = false;
    const std::string root = DriveRoot();
    const mv::Drive* current = mv::DriveOf(driveRows_, folder_);
    if (!root.empty() && (current == nullptr || current->root != root)) {
        SetFolder(root);
    }
    // The folder itself may have gone meanwhile: fall back to its nearest existing parent.
    std::filesystem::path folder(folder_);
    while (!folder.empty() && !IsReadableFolder(folder.string()) &&
           folder != folder.parent_path()) {
        folder = folder.parent_path();
    }
    if (IsReadableFolder(folder.string())) folder_ = folder.string();
    ReadFileRows();
    ReadFolderRows();
    ReadDrives();
    dc_->update();
    linked_ = true;
}

}  // namespace mv
