#include "catalogue/windows/tf_stats.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <array>

#include "catalogue/windows/list_models.h"
#include "platform/program_folder.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"
#include "ui/common/fitting_label.h"

namespace mv {

namespace {

const char kSearch[] = "Search";
const char kNext[] = "Next";

template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(DisplayText(name));
    return widget;
}

// How a control follows the window when it grows by dw x dh from the design:
// the tree's column and the titles' column share the new width, the bottom
// rows keep their distance to the bottom edge.
enum class Across {
    Fixed,        // stays where it is
    LeftHalf,     // the tree's column: grows by half the width
    RightHalf,    // the titles' column: moves by half, grows by the other half
    RightHalfAt,  // moves with the titles' column, keeps its width
    Right,        // keeps its distance to the right edge
    Whole,        // grows by the whole width
};
enum class Down { Fixed, Stretch, Bottom };

struct Rule {
    Across across;
    Down down;
};

// The place of a control designed at `r` in a window of the given size.
mv::LayoutRect Follow(const mv::LayoutRect& r, Rule rule, int width, int height) {
    const int dw = width - TfStats::kDesignWidth;
    const int dh = height - TfStats::kDesignHeight;
    const int half = dw / 2;
    mv::LayoutRect out = r;
    switch (rule.across) {
        case Across::Fixed:
            break;
        case Across::LeftHalf:
            out.width += half;
            break;
        case Across::RightHalf:
            out.left += half;
            out.width += dw - half;
            break;
        case Across::RightHalfAt:
            out.left += half;
            break;
        case Across::Right:
            out.left += dw;
            break;
        case Across::Whole:
            out.width += dw;
            break;
    }
    if (rule.down == Down::Stretch) out.height += dh;
    if (rule.down == Down::Bottom) out.top += dh;
    return out;
}

// One per child, in the order BuildControls places them.
constexpr std::array<Rule, 14> kRules = {{
    {Across::LeftHalf, Down::Fixed},      // Label1
    {Across::RightHalf, Down::Fixed},     // Label2
    {Across::LeftHalf, Down::Stretch},    // tCD
    {Across::RightHalf, Down::Stretch},   // ltitles
    {Across::Fixed, Down::Bottom},        // Button1
    {Across::RightHalf, Down::Bottom},    // eEdit
    {Across::Right, Down::Bottom},        // Button3
    {Across::Right, Down::Bottom},        // bSearch
    {Across::LeftHalf, Down::Bottom},     // rbDisplayMode
    {Across::RightHalfAt, Down::Bottom},  // Button2
    {Across::RightHalfAt, Down::Bottom},  // bExport
    {Across::RightHalfAt, Down::Bottom},  // bImport
    {Across::RightHalfAt, Down::Bottom},  // bRenameCd
    {Across::Whole, Down::Bottom},        // lstats
}};

// Marks the selections the window makes itself, so they run no click handler.
class Quiet {
  public:
    explicit Quiet(int& depth) : depth_(depth) { ++depth_; }
    ~Quiet() { --depth_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

  private:
    int& depth_;
};

}  // namespace

TfStats::TfStats(Dialogs& dialogs, std::filesystem::path programFolder, TfStatsHooks hooks,
                 QWidget* parent)
    : QDialog(parent),
      dialogs_(dialogs),
      programFolder_(std::move(programFolder)),
      hooks_(std::move(hooks)) {
    setObjectName(DisplayText("fStats"));
    setWindowTitle(DisplayText("List Stats"));
    // Maximise and close, no minimise; above the other windows.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    QFont design = font();
    design.setFamilies({DisplayText("MS Sans Serif"), DisplayText("Liberation Sans"),
                        DisplayText("Arial"), DisplayText("DejaVu Sans Condensed")});
    design.setPixelSize(11);
    setFont(design);

    treeModel_ = new ListTreeModel(copy_, this);
    titleModel_ = new TitleListModel(copy_, this);
    BuildControls();
    WireControls();
    resize(kDesignWidth, kDesignHeight);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
}

TfStats::~TfStats() = default;

void TfStats::Place(QWidget* w, mv::LayoutRect r) {
    w->setGeometry(r.left, r.top, r.width, r.height);
    children_.push_back(w);
    design_.push_back(r);
}

// Children are placed in the order kRules lists them.
void TfStats::BuildControls() {
    BuildColumns();
    BuildBottomRows();
}

void TfStats::BuildColumns() {
    QFont heading = font();
    heading.setFamilies(
        {DisplayText("Papyrus"), DisplayText("URW Chancery L"), DisplayText("DejaVu Serif")});
    heading.setPixelSize(16);
    heading.setBold(true);

    Label1 = Named(new FittingLabel(DisplayText("CD NAME"), this), "Label1");
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Label1->setFont(heading);
    Place(Label1, {8, 8, 353, 22});
    Label2 = Named(new FittingLabel(DisplayText("TITLES"), this), "Label2");
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Label2->setFont(heading);
    Place(Label2, {376, 8, 359, 22});

    tCD = Named(new QTreeView(this), "tCD");
    tCD->setModel(treeModel_);
    tCD->setHeaderHidden(true);
    tCD->setIndentation(19);
    tCD->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tCD->setSelectionMode(QAbstractItemView::SingleSelection);
    tCD->setUniformRowHeights(true);
    Place(tCD, {8, 32, 353, 410});

    ltitles = Named(new QListView(this), "ltitles");
    ltitles->setModel(titleModel_);
    ltitles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ltitles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // 200,000 titles stay quick when every row has the same height.
    ltitles->setUniformItemSizes(true);
    Place(ltitles, {376, 32, 359, 410});
}

void TfStats::BuildBottomRows() {
    Button1 = Named(new QPushButton(DisplayText("Delete selected Item"), this), "Button1");
    Place(Button1, {8, 450, 170, 25});
    eEdit = Named(new QLineEdit(this), "eEdit");
    Place(eEdit, {376, 452, 199, 21});
    Button3 = Named(new QPushButton(DisplayText("OK"), this), "Button3");
    Button3->setDefault(true);
    Place(Button3, {583, 450, 72, 25});
    bSearch = Named(new QPushButton(DisplayText(kSearch), this), "bSearch");
    Place(bSearch, {663, 450, 72, 25});

    rbDisplayMode =
        Named(new QGroupBox(DisplayText("When CD root is selected:"), this), "rbDisplayMode");
    rbRootContent =
        Named(new QRadioButton(DisplayText("Show root's content"), rbDisplayMode), "rbRootContent");
    rbWholeCd =
        Named(new QRadioButton(DisplayText("Show whole CD content "), rbDisplayMode), "rbWholeCd");
    auto* columns = new QHBoxLayout(rbDisplayMode);
    columns->setContentsMargins(6, 2, 6, 2);
    columns->addWidget(rbRootContent, 1);
    columns->addWidget(rbWholeCd, 1);
    displayModeGroup_ = new QButtonGroup(this);
    displayModeGroup_->addButton(rbRootContent, 0);
    displayModeGroup_->addButton(rbWholeCd, 1);
    rbRootContent->setChecked(true);
    Place(rbDisplayMode, {8, 482, 353, 72});

    Button2 =
        Named(new QPushButton(DisplayText("Remove selected title(s) from list"), this), "Button2");
    Place(Button2, {376, 482, 240, 25});

    // The catalogue to and from other programs, in the row under Button2.
    bExport = Named(new QPushButton(DisplayText("Export..."), this), "bExport");
    Place(bExport, {376, 516, 95, 25});
    bImport = Named(new QPushButton(DisplayText("Import..."), this), "bImport");
    Place(bImport, {482, 516, 95, 25});
    bRenameCd = Named(new QPushButton(DisplayText("Rename CD..."), this), "bRenameCd");
    Place(bRenameCd, {588, 516, 95, 25});

    lstats = Named(new FittingLabel(QString(), this), "lstats");
    Place(lstats, {8, 564, 727, 16});
}

void TfStats::WireControls() {
    connect(tCD->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (quiet_ == 0) tCDClick();
    });
    connect(tCD, &QTreeView::clicked, this, [this] {
        if (quiet_ == 0) tCDClick();
    });
    connect(ltitles->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (quiet_ == 0) ltitlesClick();
    });
    connect(ltitles, &QListView::clicked, this, [this] {
        if (quiet_ == 0) ltitlesClick();
    });
    connect(eEdit, &QLineEdit::textChanged, this, &TfStats::eEditChange);
    connect(Button3, &QPushButton::clicked, this, &TfStats::Button3Click);
    connect(bSearch, &QPushButton::clicked, this, &TfStats::bSearchClick);
    connect(Button2, &QPushButton::clicked, this, &TfStats::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &TfStats::Button1Click);
    connect(bExport, &QPushButton::clicked, this, &TfStats::bExportClick);
    connect(bImport, &QPushButton::clicked, this, &TfStats::bImportClick);
    connect(bRenameCd, &QPushButton::clicked, this, &TfStats::bRenameCdClick);
    connect(displayModeGroup_, &QButtonGroup::idClicked, this, &TfStats::rbDisplayModeClick);
}

std::filesystem::path TfStats::ListFile() const {
    return mv::FindProgramFile(programFolder_, mv::kMp3ListFileName);
}

bool TfStats::ShowModal() {
    if (!FormActivate()) return false;
    exec();
    return true;
}

bool TfStats::FormActivate() {
    const std::filesystem::path file = ListFile();
    mv::ListLoadStatus status = mv::ListLoadStatus::Absent;
    treeModel_->Change([&] { titleModel_->Change([&] { status = copy_.Open(file); }); });
    if (status != mv::ListLoadStatus::Read) {
        // Nothing to edit, and nothing may be saved over a list we could not read.
        dialogs_.Information(this, status == mv::ListLoadStatus::Absent
                                       ? DisplayText("You don't have any Mp3 List!!")
                                       : DisplayText(mv::UnreadableListMessage(file) +
                                                     " The list editor does not open."));
        return false;
    }
    openedFile_ = file;
    open_ = true;
    BuildTree();
    return true;
}

bool TfStats::FormClose() {
    if (!open_) return true;
    if (searching_) return false;
    if (copy_.Changed() &&
        dialogs_.YesNo(this, DisplayText("You wish to save Changes made to List?"),
                       DefaultAnswer::Cautious)) {
        const std::string failure = copy_.Save(openedFile_);
        if (!failure.empty()) {
            // The edits stay in the window: the user may close again once the
            // cause is mended, or answer No to drop them.
            dialogs_.Information(this, DisplayText("The list was not saved. " + failure));
            return false;
        }
    }
    open_ = false;
    treeModel_->Change([&] { titleModel_->Change([&] { copy_.Close(); }); });
    return true;
}

void TfStats::done(int result) {
    if (!FormClose()) return;
    QDialog::done(result);
}

void TfStats::BuildTree() {
    Quiet quiet(quiet_);
    const uint32_t root = copy_.Tree().Root();
    // The root opened, so the CDs show at once.
    tCD->expand(treeModel_->IndexOf(root));
    SelectNode(root);
    ShowStats(false);
}

void TfStats::TakeSavedList(std::vector<std::string> lines, size_t marker) {
    treeModel_->Change([&] { titleModel_->Change([&] { copy_.Reset(std::move(lines)); }); });
    BuildTree();
    const uint32_t node = copy_.Tree().NodeOfLine(marker);
    if (node == ListTree::kNone) return;
    SelectNode(node);
    tCDClick();
}

bool TfStats::MaySaveEdits() {
    return !copy_.Changed() ||
           dialogs_.OkCancel(this,
                             DisplayText("This writes the list now, with the changes made to it "
                                         "so far. Go on?"),
                             DefaultAnswer::Cautious);
}

void TfStats::SelectNode(uint32_t id) {
    Quiet quiet(quiet_);
    const QModelIndex index = treeModel_->IndexOf(id);
    tCD->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    if (index.isValid()) tCD->scrollTo(index);
}

uint32_t TfStats::SelectedNode() const {
    return ListTreeModel::NodeOf(tCD->currentIndex());
}

void TfStats::ShowStats(bool withShown) {
    lstats->setText(DisplayText(withShown
                                    ? mv::StatsText(copy_.TitleCount(), copy_.TitleLines().size())
                                    : mv::StatsText(copy_.TitleCount())));
}

int TfStats::DisplayMode() const {
    return displayModeGroup_->checkedId() == 1 ? 1 : 0;
}

void TfStats::SetDisplayMode(int index) {
    (index == 1 ? rbWholeCd : rbRootContent)->setChecked(true);
    rbDisplayModeClick();
}

void TfStats::tCDClick() {
    if (!open_) return;
    const uint32_t node = SelectedNode();
    const auto mode = static_cast<mv::TitleMode>(DisplayMode());
    Quiet quiet(quiet_);
    titleModel_->Change([&] {
        if (node == ListTree::kNone) {
            copy_.ClearTitles();
        } else {
            copy_.ShowTitles(node, mode);
        }
    });
    ShowStats(true);
}

void TfStats::rbDisplayModeClick() {
    if (isVisible() && open_) tCDClick();
}

void TfStats::ltitlesClick() {
    const QModelIndex current = ltitles->currentIndex();
    if (!current.isValid()) return;
    eEdit->setText(DisplayText(copy_.TitleText(static_cast<size_t>(current.row()))));
}

void TfStats::eEditChange() {
    bSearch->setText(DisplayText(kSearch));
}

void TfStats::Button3Click() {
    if (!open_) return;
    const QModelIndex current = ltitles->currentIndex();
    const bool entry = current.isValid() && SelectedNode() != ListTree::kNone;
    const size_t row = entry ? static_cast<size_t>(current.row()) : copy_.TitleLines().size();
    const std::string text = TypedBytes(eEdit->text());
    if (copy_.EditTitle(row, text) == mv::TitleEdit::Refused) {
        dialogs_.Information(this, DisplayText(mv::RefusedTitleReason(text)));
        return;
    }
    if (entry) titleModel_->EntryChanged(current.row());
}

void TfStats::Button2Click() {
    if (!open_) return;
    std::vector<size_t> entries;
    for (const QModelIndex& index : ltitles->selectionModel()->selectedRows()) {
        entries.push_back(static_cast<size_t>(index.row()));
    }
    Quiet quiet(quiet_);
    titleModel_->Change([&] { copy_.RemoveTitles(std::move(entries)); });
    ShowStats(true);
}

void TfStats::Button1Click() {
    if (!open_) return;
    const uint32_t node = SelectedNode();
    if (node == ListTree::kNone || node == copy_.Tree().Root()) return;
    Quiet quiet(quiet_);
    treeModel_->Change([&] { titleModel_->Change([&] { copy_.DeleteNode(node); }); });
    BuildTree();
}

void TfStats::bSearchClick() {
    if (searching_ || !open_) return;
    std::vector<std::string> results;
    if (bSearch->text() == DisplayText(kSearch) && !eEdit->text().isEmpty()) {
        // The comparison runs to its end in here while the window keeps
        // painting; nothing of the editor may start meanwhile.
        searching_ = true;
        setEnabled(false);
        lastResults_ =
            hooks_.search ? hooks_.search(TypedBytes(eEdit->text())) : std::vector<std::string>{};
        // The comparison brings the main window forward when it ends; the
        // editor is modal and stays in front of it, with Next in sight.
        raise();
        activateWindow();
        setEnabled(true);
        searching_ = false;
        searchPosition_ = 0;
        bSearch->setText(DisplayText(kNext));
        results = lastResults_;
    } else {
        results = hooks_.resultRows ? hooks_.resultRows() : lastResults_;
    }

    const auto step = copy_.NextSearchResult(results, searchPosition_);
    if (!step) return;
    Quiet quiet(quiet_);
    tCD->collapseAll();
    for (uint32_t id : step->where.path) {
        if (id != step->where.path.back()) tCD->expand(treeModel_->IndexOf(id));
    }
    SelectNode(step->where.path.back());
    tCDClick();
    ltitles->setFocus();
    searchPosition_ = step->nextPosition;
    const auto entry = copy_.EntryOf(step->where);
    if (!entry) {
        // Removed or edited since the search: the folder is shown, the next
        // click goes on with the next result.
        dialogs_.Information(this, DisplayText("This title is no longer in the list"));
        return;
    }
    const QModelIndex index = titleModel_->index(static_cast<int>(*entry));
    ltitles->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    ltitles->scrollTo(index);
}

void TfStats::FormResize() {
    for (size_t i = 0; i < children_.size(); ++i) {
        const mv::LayoutRect r = Follow(design_[i], kRules.at(i), width(), height());
        children_[i]->setGeometry(r.left, r.top, r.width, r.height);
    }
}

void TfStats::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

}  // namespace mv
