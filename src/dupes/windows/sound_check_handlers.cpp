#include "dupes/windows/sound_check_handlers.h"

#include <QAction>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <vector>

#include "dupes/windows/result_pair_model.h"

namespace mv {

SoundCheckHandlers::SoundCheckHandlers(const SoundCheckWidgets& widgets, ResultPairModel& model,
                                       SoundCheckHooks hooks, QObject* parent)
    : QObject(parent), w_(widgets), model_(model), hooks_(std::move(hooks)) {
    if (!hooks_.check) hooks_.check = &mv::CheckPairSound;
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, &SoundCheckHandlers::ShowProgress);
    connect(&model_, &ResultPairModel::Cleared, this, &SoundCheckHandlers::Forget);
    connect(w_.bCancel, &QPushButton::clicked, this, &SoundCheckHandlers::Stop);
    connect(w_.bCheckSound, &QAction::triggered, this, &SoundCheckHandlers::bCheckSoundClick);
    connect(w_.bKeepSameRecording, &QAction::triggered, this,
            &SoundCheckHandlers::bKeepSameRecordingClick);
    w_.bKeepSameRecording->setEnabled(false);
}

SoundCheckHandlers::~SoundCheckHandlers() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

// A pair is the same pair whichever side each file stands on.
SoundCheckHandlers::PairKey SoundCheckHandlers::KeyOf(const std::string& a, const std::string& b) {
    return a < b ? PairKey{a, b} : PairKey{b, a};
}

void SoundCheckHandlers::bCheckSoundClick() {
    EndWorker();
    verdicts_.clear();
    w_.bKeepSameRecording->setEnabled(false);
    ShowVerdicts();
    mv::PairSoundParams params;
    std::vector<PairKey> keys;
    for (const mv::ResultRow& row : model_.rows()) {
        if (row.leftKind != mv::RowKind::FileOnDisk || row.rightKind != mv::RowKind::FileOnDisk) {
            continue;
        }
        params.pairs.emplace_back(row.left, row.right);
        keys.push_back(KeyOf(row.left, row.right));
    }
    if (params.pairs.empty()) return;
    params.cacheFile = cacheFile_;
    params.progress = [this](std::size_t done, std::size_t total) {
        done_ = done;
        total_ = total;
        return !stop_;
    };
    stop_ = false;
    done_ = 0;
    total_ = 0;
    const unsigned generation = ++generation_;
    w_.gp->setRange(0, 100);
    w_.gp->setValue(0);
    progressTimer_->start();
    worker_ = std::thread(
        [this, generation, params = std::move(params), keys = std::move(keys)]() mutable {
            auto result = std::make_shared<mv::PairSoundResult>(hooks_.check(params));
            auto pairs = std::make_shared<std::vector<PairKey>>(std::move(keys));
            // Handed to the GUI thread; dropped there if this object is gone first.
            QMetaObject::invokeMethod(
                this,
                [this, result, pairs, generation] {
                    Finished(std::move(*result), std::move(*pairs), generation);
                },
                Qt::QueuedConnection);
        });
}

void SoundCheckHandlers::Stop() {
    stop_ = true;
}

void SoundCheckHandlers::EndWorker() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
    ++generation_;  // whatever it posted is stale now
    progressTimer_->stop();
}

void SoundCheckHandlers::Forget() {
    EndWorker();
    verdicts_.clear();
    w_.bKeepSameRecording->setEnabled(false);
}

void SoundCheckHandlers::Finished(mv::PairSoundResult result, std::vector<PairKey> pairs,
                                  unsigned generation) {
    if (generation != generation_) return;
    if (worker_.joinable()) worker_.join();
    progressTimer_->stop();
    w_.gp->setRange(0, 100);
    w_.gp->setValue(0);
    // A stopped check says nothing of any pair: none is marked, nothing can be kept.
    if (result.stopped || result.similarity.size() != pairs.size()) return;
    for (std::size_t i = 0; i < pairs.size(); ++i) verdicts_[pairs[i]] = result.similarity[i];
    w_.bKeepSameRecording->setEnabled(!model_.rows().empty());
    ShowVerdicts();
}

void SoundCheckHandlers::ShowProgress() {
    const std::size_t total = total_;
    if (total == 0) return;
    w_.gp->setValue(static_cast<int>(100 * std::min<std::size_t>(done_, total) / total));
}

void SoundCheckHandlers::ShowVerdicts() {
    std::vector<ResultPairModel::RowSound> sound;
    sound.reserve(model_.rows().size());
    for (const mv::ResultRow& row : model_.rows()) {
        const auto it = verdicts_.find(KeyOf(row.left, row.right));
        if (it == verdicts_.end() || row.leftKind != mv::RowKind::FileOnDisk ||
            row.rightKind != mv::RowKind::FileOnDisk) {
            sound.push_back({});
        } else {
            sound.push_back({true, it->second});
        }
    }
    model_.SetSound(sound);
}

void SoundCheckHandlers::bKeepSameRecordingClick() {
    std::vector<std::size_t> others;
    for (std::size_t k = 0; k < model_.rows().size(); ++k) {
        if (!model_.SameRecording(static_cast<int>(k))) others.push_back(k);
    }
    model_.RemoveRows(others);
}

}  // namespace mv
