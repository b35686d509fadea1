#pragma once
// A scripted platform for unit tests: records error reports and presents,
// runs a virtual clock that sleeps advance, and serves resources from a map.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ground/platform.h"

namespace qv::testing {

class TestPlatform : public Platform {
 public:
  std::vector<std::string> errorsShown;
  std::uint64_t ticks = 0;
  std::vector<std::uint32_t> sleeps;
  std::map<int, std::uint32_t> runningTimers;
  int screenW = 800;
  int screenH = 600;
  struct Presented {
    int x, y, w, h;
    std::vector<std::uint32_t> topDownPixels;  // the whole frame, top row first
  };
  std::vector<Presented> presents;
  bool keepPresentedPixels = false;
  // name upper-cased + "\n" + type
  std::map<std::string, std::vector<std::uint8_t>> resources;

  void addResource(const std::string& name, const std::string& type, std::vector<std::uint8_t> bytes);

  void showRuntimeError(std::string_view text) override;
  std::uint64_t clockTicks() override { return ticks; }
  void sleepMilliseconds(std::uint32_t ms) override;
  int startTimer(int n, std::uint32_t ms) override;
  int stopTimer(int n) override;
  bool timerFired(int) override { return false; }  // its timers never fire
  int screenWidth() override { return screenW; }
  int screenHeight() override { return screenH; }
  void present(const FrameView& frame, int x, int y, int w, int h) override;
  std::span<const std::uint8_t> findResource(std::string_view name, int type) override;
  std::span<const std::uint8_t> findResource(std::string_view name, std::string_view type) override;
  bool decodePicture(std::span<const std::uint8_t> bytes, DecodedPicture& out) override;
  void freePicturePixels(DecodedPicture& picture) override;
  // The program draws its pictures at their own size.
  bool scalePicture(const DecodedPicture&, int, int, DecodedPicture&) override { return false; }
};

}  // namespace qv::testing
