#include "hosts/sdl/shared/frame_surface.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace qv::sdl {
namespace {

// A surface over plain memory; the test thread plays the main thread and
// std::async the worker.
class MemorySurface final : public FrameSurface {
 public:
  MemorySurface(int width0, int height0) : FrameSurface(false) { replacePixels(width0, height0); }
  std::vector<std::uint32_t> pixels;
  int w = 0, h = 0;
  std::vector<SurfaceArea> shown;  // main thread only
  int copies = 0;
  std::atomic<int> announced{0};
  std::atomic<int> sequence{0};
  int shownAt = 0;  // when (in `sequence`) the last show ran

 protected:
  bool hasPixels() const override { return !pixels.empty(); }
  int width() const override { return w; }
  int height() const override { return h; }
  std::uint32_t* pixelsToLend(int fw, int fh) override {
    return fw == w && fh == h ? pixels.data() : nullptr;
  }
  void replacePixels(int nw, int nh) override {
    pixels.assign(static_cast<std::size_t>(nw) * static_cast<std::size_t>(nh), 0);
    w = nw;
    h = nh;
  }
  void copyRows(const FrameView&, int, int, int, int) override { ++copies; }  // lent pixels need none
  void fillArea(int, int, int, int, bool) override {}
  void show(const SurfaceArea& area) override {
    shown.push_back(area);
    shownAt = ++sequence;
  }
  void announceFrame() override { ++announced; }
};

// The main thread's side: waits for an announcement, then shows.
void showWhenAnnounced(MemorySurface& s, int announcements) {
  for (int i = 0; i < 10000 && s.announced.load() < announcements; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_GE(s.announced.load(), announcements);
  s.showPendingFrame();
}

// The worker goes on only once the main thread has shown the pixels: it
// draws the next frame into them. An expose while it draws shows all of
// them with the next present.
TEST(FrameSurface, TheFrameIsDrawnIntoTheWindowsPixelsAndShownBeforeThePresentReturns) {
  MemorySurface s(4, 3);
  std::uint32_t* frame = s.acquire(4, 3);
  ASSERT_EQ(frame, s.pixels.data());
  EXPECT_FALSE(s.bottomUp());
  frame[5] = 0x123456;
  s.repaint();  // the frame is half drawn: nothing is shown now
  EXPECT_TRUE(s.shown.empty());
  auto present = std::async(std::launch::async, [&] {
    const bool taken = s.receive(FrameView{frame, 4, 3, 4, false}, 1, 1, 1, 1);
    return std::make_pair(taken, ++s.sequence);
  });
  showWhenAnnounced(s, 1);
  const auto [taken, returnedAt] = present.get();
  EXPECT_TRUE(taken);
  EXPECT_LT(s.shownAt, returnedAt);
  EXPECT_EQ(s.copies, 0);
  ASSERT_EQ(s.shown.size(), 1u);
  EXPECT_EQ(std::tuple(s.shown[0].w, s.shown[0].h, s.pixels[5]), std::tuple(4, 3, 0x123456u));
}

TEST(FrameSurface, AResizeReplacesThePixelsOnlyOnceTheFrameLetsGoOfThem) {
  MemorySurface s(4, 3);
  std::uint32_t* old = s.acquire(4, 3);
  s.follow(6, 5);
  EXPECT_EQ(s.w, 4);  // still drawn into
  EXPECT_TRUE(s.wantsNewPixels());
  s.release(old);
  // The worker's new frame buffer asks the main thread for the new pixels.
  auto acquired = std::async(std::launch::async, [&] { return s.acquire(6, 5); });
  showWhenAnnounced(s, 1);
  std::uint32_t* now = acquired.get();
  EXPECT_EQ(std::tuple(s.w, now, s.wantsNewPixels()), std::tuple(6, s.pixels.data(), false));
}

}  // namespace
}  // namespace qv::sdl
