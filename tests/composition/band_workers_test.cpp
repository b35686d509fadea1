#include "composition/band_workers.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace qv {
namespace {

TEST(BandWorkers, EveryBandRunsOnceOnItsOwnThreadAndTheWorkersStay) {
  BandWorkers workers;
  for (int bands : {3, 1, 5, 2, 5}) {
    std::vector<int> runs(static_cast<std::size_t>(bands), 0);
    std::vector<std::thread::id> ids(static_cast<std::size_t>(bands));
    auto job = [&](int band) {
      ++runs[static_cast<std::size_t>(band)];
      ids[static_cast<std::size_t>(band)] = std::this_thread::get_id();
    };
    workers.run(bands, job);
    EXPECT_EQ(runs, std::vector<int>(static_cast<std::size_t>(bands), 1)) << bands;
    EXPECT_EQ(ids[0], std::this_thread::get_id());
    EXPECT_EQ(std::set<std::thread::id>(ids.begin(), ids.end()).size(), static_cast<std::size_t>(bands));
  }
  EXPECT_EQ(workers.workerCount(), 4);  // made for the largest run, never again
}

TEST(BandWorkers, AFailingBandReachesTheCallerAfterTheOthersAreDone) {
  BandWorkers workers;
  for (int failing : {0, 2}) {
    std::vector<int> runs(3, 0);
    auto job = [&](int band) {
      ++runs[static_cast<std::size_t>(band)];
      if (band == failing) throw std::runtime_error("band");
    };
    EXPECT_THROW(workers.run(3, job), std::runtime_error);
    EXPECT_EQ(runs, std::vector<int>(3, 1));
  }
  int calls = 0;
  auto fine = [&](int) { ++calls; };
  workers.run(1, fine);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace qv
