#pragma once

#include <QObject>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "dupes/sound_dupes.h"

class QAction;
class QProgressBar;
class QPushButton;

namespace mv {

class GaugedJob;
class ResultPairModel;

// The controls the check of the pairs' sound touches.
struct SoundCheckWidgets {
    QProgressBar* gp = nullptr;
    QPushButton* bCancel = nullptr;         // Stop also ends the check
    QAction* bCheckSound = nullptr;         // "Check the sound of the pairs"
    QAction* bKeepSameRecording = nullptr;  // "Keep only same-recording pairs"
};

struct SoundCheckHooks {
    // The check itself; unset: mv::CheckPairSound.
    std::function<mv::PairSoundResult(const mv::PairSoundParams&)> check;
};

// Compare results > Check the sound of the pairs: prints both files of every
// row of two files on a worker thread while the lists stay usable, as the
// facts of the pairs are read (the gauge shows it, Stop ends it). Then each
// checked row carries its verdict in the model (the pair details show it,
// a same-recording pair is marked) and Keep only same-recording pairs can
// act. The verdicts are kept by the pair of paths, so rows that went or
// swapped sides meanwhile take the right one. A new comparison (the model
// is cleared) ends a check that still runs.
class SoundCheckHandlers : public QObject {
    Q_OBJECT
  public:
    SoundCheckHandlers(const SoundCheckWidgets& widgets, ResultPairModel& model,
                       SoundCheckHooks hooks, QObject* parent = nullptr);
    ~SoundCheckHandlers() override;

    // Where the prints are kept between runs (the facts cache); empty: nowhere.
    void SetCacheFile(std::filesystem::path file) { cacheFile_ = std::move(file); }
    void bCheckSoundClick();
    void bKeepSameRecordingClick();
    void Stop();
    bool Checking() const;

  private:
    using PairKey = std::pair<std::string, std::string>;
    static PairKey KeyOf(const std::string& a, const std::string& b);
    void Finished(mv::PairSoundResult result, const std::vector<PairKey>& pairs);
    void ShowVerdicts();
    void Forget();

    SoundCheckWidgets w_;
    ResultPairModel& model_;
    SoundCheckHooks hooks_;
    std::filesystem::path cacheFile_;
    GaugedJob* job_ = nullptr;                           // the check on its worker, with the gauge
    std::map<PairKey, std::optional<double>> verdicts_;  // of the last complete check
};

}  // namespace mv
