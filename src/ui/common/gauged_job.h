#pragma once

#include <QMetaObject>
#include <QObject>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

class QProgressBar;
class QTimer;

namespace mv {

// One long piece of work on a worker thread while the window stays usable:
// the gauge shows how far it is (read every 100 ms from what the work
// reports), Stop asks it to end early, and its result is handed back on the
// GUI thread — unless the job was ended or started anew first, when that
// result is dropped. The work must poll its progress function and stop when
// it returns false. One job at a time; Start ends the one before.
class GaugedJob : public QObject {
    Q_OBJECT
  public:
    // Called from the worker: how far it is; false means stop now.
    using Progress = std::function<bool(std::size_t done, std::size_t total)>;

    explicit GaugedJob(QProgressBar* gauge, QObject* parent = nullptr);
    ~GaugedJob() override;  // stops the work and waits for it

    template <typename Result>
    void Start(std::function<Result(const Progress&)> work, std::function<void(Result)> landed) {
        End();
        const unsigned generation = Begin();
        worker_ = std::thread(
            [this, generation, work = std::move(work), landed = std::move(landed)]() mutable {
                auto result = std::make_shared<Result>(work(progress_));
                // Dropped by Qt if this object is gone first, by Land if stale.
                QMetaObject::invokeMethod(
                    this,
                    [this, result, generation, landed = std::move(landed)] {
                        if (Land(generation)) landed(std::move(*result));
                    },
                    Qt::QueuedConnection);
            });
    }

    void Stop() { stop_ = true; }  // the result still lands, as the work left it
    void End();                    // stops, waits, and drops its result
    bool Running() const { return worker_.joinable(); }

  private:
    unsigned Begin();
    bool Land(unsigned generation);
    void ShowProgress();

    QProgressBar* gauge_;
    QTimer* timer_;
    Progress progress_;  // what the work is given; writes the atomics below
    // The GUI thread's, apart from the atomics the worker writes.
    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> done_{0};
    std::atomic<std::size_t> total_{0};
    unsigned generation_ = 0;  // a result of an older Start is stale
};

}  // namespace mv
