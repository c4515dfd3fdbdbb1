#include "ui/common/gauged_job.h"

#include <QProgressBar>
#include <QTimer>
#include <algorithm>

namespace mv {

GaugedJob::GaugedJob(QProgressBar* gauge, QObject* parent)
    : QObject(parent), gauge_(gauge), timer_(new QTimer(this)) {
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &GaugedJob::ShowProgress);
    progress_ = [this](std::size_t done, std::size_t total) {
        done_ = done;
        total_ = total;
        return !stop_;
    };
}

GaugedJob::~GaugedJob() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

unsigned GaugedJob::Begin() {
    stop_ = false;
    done_ = 0;
    total_ = 0;
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    timer_->start();
    return ++generation_;
}

void GaugedJob::End() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
    ++generation_;  // whatever it posted is stale now
    timer_->stop();
}

bool GaugedJob::Land(unsigned generation) {
    if (generation != generation_) return false;
    if (worker_.joinable()) worker_.join();
    timer_->stop();
    // An empty range draws as "busy"; the gauge rests empty as after a comparison.
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    return true;
}

void GaugedJob::ShowProgress() {
    const std::size_t total = total_;
    if (total == 0) return;
    gauge_->setValue(static_cast<int>(100 * std::min<std::size_t>(done_, total) / total));
}

}  // namespace mv
