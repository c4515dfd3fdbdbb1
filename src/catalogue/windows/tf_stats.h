#pragma once

// TfStats: the list editor (menu List > Edit Mp3 list). It browses the Mp3
// list as a tree of CDs and folders, shows the titles of a node, edits and
// removes titles, deletes CDs and folders, steps through the search results
// of the comparison, exports the list, and imports and renames CDs. It works
// on its own copy of the list (the core's ListEditCopy) and writes it back
// only when the user agrees at closing; an import or a rename writes it at once.
//
// The application makes one editor for the program's life, with the hooks
// the main window gives (they search through its comparison), and hands it to
// the main window, so the search position and the caption of bSearch carry
// over between openings. The main window's List > Edit Mp3 list runs
// ShowModal(); the shell reads and restores rbDisplayMode through
// DisplayMode() and SetDisplayMode().

#include <QDialog>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/list_edit_copy.h"
#include "ui/common/proportional_layout.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;
class QTreeView;

namespace mv {

class Dialogs;
class FittingLabel;
class ListTreeModel;
class TitleListModel;

// What the editor asks of the main window.
struct TfStatsHooks {
    // The search: RunCompare in mode 3 at 101 with `searchText`, ePerc left as
    // it stands; returns the list locations the run left in the right result
    // list lbFile, in file order. Unset: nothing is found.
    std::function<std::vector<std::string>(const std::string& searchText)> search;
    // The list locations lbFile holds now, which a click with an empty eEdit
    // steps through. Unset: those of the last search.
    std::function<std::vector<std::string>()> resultRows;
};

class TfStats : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kDesignWidth = 743;
    static constexpr int kDesignHeight = 588;
    // Below this the two radio buttons and the edit row no longer read.
    static constexpr int kMinimumWidth = 640;
    static constexpr int kMinimumHeight = 440;

    TfStats(Dialogs& dialogs, std::filesystem::path programFolder, TfStatsHooks hooks,
            QWidget* parent = nullptr);
    ~TfStats() override;

    // "Edit Mp3 list": opens the list (FormActivate) and runs the window
    // modally until it closes. Without a list, or with one that cannot be read,
    // only a message is shown. True when the window was open.
    bool ShowModal();

    // rbDisplayMode's item: 0 "Show root's content", 1 "Show whole CD content ".
    int DisplayMode() const;
    void SetDisplayMode(int index);

    // Controls, under their given names.
    FittingLabel* Label1 = nullptr;
    FittingLabel* Label2 = nullptr;
    QTreeView* tCD = nullptr;
    QListView* ltitles = nullptr;
    QLineEdit* eEdit = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* bSearch = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* bExport = nullptr;
    QPushButton* bImport = nullptr;
    QPushButton* bRenameCd = nullptr;
    QGroupBox* rbDisplayMode = nullptr;
    QRadioButton* rbRootContent = nullptr;
    QRadioButton* rbWholeCd = nullptr;
    FittingLabel* lstats = nullptr;

    // Handlers. FormActivate loads the list and builds the tree; false (after
    // its message) when there is no list to edit. FormClose asks whether to
    // save; false when the window has to stay open (the save failed, or a
    // search is running).
    bool FormActivate();
    bool FormClose();
    void tCDClick();
    void ltitlesClick();
    void eEditChange();
    void Button3Click();
    void bSearchClick();
    void Button2Click();
    void Button1Click();
    // Export... writes every title with its CD and folder (CSV, or JSON by the
    // extension); Import... appends a CD from a CSV of relative paths; Rename
    // CD... renames the selected CD. Import and rename write the list at once.
    void bExportClick();
    void bImportClick();
    void bRenameCdClick();
    void rbDisplayModeClick();
    void FormResize();

    const mv::ListEditCopy& Copy() const { return copy_; }
    bool IsOpen() const { return open_; }
    size_t SearchPosition() const { return searchPosition_; }
    // The node tCD has selected; ListTree::kNone when none.
    uint32_t SelectedNode() const;
    // The tree's and the titles' models.
    ListTreeModel& TreeModel() { return *treeModel_; }
    TitleListModel& TitleModel() { return *titleModel_; }

  public Q_SLOTS:
    void done(int result) override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void BuildControls();
    void BuildColumns();     // the headings, the tree and the titles
    void BuildBottomRows();  // the buttons, the edit row, the display mode, the stats
    void Place(QWidget* w, mv::LayoutRect r);
    void WireControls();
    void BuildTree();
    void SelectNode(uint32_t id);
    void ShowStats(bool withShown);
    // After an import or rename wrote `lines`: the copy becomes them, unchanged,
    // and the tree shows the CD whose marker stands at `marker`.
    void TakeSavedList(std::vector<std::string> lines, size_t marker);
    // Import and rename write the copy with its pending edits: true when there
    // are none or the user agrees.
    bool MaySaveEdits();
    void ShowMessages(const std::vector<std::string>& messages);
    std::filesystem::path ListFile() const;

    Dialogs& dialogs_;
    std::filesystem::path programFolder_;
    TfStatsHooks hooks_;
    mv::ListEditCopy copy_;
    std::filesystem::path openedFile_;  // where the copy came from and goes back to
    ListTreeModel* treeModel_ = nullptr;
    TitleListModel* titleModel_ = nullptr;
    QButtonGroup* displayModeGroup_ = nullptr;
    bool open_ = false;
    bool searching_ = false;
    // Selections the window makes itself are no clicks: while above zero,
    // the tree and the titles do not run their click handlers.
    int quiet_ = 0;

    // The search, kept between openings.
    std::vector<std::string> lastResults_;
    size_t searchPosition_ = 0;

    std::vector<QWidget*> children_;
    std::vector<mv::LayoutRect> design_;
};

}  // namespace mv
