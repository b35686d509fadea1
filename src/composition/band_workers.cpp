#include "composition/band_workers.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace qv {
namespace {

std::atomic<int> refusedWorkers{0};

// How long a wait within a run watches its condition before it sleeps:
// longer than the bands of a frame usually wait for each other.
constexpr std::chrono::microseconds BRIEF_WAIT{50};

inline void relax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

// Whether `done()` came true within the brief wait. Watching only pays
// while every band has a core of its own: otherwise the watcher takes the
// core from the band it waits for.
template <class Done>
bool briefWait(int bands, Done&& done) {
  if (done()) return true;
  static const int cores = static_cast<int>(std::thread::hardware_concurrency());
  if (bands > cores) return false;
  const auto until = std::chrono::steady_clock::now() + BRIEF_WAIT;
  for (;;) {
    for (int i = 0; i < 64; ++i) {
      relax();
      if (done()) return true;
    }
    if (std::chrono::steady_clock::now() >= until) return false;
  }
}

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
  // Only this thread changes the generation.
  const int band = static_cast<int>(threads_.size()) + 1;
  try {
    threads_.emplace_back([this, band, seen = generation_.load()] { work(band, seen); });
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
    // Last: a worker that sees the new generation without the lock reads
    // the run's fields after it.
    generation_.fetch_add(1, std::memory_order_release);
  }
  start_.notify_all();
  runBand(job, context, 0);
  for (int band = started + 1; band < bands; ++band) runBand(job, context, band);
  const auto allDone = [this] { return pending_.load(std::memory_order_acquire) == 0; };
  briefWait(bands, allDone);
  std::unique_lock<std::mutex> hold(lock_);
  finished_.wait(hold, allDone);
  if (failure_) {
    const std::exception_ptr failure = failure_;
    failure_ = nullptr;
    hold.unlock();
    std::rethrow_exception(failure);
  }
}

void BandWorkers::work(int band, std::uint64_t seen) {
  const auto newRun = [&] {
    return stopping_.load(std::memory_order_acquire) || generation_.load(std::memory_order_acquire) != seen;
  };
  for (;;) {
    // Idle between runs, for as long as the caller does other work (the
    // rest of the frame, or the 40 ms to the next one): watching would
    // mostly burn the core.
    if (!newRun()) {
      std::unique_lock<std::mutex> hold(lock_);
      start_.wait(hold, newRun);
    }
    if (stopping_) return;
    seen = generation_.load(std::memory_order_acquire);
    if (band >= bands_) continue;  // this run needs fewer bands
    runBand(job_, context_, band);
    // The last worker done wakes the caller if it sleeps; under the lock, so
    // the wake cannot fall between its look at the count and its sleep.
    if (pending_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      std::lock_guard<std::mutex> hold(lock_);
      finished_.notify_one();
    }
  }
}

void BandWorkers::runBand(BandJob job, void* context, int band) {
  try {
    job(context, band);
  } catch (...) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!failure_) failure_ = std::current_exception();
    // The others may be waiting for this band; it will not come.
    arrived_ = bands_.load();
    allArrived_.notify_all();
  }
}

void BandWorkers::waitForAllBands() {
  const auto allArrived = [this] { return arrived_.load(std::memory_order_acquire) >= bands_; };
  if (arrived_.fetch_add(1, std::memory_order_acq_rel) + 1 >= bands_) {
    std::lock_guard<std::mutex> hold(lock_);
    allArrived_.notify_all();
    return;
  }
  if (briefWait(bands_.load(std::memory_order_relaxed), allArrived)) return;
  std::unique_lock<std::mutex> hold(lock_);
  allArrived_.wait(hold, allArrived);
}

}  // namespace qv
