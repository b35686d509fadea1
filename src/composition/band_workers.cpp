#include "composition/band_workers.h"

#include <algorithm>
#include <atomic>
#include <system_error>

namespace qv {
namespace {

std::atomic<int> refusedWorkers{0};

}  // namespace

BandWorkers::~BandWorkers() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  start_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void BandWorkers::refuseWorkersForTest(int count) { refusedWorkers.store(count); }

bool BandWorkers::startWorker() {
  if (refusedWorkers.load() > 0) {
    refusedWorkers.fetch_sub(1);
    return false;
  }
  // Only this thread changes the generation, so it reads it without the lock.
  const int band = static_cast<int>(threads_.size()) + 1;
  try {
    threads_.emplace_back([this, band, seen = generation_] { work(band, seen); });
  } catch (const std::system_error&) {
    return false;  // no thread to be had now; memory itself gone throws on
  }
  return true;
}

int BandWorkers::startWorkers(int bands) {
  while (static_cast<int>(threads_.size()) < bands - 1 && startWorker()) {}
  return std::min(static_cast<int>(threads_.size()) + 1, std::max(bands, 1));
}

void BandWorkers::runBands(int bands, BandJob job, void* context) {
  // Workers 1 ... started run their bands; this thread runs band 0 and those
  // beyond.
  const int started = startWorkers(bands) - 1;
  {
    std::lock_guard<std::mutex> hold(lock_);
    job_ = job;
    context_ = context;
    bands_ = bands;
    pending_ = started;
    arrived_ = 0;
    failure_ = nullptr;
    ++generation_;
  }
  start_.notify_all();
  runBand(job, context, 0);
  for (int band = started + 1; band < bands; ++band) runBand(job, context, band);
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
    // The others may be waiting for this band; it will not come.
    arrived_ = bands_;
    allArrived_.notify_all();
  }
}

void BandWorkers::waitForAllBands() {
  std::unique_lock<std::mutex> hold(lock_);
  if (++arrived_ >= bands_) {
    allArrived_.notify_all();
    return;
  }
  allArrived_.wait(hold, [this] { return arrived_ >= bands_; });
}

}  // namespace qv
