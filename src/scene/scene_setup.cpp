// The scene's set-up, in the order of runScene: every random draw of the
// set-up happens here, in its place, so a seed gives the same cloud.

#include <cstdint>

#include "ground/input_state.h"
#include "ground/platform.h"
#include "scene/animation.h"
#include "scene/animation_modules.h"
#include "scene/scene.h"

namespace qv {

namespace {

// The noise curve that wobbles the draw entries: 26 values 25 units apart.
constexpr std::int32_t NOISE_HIGHEST_INDEX = 25;
constexpr double NOISE_STEP = 25.0;

struct FountainSettings {
  std::int32_t quota;
  std::uint32_t points;
  double speedCentre, speedSpread;
  int speedMean, speedSpreadFrames;
  int onMean, onSpread, offMean, offSpread;
};
constexpr std::array<FountainSettings, MAIN_EMITTER_COUNT> FOUNTAINS{{
    {20, 20, 75.0, 50.0, 15, 10, 50, 25, 400, 350},
    {20, 20, 75.0, 50.0, 14, 8, 40, 20, 400, 350},
    {10, 10, 30.0, 15.0, 14, 8, 25, 15, 800, 700},
}};
constexpr double RING_RADIUS = 0.1;
constexpr double RING_ELEVATION = 0.5;
constexpr double RING_SPEED = 100.0;

struct CarrierSettings {
  double pivotX;
  double turnAngle;
  double wobbleSpread;
  int wobbleMean, wobbleSpreadFrames;
  double radiusCentre, radiusSpread;
  int radiusMean, radiusSpreadFrames;
};
constexpr std::array<CarrierSettings, MAIN_EMITTER_COUNT> FOUNTAIN_CARRIERS{{
    {250.0, 0.015707963267948967, 0.039269908169872414, 25, 15, 200.0, 50.0, 75, 15},
    {200.0, 0.015707963267948967, 0.04487989505128276, 25, 15, 175.0, 50.0, 75, 15},
    {300.0, 0.010471975511965976, 0.06283185307179587, 25, 15, 250.0, 100.0, 90, 20},
}};
constexpr CarrierSettings TRAIL_CARRIER{
    300.0, 0.00966643893412244, 0.06283185307179587, 15, 10, 250.0, 100.0, 50, 20};
constexpr int RANDOM_ORIENTATION = 7;

}  // namespace

Scene::Scene(AnimationModules& modules) : m_(modules) {}

void Scene::setupScene(const SceneOptions& options) {
  // The seed: the program's millisecond tick count unless one is given.
  const auto seed =
      options.seedGiven ? options.seed : static_cast<std::uint32_t>(m_.platform.clockTicks() / 100);
  m_.rng.seed(seed);

  m_.periodicTable.resizeTable(NOISE_HIGHEST_INDEX, NOISE_STEP);
  m_.drawList.entryHook = Hook::member<&Scene::wobbleEntry>(this);
  m_.drawList.entryHookKeepsToCursor = true;
  m_.periodicTable.refillTable();
  buildWobbleTables();

  m_.frame.setZoom(1.0);
  m_.frame.trail = options.trail;
  m_.splat.depthSortEnabled = options.depthSortEnabled;
  m_.splat.minPixelSize = 1;
  m_.splat.setPerspective(-250.0, -1.0);
  m_.splat.setDepthFade(700.0, -150.0, FADE_EASED);

  m_.composer.setupSceneRender();
  setupBrushes(options);
  setupParticleSystem();
  setupFountains();
  setupTrails();

  ParticleSystem& cloud = m_.systems.current();
  cloud.respawnHook = BasicHook<std::int32_t>::member<&Scene::respawnFromEmitter>(this);
  cloud.respawnHookKeepsToParticle = true;
  cloud.linkInterval = 1;
  cloud.transform = CLOUD_TRANSFORM;

  setupTransforms();
  registerCounters();
  m_.clock.initFrameRateMeter(FRAME_RATE_WINDOW);
  m_.input.clearInputEvents();
  m_.platform.startTimer(0, LEGEND_MILLISECONDS);

  if (!options.overlays) m_.composer.frameHook = Hook();
  if (!options.legend) m_.overlays.leaveOutLegend();
  if (options.halfResRequested) m_.frame.halfResRequested = 1;
  colourPhase = 0;
  startupFrames = 0;
}

void Scene::setupBrushes(const SceneOptions& options) {
  BrushTable& b = m_.brushes;
  b.selectBrush(0);
  m_.images.spotPeak = 0.6;
  m_.images.spotShape = 0.8;
  b.current().sizeScale = SCENE_BRUSH_SIZE_SCALE;
  b.setupBrush(b.current(), options.brushKind, BRUSH_COLOUR_SETS[0][0], options.brushPicture);
  for (int i = 1; i <= 2; ++i) {
    b.copyBrush(0, i);
    b.current().colour = BRUSH_COLOUR_SETS[0][i];
    // A copy takes no images: a brush drawn from images (a ball, a spot, a
    // picture, chosen on the command line) builds its own in its own colour,
    // or its systems would draw nothing.
    if (b.at(0)->hasImages()) {
      b.setupBrush(b.current(), options.brushKind, BRUSH_COLOUR_SETS[0][i], options.brushPicture);
    }
  }
}

void Scene::setupParticleSystem() {
  SystemTable& t = m_.systems;
  ParticleSystem& s = t.current();
  s.boxHalfSize = Vec3{300, 300, 300};
  t.fillParticles(SCENE_PARTICLE_COUNT, 0, 2, 0);
  // Every particle is due at the first update: the cloud starts empty and
  // the emitters fill it.
  t.expireParticles(0, RANGE_TO_END);
  s.lifespan = FOUNTAIN_LIFE;
  s.lifespanJitter = 0;
  s.drawMode = LIFE_SMOOTH;
  t.selectParticle(0);
  Particle& first = *t.currentParticle;
  first.timeStep = 0.01;
  first.drag = 0.15;
  first.mobility = 0.7;
  t.keepMask = KEEP_POSITION | KEEP_VELOCITY | KEEP_BRUSH | KEEP_COLOUR | KEEP_LIFE;
  t.copyParticleSettings(0, RANGE_ALL, -1);
}

void Scene::setupFountains() {
  for (int k = 0; k < MAIN_EMITTER_COUNT; ++k) {
    const FountainSettings& f = FOUNTAINS[static_cast<std::size_t>(k)];
    Emitter& e = m_.mainEmitters[static_cast<std::size_t>(k)];
    e.autoRestart = 0;
    e.quota = f.quota;
    e.transform = FOUNTAIN_TRANSFORM_BASE + k;
    e.allocatePoints(f.points);
    e.selectPoint(0);
    e.setRing(static_cast<std::int32_t>(f.points), 0, 0, 0, RING_RADIUS, RING_ELEVATION, RING_SPEED, 0.0);
    speedCounters[static_cast<std::size_t>(k)].setRange(
        m_.counterContext, &emitterSpeed[static_cast<std::size_t>(k)], f.speedCentre, f.speedSpread,
        f.speedMean, f.speedSpreadFrames);
    emitterSwitches[static_cast<std::size_t>(k)].setPhases(&e.stopped, f.onMean, f.onSpread, f.offMean,
                                                           f.offSpread);
  }
}

void Scene::setupTrails() {
  for (int j = 0; j < TRAIL_COUNT; ++j) {
    const auto ju = static_cast<std::size_t>(j);
    Emitter& e = m_.trailEmitters[ju];
    e.quota = 1;
    e.transform = TRAIL_TRANSFORM_BASE + j;
    e.allocatePoints(1);
    e.selectPoint(0);
    e.setPoint(0, 0, 0, 0, 0, 0, 0, 0, 0);
    trailSizeCounters[ju].setRange(m_.counterContext, &trailSize[ju], 1.5, 1.0, 7, 3);
  }
}

void Scene::setupTransforms() {
  TransformTable& t = m_.transforms;
  t.selectTransform(CLOUD_TRANSFORM);
  t.setOrientation(2);
  t.setPosition(0, 0, 0);
  t.setPivotOffset(0, 0, 0);
  t.setTurnSteps(0, 0, 0);
  t.setSpin(0, 1, 0);
  t.setSpinAngle(CLOUD_SPIN_ANGLE);

  const auto carrier = [&](int index, const CarrierSettings& c, SmRandUCNTfloat& wobble,
                           SmRandUCNTfloat& radius) {
    t.selectTransform(index);
    t.setPivotOffset(c.pivotX, 0, 0);
    t.setOrientation(RANDOM_ORIENTATION);
    t.setTurnSteps(0, 1, 0);
    t.setTurnAngle(c.turnAngle);
    wobble.setRange(m_.counterContext, nullptr, 0.0, c.wobbleSpread, c.wobbleMean, c.wobbleSpreadFrames);
    radius.setRange(m_.counterContext, &t.current().pivotOffset.x, c.radiusCentre, c.radiusSpread,
                    c.radiusMean, c.radiusSpreadFrames);
  };
  for (int k = 0; k < MAIN_EMITTER_COUNT; ++k) {
    const auto ku = static_cast<std::size_t>(k);
    carrier(FOUNTAIN_TRANSFORM_BASE + k, FOUNTAIN_CARRIERS[ku], wobbleCounters[ku], radiusCounters[ku]);
    fountainWobbles_[ku] = TransformWobble(t, m_.counterContext, FOUNTAIN_TRANSFORM_BASE + k);
    wobbleCounters[ku].hook = fountainWobbles_[ku].hook();
  }
  for (int j = 0; j < TRAIL_COUNT; ++j) {
    const auto ju = static_cast<std::size_t>(j);
    carrier(TRAIL_TRANSFORM_BASE + j, TRAIL_CARRIER, trailWobbleCounters[ju], trailRadiusCounters[ju]);
  }
  for (int j = 0; j < TRAIL_COUNT; ++j) {
    const auto ju = static_cast<std::size_t>(j);
    trailWobbles_[ju] = TransformWobble(t, m_.counterContext, TRAIL_TRANSFORM_BASE + j);
    trailWobbleCounters[ju].hook = trailWobbles_[ju].hook();
  }
}

void Scene::registerCounters() {
  constexpr int LIST = 1;
  for (std::size_t i = 0; i < MAIN_EMITTER_COUNT; ++i) {
    m_.registry.registerCounter(&wobbleCounters[i], LIST);
    m_.registry.registerCounter(&radiusCounters[i], LIST);
    m_.registry.registerCounter(&speedCounters[i], LIST);
    m_.registry.registerCounter(&emitterSwitches[i], LIST);
  }
  for (std::size_t j = 0; j < TRAIL_COUNT; ++j) {
    m_.registry.registerCounter(&trailWobbleCounters[j], LIST);
    m_.registry.registerCounter(&trailRadiusCounters[j], LIST);
    m_.registry.registerCounter(&trailSizeCounters[j], LIST);
  }
}

void Scene::runScene(const SceneOptions& options) {
  setupScene(options);
  while (frameStep() != 0) {}
  m_.composer.releaseWorkingTables();
}

}  // namespace qv
