#pragma once

#include <QObject>
#include <map>
#include <string>
#include <vector>

#include "platform/drives.h"

class QComboBox;
class QListWidget;
class QListWidgetItem;

namespace mv {

// The drive picker dc, the folder list dl and the masked file list fl, linked:
// choosing a drive moves dl to that drive's last folder, a folder change
// re-reads fl. Rows keep their bytes as item data; only display text is decoded.
class FileBrowser : public QObject {
    Q_OBJECT
  public:
    // Item data of dl and fl rows: the full folder path / bare file name bytes.
    static constexpr int kBytesRole = Qt::UserRole;

    FileBrowser(QComboBox* dc, QListWidget* dl, QListWidget* fl, const mv::DriveList& drives,
                QObject* parent = nullptr);

    // Re-reads the drive list into dc, keeping the chosen drive when it is still there.
    void ReadDrives();
    // Opens the root of the drive that holds `path` (the first drive when none does).
    void OpenDriveRootOf(const std::string& path);

    // The browser folder: dl's current folder.
    const std::string& Folder() const { return folder_; }
    // Moves dl to `folder` and re-reads both panes; false (nothing changes)
    // when it is not a folder that can be read.
    bool SetFolder(const std::string& folder);
    // The full path of fl's selected entry, empty when none is selected.
    std::string SelectedFile() const;
    // Makes the fl row with this bare name current; none when there is no such row.
    void SelectFileNamed(const std::string& name);

    // The mask's extension: fl shows "*." + ext and re-reads the folder.
    void SetExtension(const std::string& ext);

    // brefreshClick: the panes show the disk's present contents, same drive and folder.
    void Refresh();

    // The root of dc's chosen drive; empty when there is none.
    std::string DriveRoot() const;

  private:
    void dcChange(int index);
    void dlDblClick(QListWidgetItem* item);
    void ReadFolderRows();
    void ReadFileRows();
    void SelectDriveOf(const std::string& folder);

    QComboBox* dc_;
    QListWidget* dl_;
    QListWidget* fl_;
    const mv::DriveList& drives_;
    std::vector<mv::Drive> driveRows_;
    std::map<std::string, std::string> lastFolderOfDrive_;
    std::string folder_;
    std::string ext_ = "Mp3";
    bool linked_ = true;  // dc drives dl; off while the program itself moves dc
};

}  // namespace mv
