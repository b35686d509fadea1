// The ground: memory blocks, the frame clock and the input record.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ground/aligned_buffer.h"
#include "ground/clock.h"
#include "ground/input_state.h"
#include "ground/memory_blocks.h"
#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

bool alignedAndFilled(const void* block, std::size_t alignment, std::size_t size, std::uint8_t byte) {
  const auto* bytes = static_cast<const std::uint8_t*>(block);
  return reinterpret_cast<std::uintptr_t>(block) % alignment == 0 &&
         std::all_of(bytes, bytes + size, [&](std::uint8_t b) { return b == byte; });
}

TEST(MemoryBlocks, BlocksAreAlignedAndFilledAsAskedAndBuffersOwnTheirs) {
  testing::TestPlatform platform;
  for (auto [alignment, fill, byte] :
       {std::tuple(16, FILL_ONES, 0xFF), std::tuple(4096, FILL_ONES, 0xFF), std::tuple(64, 7, 0)}) {
    void* block = allocAligned(platform, 1000, alignment, fill);
    EXPECT_TRUE(alignedAndFilled(block, alignment, 1000, static_cast<std::uint8_t>(byte))) << alignment;
    freeAligned(block);
  }

  // Taking a new block or a moved one frees the old (ASan reports a leak).
  AlignedBuffer<std::uint32_t> ones(platform, 300, 1024, FILL_ONES);
  AlignedBuffer<std::uint32_t> moved(std::move(ones));
  moved.allocate(platform, 40, 16, FILL_ZERO);
  AlignedBuffer<std::uint32_t> other(platform, 8, 64, FILL_NONE);
  other = std::move(moved);
  EXPECT_EQ(std::tuple(ones.data(), moved.data(), other.size()), std::tuple(nullptr, nullptr, 40u));
}

TEST(MemoryBlocks, ExhaustedMemoryIsReportedWithTheFixedTextAndLeavesTheBufferEmpty) {
  testing::TestPlatform platform;
  EXPECT_THROW(allocAligned(platform, static_cast<std::size_t>(-1) - 8, 16, 0), RuntimeErrorStop);
  // A count whose byte size wraps around is as fatal as a refused allocation.
  AlignedBuffer<double> buffer(platform, 4, 16, FILL_ZERO);
  for (std::size_t count : {static_cast<std::size_t>(-1) / 8 - 2, static_cast<std::size_t>(-1) / 4}) {
    EXPECT_THROW(buffer.allocate(platform, count, 16, FILL_NONE), RuntimeErrorStop);
    EXPECT_TRUE(buffer == nullptr);
  }
  EXPECT_EQ(platform.errorsShown,
            std::vector<std::string>(3, "memory allocation return is NULL, may be size allocation = 0"));
}

// One frame whose work takes `workTicks`, then paced to 25 frames a second.
void runFrame(testing::TestPlatform& platform, FrameClock& clock, std::uint64_t workTicks) {
  clock.beginFrameTiming();
  platform.ticks += workTicks;
  clock.endFrameTiming();
  clock.paceFrame(25);
}

TEST(FrameClock, AWrappedLapIsZeroAndSlotsOrWindowsOutsideTheRingAreFatal) {
  testing::TestPlatform platform;
  FrameClock clock(platform);
  platform.ticks = 429496729500ULL - 300;  // the millisecond counter wraps
  clock.markClock(1);
  platform.ticks = 200;
  clock.lapClock(1);
  EXPECT_EQ(clock.slotValue(1), 0);
  EXPECT_THROW(clock.initFrameRateMeter(0), RuntimeErrorStop);
  EXPECT_THROW(clock.initFrameRateMeter(MAX_SAMPLE_WINDOW + 1), RuntimeErrorStop);
  EXPECT_THROW(clock.markClock(CLOCK_SLOT_COUNT), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown, std::vector<std::string>(3, "PSI: Index out of range"));
}

TEST(FrameClock, PacingSleepsTheRestOfTheFrameToTheNearestMillisecondAndTheMeterAveragesAWindow) {
  testing::TestPlatform platform;
  FrameClock clock(platform);
  clock.initFrameRateMeter(10);
  // 12 ms of work, one whole period, more than one, 51 and 49 ticks left,
  // no work at all.
  for (std::uint64_t work : {1200, 4000, 6500, 3949, 3951, 0}) runFrame(platform, clock, work);
  EXPECT_EQ(platform.sleeps, (std::vector<std::uint32_t>{28, 1, 0, 40}));

  // The sleeps are not working time: 10 ms a frame is 100 frames a second,
  // once the window is full; a slow frame replaces the oldest sample.
  clock.initFrameRateMeter(10);
  for (int i = 0; i < 9; ++i) runFrame(platform, clock, 1000);
  EXPECT_EQ(clock.framesPerSecond(), 0);
  runFrame(platform, clock, 1000);
  EXPECT_EQ(clock.framesPerSecond(), 100);
  runFrame(platform, clock, 3000);
  EXPECT_EQ(clock.framesPerSecond(), 83);       // 100000 / 1200
  clock.initFrameRateMeter(MAX_SAMPLE_WINDOW);  // starts over, and the ring wraps
  for (int i = 1; i < MAX_SAMPLE_WINDOW; ++i) runFrame(platform, clock, 700);
  EXPECT_EQ(clock.framesPerSecond(), 0);
  for (int i = 0; i <= MAX_SAMPLE_WINDOW; ++i) runFrame(platform, clock, 700);
  EXPECT_EQ(clock.framesPerSecond(), 142);
  // A window of frames too quick to measure reads as the clock rate.
  clock.initFrameRateMeter(2);
  for (int i = 0; i < 2; ++i) runFrame(platform, clock, 0);
  EXPECT_EQ(clock.framesPerSecond(), TICKS_PER_SECOND);
}

int setFlagCount(const std::array<int, KEY_FLAG_COUNT>& block) {
  return std::accumulate(block.begin(), block.end(), 0);
}

TEST(InputState, KnownKeysHaveAFlagOfTheirOwnAndAreReleasedOnceButPressedEveryFrame) {
  std::array<int, KEY_FLAG_COUNT> seen{};
  for (int vk = 0; vk < 256; ++vk) {
    const int flag = keyFlagForVirtualKey(vk);
    if (flag >= 0) ++seen[static_cast<std::size_t>(flag)];
  }
  EXPECT_EQ(seen[KEY_ANY], 0);
  for (int f = 1; f < KEY_FLAG_COUNT; ++f) EXPECT_EQ(seen[static_cast<std::size_t>(f)], 1) << f;
  EXPECT_EQ(std::tuple(keyFlagForVirtualKey(121), keyFlagForVirtualKey('9'), keyFlagForVirtualKey('Z')),
            std::tuple(KEY_F10, KEY_DIGIT_0 + 9, KEY_LETTER_A + 25));

  InputState input;
  input.recordKeyDown(VKEY_UP);
  input.recordKeyDown(122);  // F11: only the any flag
  const InputSnapshot f1 = input.takeInputEvents();
  input.recordKeyDown(VKEY_UP);  // auto-repeat
  input.recordKeyUp(VKEY_UP);
  const InputSnapshot f2 = input.takeInputEvents();
  const InputSnapshot f3 = input.takeInputEvents();
  EXPECT_EQ(std::tuple(f1.keysPressed[KEY_UP], setFlagCount(f1.keysPressed), f2.keysPressed[KEY_UP],
                       setFlagCount(f3.keysPressed)),
            std::tuple(1, 2, 1, 0));
  EXPECT_EQ(std::tuple(setFlagCount(f1.keysReleased), f2.keysReleased[KEY_UP], setFlagCount(f2.keysReleased),
                       setFlagCount(f3.keysReleased)),
            std::tuple(0, 1, 2, 0));
}

TEST(InputState, MouseEventsLastOneFrameAndOnlyTheLastMoveCounts) {
  InputState input;
  input.recordButton(MouseButton::Right, false);
  input.recordWheel(wheelValueFromDelta(-120));  // toward the user
  input.recordMouseMove(30, 40);                 // the first move measures from (0, 0)
  InputSnapshot s = input.takeInputEvents();
  EXPECT_EQ(
      std::tuple(s.anyButtonDown, s.anyButtonUp, s.rightButton, s.wheel, s.mouseMoved, s.mouseDX, s.mouseDY),
      std::tuple(0, 1, 1, -120 * 65536, 1, -30, -40));
  input.recordMouseMove(25, 41);
  input.recordMouseMove(25, 41);  // back onto the same spot: no move
  s = input.takeInputEvents();
  EXPECT_EQ(std::tuple(s.anyButtonUp, s.rightButton, s.wheel, s.mouseMoved, s.mouseDX, s.mouseX),
            std::tuple(0, 0, 0, 0, 0, 25));
  input.recordMouseMove(12, 41);
  input.recordKeyDown('A');
  input.clearInputEvents();  // keeps the position and the last move's distance
  s = input.peekInputEvents();
  EXPECT_EQ(std::tuple(s.mouseMoved, s.mouseX, s.mouseY, s.mouseDX, setFlagCount(s.keysPressed)),
            std::tuple(0, 12, 41, 13, 0));
  input.recordMouseMove(-1, 0x10005);  // the low 16 bits, unsigned
  EXPECT_EQ(std::tuple(input.mouseX.load(), input.mouseY.load()), std::tuple(0xFFFF, 5));
}

}  // namespace
}  // namespace qv
