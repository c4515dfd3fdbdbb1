#include "dupes/windows/pair_facts_handlers.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "dupes/better_copy.h"
#include "dupes/facts_text.h"
#include "dupes/list_place_text.h"
#include "dupes/pair_facts.h"
#include "dupes/sound_dupes.h"
#include "dupes/windows/result_pair_model.h"
#include "ui/common/display_text.h"
#include "ui/common/gauged_job.h"

namespace mv {

namespace {

constexpr const char* kPending = "reading the facts...";

bool BothFiles(const mv::ResultRow& row) {
    return row.leftKind == mv::RowKind::FileOnDisk && row.rightKind == mv::RowKind::FileOnDisk;
}

}  // namespace

PairFactsHandlers::PairFactsHandlers(const PairFactsWidgets& widgets, ResultPairModel& model,
                                     PairFactsHooks hooks, QObject* parent)
    : QObject(parent), w_(widgets), model_(model), hooks_(std::move(hooks)) {
    if (!hooks_.gather) hooks_.gather = &mv::GatherFacts;
    job_ = new GaugedJob(w_.gp, this);
    sizeTimer_ = new QTimer(this);
    sizeTimer_->setSingleShot(true);
    sizeTimer_->setInterval(50);
    connect(sizeTimer_, &QTimer::timeout, this, &PairFactsHandlers::ShowSize);
    connect(&model_, &QAbstractItemModel::dataChanged, this, &PairFactsHandlers::SizeAgainSoon);
    connect(&model_, &QAbstractItemModel::rowsRemoved, this, &PairFactsHandlers::SizeAgainSoon);
    connect(&model_, &ResultPairModel::Cleared, this, &PairFactsHandlers::Forget);
    connect(&model_, &QAbstractItemModel::dataChanged, this, &PairFactsHandlers::ShowPair);
    connect(&model_, &QAbstractItemModel::rowsRemoved, this, &PairFactsHandlers::ShowPair);
    // The worker's pairs follow the rows as they were; a swap keeps them in place.
    for (const auto moved : {&QAbstractItemModel::rowsRemoved, &QAbstractItemModel::rowsInserted}) {
        connect(&model_, moved, this, [this] { rowsMoved_ = true; });
    }
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] { rowsMoved_ = true; });
    connect(w_.lbCompRes->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &PairFactsHandlers::ShowPair);
    connect(w_.bCancel, &QPushButton::clicked, this, &PairFactsHandlers::Stop);
    connect(w_.bKeepBetter, &QAction::triggered, this, &PairFactsHandlers::bKeepBetterClick);
    connect(w_.bKeepSameAudio, &QAction::triggered, this, &PairFactsHandlers::bKeepSameAudioClick);
    w_.bKeepBetter->setEnabled(false);
    w_.bKeepSameAudio->setEnabled(false);
}

PairFactsHandlers::~PairFactsHandlers() {
    delete job_;  // stops the gathering and waits for it before the rest goes
    if (sizeWorker_.joinable()) sizeWorker_.join();
}

bool PairFactsHandlers::Gathering() const {
    return job_->Running();
}

void PairFactsHandlers::Start() {
    job_->End();
    facts_.clear();
    resultText_ = w_.lRes->text();
    mv::FactsBatchParams params =
        mv::FactsParamsForRows(model_.rows(), mv::HashWhich::PairsOfEqualLength);
    if (params.paths.empty()) return;
    params.cacheFile = cacheFile_;
    rowsMoved_ = false;
    using Gathered = std::pair<mv::FactsBatchResult, std::vector<bool>>;
    job_->Start<Gathered>(
        [this, params = std::move(params)](const GaugedJob::Progress& progress) mutable {
            params.progress = progress;
            mv::FactsBatchResult result = hooks_.gather(params);
            // Here, not on the GUI thread: 200,000 rows take it a tenth of a second.
            std::vector<bool> same = mv::SameAudioOfPairs(params, result.facts);
            return Gathered{std::move(result), std::move(same)};
        },
        [this](Gathered gathered) {
            Finished(std::move(gathered.first), std::move(gathered.second));
        });
    ShowPair();
}

void PairFactsHandlers::Stop() {
    job_->Stop();
}

void PairFactsHandlers::Forget() {
    job_->End();
    facts_.clear();
    resultText_.clear();
    sizeTimer_->stop();
    ++sizeGeneration_;
    sizeAgain_ = false;
    w_.bKeepBetter->setEnabled(false);
    w_.bKeepSameAudio->setEnabled(false);
    ShowPair();
}

void PairFactsHandlers::Finished(mv::FactsBatchResult result, std::vector<bool> sameOfPairs) {
    facts_ = std::move(result.facts);
    const bool complete = !result.stopped;
    w_.bKeepBetter->setEnabled(complete && !model_.rows().empty());
    w_.bKeepSameAudio->setEnabled(complete && !model_.rows().empty());
    if (rowsMoved_) {
        ShowMarksAndSize();
    } else {
        model_.SetSameAudio(mv::SameAudioOfRows(model_.rows(), sameOfPairs));
        ShowSize();
    }
    if (complete && w_.tmiAlwaysBetter != nullptr && w_.tmiAlwaysBetter->isChecked()) {
        bKeepBetterClick();
    }
    ShowPair();
}

const mv::MediaFacts* PairFactsHandlers::FactsOf(const std::string& path) const {
    const auto it = facts_.find(path);
    return it == facts_.end() ? nullptr : &it->second;
}

void PairFactsHandlers::ShowPair() {
    const int k = w_.lbCompRes->currentIndex().row();
    if (k < 0 || static_cast<std::size_t>(k) >= model_.rows().size()) {
        w_.lLeftFacts->clear();
        w_.lLeftFacts->setToolTip(QString());
        w_.lRightFacts->clear();
        return;
    }
    const mv::ResultRow& row = model_.rows()[static_cast<std::size_t>(k)];
    const auto line = [this](const std::string& text, mv::RowKind kind) -> QString {
        // A catalogue location has no file: its place in the list is all there is.
        if (kind != mv::RowKind::FileOnDisk) return DisplayText(text);
        const mv::MediaFacts* facts = FactsOf(text);
        if (facts != nullptr) return DisplayText(mv::FactsText(*facts));
        return Gathering() ? DisplayText(kPending) : QString();
    };
    QString left = line(row.left, row.leftKind);
    QString place;
    // A file against a catalogue title: where the title lies, in words.
    if (row.leftKind == mv::RowKind::FileOnDisk && row.rightKind == mv::RowKind::ListLocation) {
        if (!left.isEmpty()) left += DisplayText(" \xC2\xB7 ");
        left += DisplayText(mv::ListPlaceText(row.right));
        place = left;
    }
    w_.lLeftFacts->setText(left);
    // A deep folder does not fit the strip: the whole text on hovering.
    w_.lLeftFacts->setToolTip(place);
    QString right = line(row.right, row.rightKind);
    if (model_.SameAudio(k)) right += DisplayText(" \xC2\xB7 same audio");
    // After a check of the sound, its verdict follows the facts.
    if (const auto& sound = model_.SoundOf(k); sound.checked) {
        if (!right.isEmpty()) right += DisplayText(" \xC2\xB7 ");
        right += DisplayText(mv::SoundVerdictText(sound.similarity));
    }
    w_.lRightFacts->setText(right);
}

void PairFactsHandlers::ShowMarksAndSize() {
    const std::vector<mv::ResultRow>& rows = model_.rows();
    std::vector<bool> same(rows.size(), false);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (!BothFiles(rows[k])) continue;
        const mv::MediaFacts* a = FactsOf(rows[k].left);
        const mv::MediaFacts* b = FactsOf(rows[k].right);
        same[k] = a != nullptr && b != nullptr && mv::SameAudio(*a, *b).value_or(false);
    }
    model_.SetSameAudio(same);
    ShowSize();
}

void PairFactsHandlers::SizeAgainSoon() {
    if (!facts_.empty()) sizeTimer_->start();
}

void PairFactsHandlers::ShowSize() {
    sizeTimer_->stop();
    if (facts_.empty()) return;
    if (sizing_) {
        sizeAgain_ = true;
        return;
    }
    if (sizeWorker_.joinable()) sizeWorker_.join();  // it has posted its sum already
    sizing_ = true;
    sizeAgain_ = false;
    const unsigned generation = sizeGeneration_;
    sizeWorker_ = std::thread([this, generation, files = mv::LeftFiles(model_.rows())] {
        const std::uint64_t bytes = mv::LeftListBytes(files);
        QMetaObject::invokeMethod(
            this, [this, bytes, generation] { SizeDone(bytes, generation); }, Qt::QueuedConnection);
    });
}

void PairFactsHandlers::SizeDone(std::uint64_t bytes, unsigned generation) {
    sizing_ = false;
    if (sizeAgain_) {
        ShowSize();
        return;
    }
    if (generation != sizeGeneration_) return;
    QString text = resultText_;
    if (!text.isEmpty()) text += DisplayText(", ");
    text += DisplayText(mv::BytesText(bytes) + " in the left list");
    w_.lRes->setText(text);
}

void PairFactsHandlers::bKeepBetterClick() {
    const std::vector<mv::ResultRow>& rows = model_.rows();
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (!BothFiles(rows[k])) continue;
        const mv::MediaFacts* left = FactsOf(rows[k].left);
        const mv::MediaFacts* right = FactsOf(rows[k].right);
        if (left != nullptr && right != nullptr && mv::IsBetterCopy(*left, *right)) {
            model_.SwapSides(static_cast<int>(k));
        }
    }
    ShowSize();  // a row's mark stays with it when its sides swap
}

void PairFactsHandlers::bKeepSameAudioClick() {
    std::vector<std::size_t> others;
    for (std::size_t k = 0; k < model_.rows().size(); ++k) {
        if (!model_.SameAudio(static_cast<int>(k))) others.push_back(k);
    }
    model_.RemoveRows(others);
    ShowMarksAndSize();
}

}  // namespace mv
