#include "frame/pixel_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <stdexcept>
#include <thread>
#include <tuple>
#include <vector>

#include "composition/band_workers.h"
#include "ground/runtime_error.h"
#include "splat/kernels.h"
#include "support/composition_rig.h"

namespace qv {
namespace {

// A kernel that logs every call into the depth buffer, which render() resets
// before each frame: entry 0 counts the calls, then two words per call, the
// tint and (brush colour's low byte << 16 | alpha).
void logKernel(SplatParams& p) {
  std::int32_t* log = p.depthBuffer;
  const std::int32_t n = log[0] - DEPTH_RESET_VALUE;
  log[1 + 2 * n] = static_cast<std::int32_t>(p.tint);
  log[2 + 2 * n] = static_cast<std::int32_t>((p.brushColour & 0xFF) << 16) | p.alpha;
  ++log[0];
}

struct LoggedCall {
  std::uint32_t tint;
  std::int32_t brushByte;
  std::int32_t alpha;
  bool operator==(const LoggedCall&) const = default;
};

// Counts the composition's calls of its frame hook.
struct HookProbe {
  int calls = 0;
  void run() { ++calls; }
};

class FrameComposerTest : public ::testing::Test, protected testing::CompositionRig {
 protected:
  FrameComposerTest() : CompositionRig(7) {}

  static constexpr int W = 64;
  static constexpr int H = 48;
  static constexpr std::uint32_t BACKGROUND = 0xFF102030;

  HookProbe probe;

  void SetUp() override {
    platform.keepPresentedPixels = true;
    frame.setFrameSize(W, H);
    frame.backgroundColour = BACKGROUND;
    composer.setupSceneRender();
    splat.depthSortEnabled = 0;
    splat.minPixelSize = 1;
    composer.frameHook = Hook::member<&HookProbe::run>(&probe);
  }

  // Fills the current system with particles at the origin, opaque white,
  // drawn with brush 0 and never renewed.
  ParticleSystem& fill(std::uint32_t count) {
    systems.fillParticles(count, 0, 0, 0);
    ParticleSystem& s = systems.current();
    for (std::uint32_t i = 0; i < count; ++i) {
      Particle& p = s.particles[i];
      p.position = {0, 0, 0};
      p.colour = 0xFFFFFFFF;
      p.brush = 0;
      p.lifespan = 0;
      p.countdown = 0;
      p.size = 1.0;
    }
    return s;
  }

  Brush& logBrush(int index, std::uint32_t colour, std::int32_t next = NO_NEXT_BRUSH) {
    brushes.selectBrush(index);
    Brush& b = brushes.current();
    b.kind = 0x30000;
    b.colour = colour;
    b.nextBrush = next;
    b.kindRecord = resolveBrushKind(b.kind, true);
    b.kindRecord.insideKernel = logKernel;
    b.kindRecord.clippedKernel = logKernel;
    return b;
  }

  std::vector<LoggedCall> logged() const {
    const std::int32_t* log = frame.depthBuffer();
    std::vector<LoggedCall> calls;
    for (std::int32_t n = 0; n < log[0] - DEPTH_RESET_VALUE; ++n) {
      const std::int32_t word = log[2 + 2 * n];
      calls.push_back({static_cast<std::uint32_t>(log[1 + 2 * n]), word >> 16, word & 0xFFFF});
    }
    return calls;
  }

  std::int32_t loggedCount() const { return frame.depthBuffer()[0] - DEPTH_RESET_VALUE; }

  // The composition resets the depth buffer only when a ball brush exists, so
  // the log is cleared here.
  void render() {
    frame.resetDepthBuffer();
    composer.renderFrame();
  }

  const std::vector<std::uint32_t>& lastPresented() const { return platform.presents.back().topDownPixels; }
};

TEST_F(FrameComposerTest, FrameWithNothingDrawnIsStillClearedHookedAndPresented) {
  ParticleSystem& s = fill(4);
  s.particles[1].position = {-300, 250, 0};
  render();
  // The points of the last frame go, though nothing is drawn now.
  for (std::uint32_t i = 0; i < 4; ++i) s.particles[i].colour = 0x00FFFFFF;  // transparent
  const std::size_t presents = platform.presents.size();
  render();
  EXPECT_EQ(platform.presents.size(), presents + 1);
  EXPECT_EQ(probe.calls, 2);
  for (std::uint32_t pixel : lastPresented()) ASSERT_EQ(pixel, BACKGROUND);
}

TEST_F(FrameComposerTest, BrushChainDrawsEachEntryWithEveryBrush) {
  logBrush(0, 0xFF000011, 1);
  Brush& second = logBrush(1, 0x80000022);
  second.useParticleColour = 0;
  ParticleSystem& s = fill(2);
  s.particles[0].colour = 0x80ABCDEF;
  s.particles[1].colour = 0xFF123456;
  render();
  const std::vector<LoggedCall> expected = {
      {0x80ABCDEF, 0x11, 128},  // 0xFF x 0x80
      {NO_TINT, 0x22, 64},      // 0x80 x 0x80
      {0xFF123456, 0x11, 255},
      {NO_TINT, 0x22, 128},
  };
  EXPECT_EQ(logged(), expected);
  EXPECT_EQ(brushes.currentIndex(), 1);  // the last brush drawn
}

TEST_F(FrameComposerTest, ACycleInTheBrushChainEnds) {
  logBrush(0, 0xFF000011, 1);
  logBrush(1, 0xFF000022, 0);
  fill(2);
  render();
  EXPECT_EQ(loggedCount(), 2 * (MAX_BRUSH_CHAIN_LINKS + 1));
  EXPECT_EQ(platform.presents.size(), 2u);  // the first clear's own present, then the frame
}

TEST_F(FrameComposerTest, PerSystemValuesAreCopiedWhenTheSystemChanges) {
  logBrush(0, 0xFF000011);
  ParticleSystem& first = fill(2);
  first.drawMode = 1007;  // ended particles are skipped
  for (int i = 0; i < 2; ++i) {
    first.particles[i].lifespan = 10;
    first.particles[i].countdown = 0;
  }
  systems.createSystem(1);
  ParticleSystem& second = fill(3);
  second.drawMode = 1;  // linear: half the opacity left
  for (int i = 0; i < 3; ++i) {
    second.particles[i].lifespan = 10;
    second.particles[i].countdown = 5;
  }
  render();
  const std::vector<LoggedCall> calls = logged();
  ASSERT_EQ(calls.size(), 3u);
  for (const LoggedCall& c : calls) EXPECT_EQ(c.alpha, 128);  // 255 x (255 x 0.5 + 0.5) / 255
  EXPECT_EQ(splat.drawMode, 1);
}

// Particles at the end of their life span wait for renewal; the set-up
// passes them by only where their system's life curve leaves them no alpha.
TEST_F(FrameComposerTest, EndedParticlesAreDrawnWhereTheirLifeCurveLeavesThemAlpha) {
  logBrush(0, 0xFF000011);
  ParticleSystem& s = fill(3);
  for (int i = 0; i < 3; ++i) {
    s.particles[i].lifespan = 10;
    s.particles[i].countdown = 0;
  }
  s.drawMode = 77;  // no curve of its own: full opacity to the end
  render();
  EXPECT_EQ(logged(), std::vector<LoggedCall>(3, {0xFFFFFFFF, 0x11, 255}));
  s.drawMode = LIFE_SMOOTH;  // 0 at the end
  s.particles[1].countdown = 5;
  render();
  EXPECT_EQ(logged(), (std::vector<LoggedCall>{{0xFFFFFFFF, 0x11, 128}}));
}

TEST_F(FrameComposerTest, NearEntryStopsASortedFrame) {
  logBrush(0, 0xFF000011);
  logBrush(1, 0xFF000022);
  logBrush(2, 0xFF000033);
  ParticleSystem& s = fill(3);
  // Default near limit -200; drawn far to near: 50, -300 (stops), -350.
  s.particles[0].position = {0, 0, -300};
  s.particles[0].brush = 1;
  s.particles[1].position = {0, 0, 50};
  s.particles[2].position = {0, 0, -350};
  s.particles[2].brush = 2;
  splat.depthSortEnabled = 1;
  render();
  EXPECT_EQ(loggedCount(), 1);
  EXPECT_EQ(drawList.currentEntry->position.z, -300.0);
  EXPECT_EQ(brushes.currentIndex(), 1);
  EXPECT_EQ(probe.calls, 1);  // the hook and the present still run
  EXPECT_EQ(platform.presents.size(), 2u);

  // Unsorted, a near entry asks nothing and every entry is visited.
  splat.depthSortEnabled = 0;
  render();
  EXPECT_EQ(loggedCount(), 1);
  EXPECT_EQ(brushes.currentIndex(), 2);
}

TEST_F(FrameComposerTest, EntryOnAnEmptyBrushSlotGetsADefaultBrush) {
  ParticleSystem& s = fill(1);
  s.particles[0].brush = 7;
  // The default brush is fully transparent, so nothing reaches its kernels.
  render();
  EXPECT_TRUE(platform.errorsShown.empty());
  ASSERT_NE(brushes.at(7), nullptr);
  EXPECT_EQ(brushes.currentIndex(), 7);
  for (std::uint32_t pixel : lastPresented()) ASSERT_EQ(pixel, BACKGROUND);
  // Made visible without kernels, it ends in the draw error.
  brushes.at(7)->colour = 0xFFFFFFFF;
  EXPECT_THROW(composer.renderFrame(), RuntimeErrorStop);
  ASSERT_EQ(platform.errorsShown.size(), 1u);
  EXPECT_EQ(platform.errorsShown[0], errors::LINK_DRAW_ERROR);
}

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

// Workers the system will not start leave their bands to the caller, and
// are tried again by a later run.
TEST(BandWorkers, BandsWithoutAWorkerRunOnTheCaller) {
  BandWorkers workers;
  const struct {
    int bands, refused, workersAfter, onCaller;
  } runs[] = {{3, 0, 2, 1}, {5, 1, 2, 3}, {5, 0, 4, 1}};
  for (const auto& r : runs) {
    BandWorkers::refuseWorkersForTest(r.refused);
    std::vector<int> calls(static_cast<std::size_t>(r.bands), 0);
    std::vector<std::thread::id> ids(static_cast<std::size_t>(r.bands));
    auto job = [&](int band) {
      ++calls[static_cast<std::size_t>(band)];
      ids[static_cast<std::size_t>(band)] = std::this_thread::get_id();
    };
    workers.run(r.bands, job);
    EXPECT_EQ(calls, std::vector<int>(static_cast<std::size_t>(r.bands), 1)) << r.bands << " " << r.refused;
    EXPECT_EQ(workers.workerCount(), r.workersAfter);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), std::this_thread::get_id()), r.onCaller);
  }
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
