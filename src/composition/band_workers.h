#pragma once
// A small pool of threads, made once and kept, that run one job per band of
// a frame's rows: band 0 on the calling thread, band b on worker b. run
// returns when every band is done, so whatever the bands wrote is then the
// caller's to read; an exception thrown in a band reaches the caller. No
// thread is made per frame: a worker is made the first time a band needs it.
// Within a run the bands may wait for each other once (waitForAllBands).
// A worker the system will not start (no thread left to give) is not fatal:
// startWorkers says how many bands can run at once, and a band left without
// a worker runs on the calling thread after band 0 (so such a run must not
// wait for all bands); a later run tries again.
//
// The bands of a frame end within a fraction of a millisecond of each
// other, and a thread put to sleep takes far longer than that to wake on a
// virtual machine: so the waits within a run (for all bands to arrive, and
// the caller's for the bands to end) first watch their condition for a
// short while, and only then sleep on the lock (see briefWait). A worker
// idle between runs sleeps at once.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "ground/part_runner.h"

namespace qv {

class BandWorkers final : public PartRunner {
 public:
  BandWorkers() = default;
  ~BandWorkers();
  BandWorkers(const BandWorkers&) = delete;
  BandWorkers& operator=(const BandWorkers&) = delete;

  // Calls job(band) for band = 0 ... bands - 1, each band on its own thread.
  template <class Job>
  void run(int bands, Job& job) {
    runBands(
        bands, [](void* context, int band) { (*static_cast<Job*>(context))(band); }, &job);
  }

  // Inside a job: returns once every band of the run has called it, so that
  // what each band wrote before is every band's to read after. A band that
  // failed counts as arrived. One call per band and run.
  void waitForAllBands();

  // Starts the workers `bands` bands need, as far as the system gives
  // threads; returns how many bands can run at once (1 ... bands). A job
  // that calls waitForAllBands must be run with no more bands than that.
  int startWorkers(int bands);

  int workerCount() const { return static_cast<int>(threads_.size()); }

  // Tests: the next `count` workers fail to start, as when the system has
  // no thread to give.
  static void refuseWorkersForTest(int count);

 protected:
  // Parts are bands that never wait for each other.
  void runPartJobs(int parts, PartJob job, void* context) override { runBands(parts, job, context); }

 private:
  using BandJob = void (*)(void* context, int band);
  void runBands(int bands, BandJob job, void* context);
  bool startWorker();
  void work(int band, std::uint64_t seen);
  void runBand(BandJob job, void* context, int band);

  // Changed under the lock, read with or without it.
  std::mutex lock_;
  std::condition_variable start_;
  std::condition_variable finished_;
  std::condition_variable allArrived_;
  std::atomic<std::uint64_t> generation_{0};  // one more for every run
  std::atomic<int> bands_{0};
  std::atomic<int> pending_{0};  // workers still busy with this run's bands
  std::atomic<int> arrived_{0};  // bands at (or past) waitForAllBands in this run
  std::atomic<bool> stopping_{false};
  BandJob job_ = nullptr;
  void* context_ = nullptr;
  std::exception_ptr failure_;
  // Plain threads, joined by the destructor before the rest goes (the C++
  // library of the web build has no std::jthread).
  std::vector<std::thread> threads_;
};

}  // namespace qv
