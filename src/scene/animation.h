#pragma once
// The whole animation as one object: every module's records, the scene, and
// the overlays, built over a platform. A host creates one Animation, sizes its
// window from the frame geometry that the host configuration chose, and runs
// `animationMain` on its worker thread; the headless renderer drives the
// scene frame by frame instead.
//
// Fatal errors show their box through the platform and unwind out of these
// calls as RuntimeErrorStop; the worker's entry point catches it and ends.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "splat/brush_kind.h"

namespace qv {

class Platform;
class InputState;
class BackBufferMemory;
class FrameBuffer;
struct AnimationModules;
class Scene;

// Brush kinds (class << 16 | variant) that hosts name; drawnBrushKinds lists
// every kind that draws.
inline constexpr std::int32_t POINT_BRUSH_KIND = brushKind(BRUSH_CLASS_POINT, BRUSH_VARIANT_PLAIN);
inline constexpr std::int32_t BALL_BRUSH_KIND = brushKind(BRUSH_CLASS_BALL, BRUSH_VARIANT_PLAIN);
inline constexpr std::int32_t ADDING_SPOT_BRUSH_KIND = brushKind(BRUSH_CLASS_SPOT, BRUSH_VARIANT_ADD);
inline constexpr std::int32_t PICTURE_BRUSH_KIND = brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_PLAIN);
inline constexpr std::int32_t ADDING_DISC_BRUSH_KIND = brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_ADD);

// What a host may change before the scene is set up (the renderer's and the
// desktop program's options). The defaults are the program's own.
struct SceneOptions {
  bool seedGiven = false;  // otherwise the scene seeds from the clock
  std::uint32_t seed = 1;
  std::int32_t brushKind = ADDING_DISC_BRUSH_KIND;  // brush 0's kind, copied to brushes 1 and 2
  std::int32_t trail = 0;
  std::int32_t depthSortEnabled = 0;
  bool halfResRequested = false;  // set before the first frame
  bool overlays = true;
  // The controls legend; a host whose window's keys go to another program
  // (a screen saver's daemon) leaves it out, and the logo alone is drawn.
  bool legend = true;
  // A BINARYDATA picture for brush 0 (and so 1 and 2); empty: none.
  std::string brushPicture;
};

// Threads that draw each frame: 1 ... MAX_DRAWING_THREADS, or
// AUTOMATIC_DRAWING_THREADS: one while one thread's frames take under half
// of their 40 ms, else the machine's cores. Frames are the same either way.
inline constexpr int MAX_DRAWING_THREADS = 64;
inline constexpr int AUTOMATIC_DRAWING_THREADS = 0;

// What a host may offer for SceneOptions::brushKind: the kinds that draw.
std::span<const std::int32_t> drawnBrushKinds();
// Names for SceneOptions::brushPicture that the brushes generate themselves;
// any other name is looked up as a BINARYDATA picture resource.
std::span<const std::string_view> generatedBrushSources();

class Animation {
 public:
  // Runs the host configuration: clear and background colours and the frame
  // size request (the whole screen, through the platform). `memory`, when
  // given, supplies the back buffer's pixels (a window system's bitmap).
  Animation(Platform& platform, InputState& input, BackBufferMemory* memory = nullptr);
  ~Animation();
  Animation(const Animation&) = delete;
  Animation& operator=(const Animation&) = delete;

  // The configured process of the worker thread: the overlays' set-up, the
  // scene until Escape, the overlays' tear-down.
  void animationMain();
  // The same with the host's choices for the scene.
  void animationMainWith(const SceneOptions& options);

  // The same run in steps, for drivers that control each frame.
  void setupOverlays();
  void setupScene(const SceneOptions& options = {});
  // One frame; false when the animation ends (Escape released).
  bool frameStep();
  void endScene();  // releases the working tables
  void destroyOverlays();

  // The frame buffer, for the host: its geometry sizes the window, and a
  // repaint presents it (presentRect(0, -1)).
  FrameBuffer& frameBuffer();

  // AUTOMATIC_DRAWING_THREADS until set.
  void setDrawingThreads(int threads);

  // Every module, for tests and tools.
  AnimationModules& modules();
  // The scene, for drivers that look between the steps of a frame.
  Scene& scene();

 private:
  std::unique_ptr<AnimationModules> modules_;
};

}  // namespace qv
