#include "dupes/windows/sound_check_handlers.h"

#include <QAction>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <memory>
#include <vector>

#include "dupes/windows/result_pair_model.h"
#include "ui/common/gauged_job.h"

namespace mv {

SoundCheckHandlers::SoundCheckHandlers(const SoundCheckWidgets& widgets, ResultPairModel& model,
                                       SoundCheckHooks hooks, QObject* parent)
    : QObject(parent), w_(widgets), model_(model), hooks_(std::move(hooks)) {
    if (!hooks_.check) hooks_.check = &mv::CheckPairSound;
    job_ = new GaugedJob(w_.gp, this);
    connect(&model_, &ResultPairModel::Cleared, this, &SoundCheckHandlers::Forget);
    connect(w_.bCancel, &QPushButton::clicked, this, &SoundCheckHandlers::Stop);
    connect(w_.bCheckSound, &QAction::triggered, this, &SoundCheckHandlers::bCheckSoundClick);
    connect(w_.bKeepSameRecording, &QAction::triggered, this,
            &SoundCheckHandlers::bKeepSameRecordingClick);
    w_.bKeepSameRecording->setEnabled(false);
}

SoundCheckHandlers::~SoundCheckHandlers() {
    delete job_;  // stops the check and waits for it while the hooks still stand
}

bool SoundCheckHandlers::Checking() const {
    return job_->Running();
}

// A pair is the same pair whichever side each file stands on.
SoundCheckHandlers::PairKey SoundCheckHandlers::KeyOf(const std::string& a, const std::string& b) {
    return a < b ? PairKey{a, b} : PairKey{b, a};
}

void SoundCheckHandlers::bCheckSoundClick() {
    job_->End();
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
    job_->Start<mv::PairSoundResult>(
        [this, params = std::move(params)](const GaugedJob::Progress& progress) mutable {
            params.progress = progress;
            return hooks_.check(params);
        },
        [this, keys = std::move(keys)](mv::PairSoundResult result) {
            Finished(std::move(result), keys);
        });
}

void SoundCheckHandlers::Stop() {
    job_->Stop();
}

void SoundCheckHandlers::Forget() {
    job_->End();
    verdicts_.clear();
    w_.bKeepSameRecording->setEnabled(false);
}

void SoundCheckHandlers::Finished(mv::PairSoundResult result, const std::vector<PairKey>& pairs) {
    // A stopped check says nothing of any pair: none is marked, nothing can be kept.
    if (result.stopped || result.similarity.size() != pairs.size()) return;
    for (std::size_t i = 0; i < pairs.size(); ++i) verdicts_[pairs[i]] = result.similarity[i];
    w_.bKeepSameRecording->setEnabled(!model_.rows().empty());
    ShowVerdicts();
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
