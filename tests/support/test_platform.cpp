#include "support/test_platform.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace qv::testing {

namespace {
std::string key(std::string_view name, std::string_view type) {
  std::string k(name);
  for (char& c : k) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  k += '\n';
  k += type;
  return k;
}
}  // namespace

void TestPlatform::addResource(const std::string& name, const std::string& type,
                               std::vector<std::uint8_t> bytes) {
  resources[key(name, type)] = std::move(bytes);
}

void TestPlatform::showRuntimeError(std::string_view text) { errorsShown.emplace_back(text); }

void TestPlatform::sleepMilliseconds(std::uint32_t ms) {
  sleeps.push_back(ms);
  ticks += static_cast<std::uint64_t>(ms) * 100;
}

int TestPlatform::startTimer(int n, std::uint32_t ms) {
  runningTimers[n] = ms;
  return 1000 + n;
}

int TestPlatform::stopTimer(int n) { return runningTimers.erase(n) > 0 ? 1 : 0; }

void TestPlatform::present(const FrameView& frame, int x, int y, int w, int h) {
  Presented p{x, y, w, h, {}};
  if (keepPresentedPixels) {
    p.topDownPixels.reserve(static_cast<std::size_t>(frame.width) * frame.height);
    for (int r = 0; r < frame.height; ++r) {
      const std::uint32_t* row = frame.topRow(r);
      p.topDownPixels.insert(p.topDownPixels.end(), row, row + frame.width);
    }
  }
  presents.push_back(std::move(p));
}

std::span<const std::uint8_t> TestPlatform::findResource(std::string_view name, int type) {
  return findResource(name, std::to_string(type));
}

std::span<const std::uint8_t> TestPlatform::findResource(std::string_view name, std::string_view type) {
  auto it = resources.find(key(name, type));
  if (it == resources.end()) return {};
  return it->second;
}

// Test pictures are raw: width and height as two little-endian int32, then
// width * height ARGB words, top row first.
bool TestPlatform::decodePicture(std::span<const std::uint8_t> bytes, DecodedPicture& out) {
  if (bytes.size() < 8) return false;
  std::int32_t w = 0;
  std::int32_t h = 0;
  std::memcpy(&w, bytes.data(), 4);
  std::memcpy(&h, bytes.data() + 4, 4);
  if (w <= 0 || h <= 0 || bytes.size() != 8 + static_cast<std::size_t>(w) * h * 4) return false;
  out.width = w;
  out.height = h;
  out.pixels = new std::uint32_t[static_cast<std::size_t>(w) * h];
  std::memcpy(out.pixels, bytes.data() + 8, static_cast<std::size_t>(w) * h * 4);
  return true;
}

void TestPlatform::freePicturePixels(DecodedPicture& picture) {
  delete[] picture.pixels;
  picture.pixels = nullptr;
}

}  // namespace qv::testing
