#pragma once
// A small pool of threads, made once and kept, that run one job per band of
// a frame's rows: band 0 on the calling thread, band b on worker b. run
// returns when every band is done, so whatever the bands wrote is then the
// caller's to read; an exception thrown in a band reaches the caller. No
// thread is made per frame: a worker is made the first time a band needs it.

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace qv {

class BandWorkers {
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

  int workerCount() const { return static_cast<int>(threads_.size()); }

 private:
  using BandJob = void (*)(void* context, int band);
  void runBands(int bands, BandJob job, void* context);
  void work(int band, std::uint64_t seen);
  void runBand(BandJob job, void* context, int band);

  std::mutex lock_;
  std::condition_variable start_;
  std::condition_variable finished_;
  std::uint64_t generation_ = 0;  // one more for every run
  int bands_ = 0;
  int pending_ = 0;  // workers still busy with this run's bands
  bool stopping_ = false;
  BandJob job_ = nullptr;
  void* context_ = nullptr;
  std::exception_ptr failure_;
  // Plain threads, joined by the destructor before the rest goes (the C++
  // library of the web build has no std::jthread).
  std::vector<std::thread> threads_;
};

}  // namespace qv
