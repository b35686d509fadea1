#pragma once
// One run that every build must animate alike, bit for bit: seed 1 at
// 320 x 240 for 300 frames, without overlays, on the scripted platform's
// virtual clock. The Linux tests and the Windows test driver (under Wine) each
// compute its fingerprint and hold it against the one recorded here, so the
// two builds are held to each other. After an intended change of the
// animation, the Linux test prints the new fingerprint to record.

#include <cstdint>
#include <cstring>

#include "frame/frame_buffer.h"
#include "ground/input_state.h"
#include "scene/animation.h"
#include "scene/animation_modules.h"
#include "support/test_platform.h"

namespace qv::testing {

struct RunFingerprint {
  std::uint64_t particles = 0;  // every particle's position, velocity and life
  std::uint64_t frame = 0;      // the last frame's pixels
  friend bool operator==(const RunFingerprint&, const RunFingerprint&) = default;
};

inline constexpr int REFERENCE_RUN_FRAMES = 300;
inline constexpr RunFingerprint REFERENCE_RUN_FINGERPRINT{0x67c8268da965bf51, 0xb3d6b57aaa5cb1e7};

// FNV-1a over the bytes of plain values.
struct Fnv1a {
  std::uint64_t value = 14695981039346656037ull;
  template <class T>
  void add(const T& v) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &v, sizeof(T));
    for (const unsigned char b : bytes) value = (value ^ b) * 1099511628211ull;
  }
};

inline std::uint64_t particleStateHash(const SystemTable& systems) {
  Fnv1a hash;
  for (std::int32_t i = systems.firstSystem; i <= systems.lastSystem; ++i) {
    const ParticleSystem* s = systems.system(i);
    for (std::uint32_t k = 0; s != nullptr && k < s->particleCount; ++k) {
      const Particle& p = s->particles[k];
      for (const double v :
           {p.position.x, p.position.y, p.position.z, p.velocity.x, p.velocity.y, p.velocity.z})
        hash.add(v);
      hash.add(p.countdown);
    }
  }
  return hash.value;
}

inline std::uint64_t frameHash(const FrameBuffer& frame) {
  Fnv1a hash;
  const FrameBufferGeometry& g = frame.geometry();
  // The clear leaves the top byte as it likes.
  for (std::size_t i = 0; i < static_cast<std::size_t>(g.width) * g.height; ++i)
    hash.add(g.pixels[i] & 0xFFFFFFu);
  return hash.value;
}

inline RunFingerprint referenceRunFingerprint() {
  TestPlatform platform;
  platform.screenW = 320;
  platform.screenH = 240;
  InputState input;
  Animation animation(platform, input);
  animation.setDrawingThreads(1);
  SceneOptions options;
  options.seedGiven = true;
  options.overlays = false;
  animation.setupScene(options);
  for (int i = 0; i < REFERENCE_RUN_FRAMES; ++i) animation.frameStep();
  const RunFingerprint fingerprint{particleStateHash(animation.modules().systems),
                                   frameHash(animation.frameBuffer())};
  animation.endScene();
  return fingerprint;
}

}  // namespace qv::testing
