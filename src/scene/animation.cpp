#include "scene/animation.h"

#include "scene/animation_modules.h"

namespace qv {

static_assert(ADDING_DISC_BRUSH_KIND == SCENE_BRUSH_KIND);

namespace {

// The host configuration's frame part: the colours and a frame the size of
// the whole screen.
constexpr std::uint32_t HOST_CLEAR_COLOUR = 0xFF0A0A0A;
constexpr std::uint32_t HOST_BACKGROUND_COLOUR = 0xFF000000;
constexpr int HOST_FRAME_HEIGHT = 1024;  // unused by a whole-screen request

static_assert(MAX_DRAWING_THREADS == MAX_COMPOSE_THREADS && AUTOMATIC_DRAWING_THREADS == AUTOMATIC_THREADS);

constexpr std::string_view GENERATED_BRUSH_SOURCES[] = {BALL_SOURCE, SPOT_SOURCE};

}  // namespace

std::span<const std::int32_t> drawnBrushKinds() { return drawnKinds(); }
std::span<const std::string_view> generatedBrushSources() { return GENERATED_BRUSH_SOURCES; }

Animation::Animation(Platform& platform, InputState& input, BackBufferMemory* memory)
    : modules_(std::make_unique<AnimationModules>(platform, input, memory)) {
  FrameBuffer& frame = modules_->frame;
  frame.clearColour = HOST_CLEAR_COLOUR;
  frame.backgroundColour = HOST_BACKGROUND_COLOUR;
  frame.setFrameSize(FULL_SCREEN_REQUEST, HOST_FRAME_HEIGHT);
  modules_->composer.setThreads(AUTOMATIC_THREADS);
}

Animation::~Animation() = default;

void Animation::animationMain() { animationMainWith(SceneOptions{}); }

void Animation::animationMainWith(const SceneOptions& options) {
  setupOverlays();
  setupScene(options);
  while (frameStep()) {}
  endScene();
  destroyOverlays();
}

void Animation::setupOverlays() {
  modules_->overlays.setupOverlays();
  modules_->composer.frameHook = Hook::member<&Overlays::drawOverlays>(&modules_->overlays);
}

void Animation::setupScene(const SceneOptions& options) { modules_->scene.setupScene(options); }

bool Animation::frameStep() { return modules_->scene.frameStep() != 0; }

void Animation::endScene() { modules_->composer.releaseWorkingTables(); }

void Animation::destroyOverlays() {
  // The frame hook must not reach the freed overlays.
  modules_->composer.frameHook = Hook();
  modules_->overlays.destroyOverlays();
}

FrameBuffer& Animation::frameBuffer() { return modules_->frame; }

void Animation::setDrawingThreads(int threads) { modules_->composer.setThreads(threads); }

AnimationModules& Animation::modules() { return *modules_; }

Scene& Animation::scene() { return modules_->scene; }

}  // namespace qv
