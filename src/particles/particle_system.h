#pragma once
// Particle systems and the table that holds them. A system owns its particles
// and the settings new particles are made from; the scene writes those
// settings directly after createSystem. Everything here acts on the current
// system, and the update, the draw list and every hook find the particle
// being processed in currentParticle, since hooks take no arguments.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "counters/random_source.h"
#include "geometry/vec3.h"
#include "geometry/vector_ops.h"
#include "ground/aligned_buffer.h"
#include "ground/hook.h"
#include "particles/particle.h"

namespace qv {

class Platform;

inline constexpr int SYSTEM_SLOTS = 256;
// destroySystems codes.
inline constexpr std::int32_t DESTROY_ALL_SYSTEMS = -10;
inline constexpr std::int32_t DESTROY_FIRST_SYSTEM = -4;
inline constexpr std::int32_t DESTROY_LAST_SYSTEM = -2;
// Range codes of expireParticles and copyParticleSettings.
inline constexpr std::int32_t RANGE_NEXT_ONE = -1;  // expire: last = first + 1; copy: last = first
inline constexpr std::int32_t RANGE_TO_END = -2;    // expire: last = particleCount - 1
inline constexpr std::int32_t RANGE_ALL = -1;       // copy: first = -1 means every particle
// respawnFlags bits: what the built-in renewal redraws.
inline constexpr std::uint32_t RESPAWN_POSITION = 0x1;
inline constexpr std::uint32_t RESPAWN_VELOCITY = 0x2;
inline constexpr std::uint32_t RESPAWN_COLOUR = 0x4;
// keepMask bits: fields of the target that copyParticleSettings keeps.
inline constexpr std::uint8_t KEEP_POSITION = 0x01;
inline constexpr std::uint8_t KEEP_VELOCITY = 0x02;
inline constexpr std::uint8_t KEEP_BRUSH = 0x04;
inline constexpr std::uint8_t KEEP_COLOUR = 0x08;
inline constexpr std::uint8_t KEEP_LIFE = 0x10;

struct ParticleSystem {
  ParticleSystem() = default;
  ParticleSystem(const ParticleSystem&) = delete;
  ParticleSystem& operator=(const ParticleSystem&) = delete;

  std::uint32_t particleCount = 0;
  std::uint32_t groupCount = 0;
  std::int32_t linkInterval = 0;  // the link pass runs on one update in linkInterval + 1
  std::int32_t transform = 0;     // places the particles for drawing; 0 = none
  std::uint32_t baseColour = 0xFFFFFFFF;
  std::int32_t colourJitter = 0;
  Vec3 boxCentre{0, 0, 0};
  Vec3 boxHalfSize{500, 500, 500};
  double speed = 100.0;
  double speedJitter = 50.0;
  std::int32_t lifespan = 0;
  std::int32_t lifespanJitter = 0;
  std::int32_t renewLife = 1;
  std::int32_t drawMode = LIFE_SMOOTH;  // life curve of the splat set-up
  std::uint32_t respawnFlags = 0;
  BasicHook<Vec3> forceHook;            // force on currentParticle
  BasicHook<double> bounceHook;         // bounce factor of currentParticle
  BasicHook<double> drawHook;           // life fade of the entry being drawn
  BasicHook<std::int32_t> respawnHook;  // non-zero: the update finishes the renewal
  // Set by whoever installs a renewal hook that reads and changes no
  // particle but the current one (the motion may then run on several threads).
  bool respawnHookKeepsToParticle = false;
  AlignedBuffer<Particle> particles;    // particleCount records
  std::vector<LinkGroup> groups;        // empty = no link pass
  std::vector<LinkParams> linkParams;   // empty = no link pass
  std::int32_t filled = 0;
  std::int32_t linkCountdown = 0;

  // Installs link groups and their parameter sets (groupCount follows).
  void setLinks(std::span<const LinkGroup> newGroups, std::span<const LinkParams> newParams);
};

class SystemTable {
 public:
  SystemTable(Platform& platform, RandomSource& rng, VectorOps& vectors);
  ~SystemTable();
  SystemTable(const SystemTable&) = delete;
  SystemTable& operator=(const SystemTable&) = delete;

  // Lowest and highest occupied slots; 256 and 0 when the table is empty.
  std::int32_t firstSystem = SYSTEM_SLOTS;
  std::int32_t lastSystem = 0;
  std::int32_t currentSystemIndex = 0;
  ParticleSystem* currentSystem = nullptr;
  std::int32_t currentParticleIndex = 0;
  Particle* currentParticle = nullptr;
  // Fields of the target that copyParticleSettings leaves alone.
  std::uint8_t keepMask = 0;

  void createSystem(std::int32_t index);
  void destroySystems(std::int32_t code);
  // Moves to the next occupied slot (1), or back to firstSystem (0).
  std::int32_t nextSystem();
  // Makes an occupied slot current (the composition and tests use it).
  void selectSystem(std::int32_t index);

  void fillParticles(std::uint32_t count, std::int32_t brushFirst, std::int32_t brushLast,
                     std::int32_t randomBrush);
  void selectParticle(std::int32_t index);
  void expireParticles(std::int32_t first, std::int32_t last);
  void copyParticleSettings(std::int32_t source, std::int32_t first, std::int32_t last);

  // The system in a slot, or nullptr for an empty slot or an index outside
  // the table.
  ParticleSystem* system(std::int32_t index) const;
  // The current system; a fatal error when there is none.
  ParticleSystem& current();
  bool empty() const { return firstSystem == SYSTEM_SLOTS; }

  // Makes particle `index` of system `s` current without a range check; for
  // the per-particle loops, which already walk inside the array.
  void setCurrentParticle(ParticleSystem& s, std::int32_t index) {
    currentParticleIndex = index;
    currentParticle = s.particles.data() + index;
  }

  Platform& platform() { return platform_; }
  RandomSource& random() { return rng_; }
  VectorOps& vectors() { return vectors_; }

 private:
  // Destroys one slot: 0 when it was empty or the table is now empty.
  int destroyOne(std::int32_t index);
  void checkParticleIndex(const ParticleSystem& s, std::int64_t index);

  Platform& platform_;
  RandomSource& rng_;
  VectorOps& vectors_;
  std::array<std::unique_ptr<ParticleSystem>, SYSTEM_SLOTS> slots_;
};

}  // namespace qv
