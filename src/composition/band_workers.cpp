#include "composition/band_workers.h"

namespace qv {

BandWorkers::~BandWorkers() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  start_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void BandWorkers::runBands(int bands, BandJob job, void* context) {
  // Only this thread changes the generation, so it reads it without the lock.
  while (static_cast<int>(threads_.size()) < bands - 1) {
    const int band = static_cast<int>(threads_.size()) + 1;
    threads_.emplace_back([this, band, seen = generation_] { work(band, seen); });
  }
  {
    std::lock_guard<std::mutex> hold(lock_);
    job_ = job;
    context_ = context;
    bands_ = bands;
    pending_ = bands - 1;
    failure_ = nullptr;
    ++generation_;
  }
  start_.notify_all();
  runBand(job, context, 0);
  std::unique_lock<std::mutex> hold(lock_);
  finished_.wait(hold, [this] { return pending_ == 0; });
  if (failure_) {
    const std::exception_ptr failure = failure_;
    failure_ = nullptr;
    hold.unlock();
    std::rethrow_exception(failure);
  }
}

void BandWorkers::work(int band, std::uint64_t seen) {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    start_.wait(hold, [&] { return stopping_ || generation_ != seen; });
    if (stopping_) return;
    seen = generation_;
    if (band >= bands_) continue;  // this run needs fewer bands
    const BandJob job = job_;
    void* const context = context_;
    hold.unlock();
    runBand(job, context, band);
    hold.lock();
    if (--pending_ == 0) finished_.notify_one();
  }
}

void BandWorkers::runBand(BandJob job, void* context, int band) {
  try {
    job(context, band);
  } catch (...) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!failure_) failure_ = std::current_exception();
  }
}

}  // namespace qv
