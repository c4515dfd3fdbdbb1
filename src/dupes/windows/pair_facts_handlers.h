#pragma once

#include <QObject>
#include <QString>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <unordered_map>

#include "media/facts_batch.h"

class QAction;
class QLabel;
class QListView;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;

namespace mv {

class GaugedJob;
class ResultPairModel;

// The controls the facts of the pairs touch.
struct PairFactsWidgets {
    QListView* lbCompRes = nullptr;  // its current row is the pair shown
    QLabel* lRes = nullptr;          // gets the size of the left list
    QProgressBar* gp = nullptr;
    QPushButton* bCancel = nullptr;      // Stop also ends the gathering
    QLabel* lLeftFacts = nullptr;        // under the left list
    QLabel* lRightFacts = nullptr;       // under the right list
    QAction* bKeepBetter = nullptr;      // "Keep the better copy"
    QAction* bKeepSameAudio = nullptr;   // "Keep only same-audio pairs"
    QAction* tmiAlwaysBetter = nullptr;  // "Always keep the better copy"
};

struct PairFactsHooks {
    // The batch reader; unset: mv::GatherFacts.
    std::function<mv::FactsBatchResult(const mv::FactsBatchParams&)> gather;
};

// The facts of both files of every result pair. After a comparison, Start()
// reads them on a worker thread while the lists stay usable; the gauge shows
// the progress and Stop ends it. Then the current pair's facts stand under the
// lists, the left entries of same-audio pairs carry a mark, lRes says how much
// "Delete all" would free (again after rows go or change sides), and the two
// Compare results commands can act.
// A new comparison (the model is cleared) ends a gathering that still runs.
class PairFactsHandlers : public QObject {
    Q_OBJECT
  public:
    PairFactsHandlers(const PairFactsWidgets& widgets, ResultPairModel& model, PairFactsHooks hooks,
                      QObject* parent = nullptr);
    ~PairFactsHandlers() override;

    // Where the facts are kept between runs; empty (the default): nowhere.
    void SetCacheFile(std::filesystem::path file) { cacheFile_ = std::move(file); }
    void Start();
    void Stop();
    bool Gathering() const;
    // lRes's size is being summed (on a thread of its own: it asks the file
    // system about every left file).
    bool Sizing() const { return sizing_; }
    // Null until the file's facts are in.
    const mv::MediaFacts* FactsOf(const std::string& path) const;

    // Compare results > Keep the better copy: the better copy of each pair of
    // two files moves to the right list, the one kept.
    void bKeepBetterClick();
    // Compare results > Keep only same-audio pairs.
    void bKeepSameAudioClick();

  private:
    void Finished(mv::FactsBatchResult result, std::vector<bool> sameOfPairs);
    void ShowPair();
    void ShowMarksAndSize();
    void ShowSize();
    void SizeDone(std::uint64_t bytes, unsigned generation);
    void SizeAgainSoon();
    void Forget();

    PairFactsWidgets w_;
    ResultPairModel& model_;
    PairFactsHooks hooks_;
    std::filesystem::path cacheFile_;
    GaugedJob* job_ = nullptr;  // the gathering on its worker, with the gauge
    // One sum after a burst of removals or swaps, not one per row.
    QTimer* sizeTimer_ = nullptr;
    // Everything below is the GUI thread's.
    bool rowsMoved_ = false;  // rows came or went since Start
    std::unordered_map<std::string, mv::MediaFacts> facts_;
    std::thread sizeWorker_;       // one sum at a time; it posts SizeDone
    bool sizing_ = false;          // until its SizeDone landed
    bool sizeAgain_ = false;       // the rows changed while it summed
    unsigned sizeGeneration_ = 0;  // a sum of rows since forgotten is dropped
    QString resultText_;           // lRes as the comparison left it
};

}  // namespace mv
