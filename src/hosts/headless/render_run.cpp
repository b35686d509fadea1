#include "hosts/headless/render_run.h"

#include <unistd.h>

#include <time.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "frame/frame_buffer.h"
#include "ground/input_state.h"
#include "ground/runtime_error.h"
#include "hosts/headless/headless_platform.h"
#include "hosts/headless/render_outputs.h"
#include "scene/animation.h"
#include "scene/scene.h"

namespace qv {

namespace {

constexpr int PROGRESS_INTERVAL = 25;
constexpr int WHEEL_NOTCH = 120;

int virtualKeyOf(ScriptedKey key) {
  switch (key) {
    case ScriptedKey::Enter: return VKEY_ENTER;
    case ScriptedKey::Escape: return VKEY_ESCAPE;
    case ScriptedKey::Up: return VKEY_UP;
    case ScriptedKey::Down: return VKEY_DOWN;
    case ScriptedKey::Left: return VKEY_LEFT;
    case ScriptedKey::Right: return VKEY_RIGHT;
  }
  return VKEY_ENTER;
}

// Processor time of the whole process, every thread's together.
double processCpuMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

// The times of the steps of every frame, taken between the steps by the
// scene's observer, and the processor time the frame took: on a busy
// machine the clock also counts the time others had the processor.
class StepTimer : public FrameStepObserver {
 public:
  using Clock = std::chrono::steady_clock;

  void atFrameStep(FrameStepPoint point) override {
    const Clock::time_point now = Clock::now();
    switch (point) {
      case FrameStepPoint::UpdateBegins:
        begin_ = now;
        cpuBegin_ = processCpuMilliseconds();
        break;
      case FrameStepPoint::UpdateDone: updated_ = now; break;
      case FrameStepPoint::CompositionDone:
        composed_ = now;
        cpuEnd_ = processCpuMilliseconds();
        break;
    }
  }
  void keepFrame() {
    if (total.empty()) firstCpuBegin_ = cpuBegin_;
    lastCpuEnd_ = cpuEnd_;
    update.push_back(milliseconds(updated_ - begin_));
    compose.push_back(milliseconds(composed_ - updated_));
    total.push_back(milliseconds(composed_ - begin_));
    cpu.push_back(cpuEnd_ - cpuBegin_);
  }

  std::vector<double> update;
  std::vector<double> compose;
  std::vector<double> total;
  std::vector<double> cpu;

  // The processor time of the frames kept, a frame. A thread that never
  // sleeps has its time counted in ticks of several milliseconds, so a
  // single frame's figure can miss a worker's time (the median with it);
  // over all the frames it cannot.
  double cpuMean() const {
    return cpu.empty() ? 0.0 : (lastCpuEnd_ - firstCpuBegin_) / static_cast<double>(cpu.size());
  }

 private:
  static double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
  }
  Clock::time_point begin_;
  Clock::time_point updated_;
  Clock::time_point composed_;
  double cpuBegin_ = 0;
  double cpuEnd_ = 0;
  double firstCpuBegin_ = 0;
  double lastCpuEnd_ = 0;
};

// The median (the mean of the two middle values for an even count), the
// nearest-rank 95th percentile and the largest value.
struct Figures {
  double median = 0;
  double p95 = 0;
  double max = 0;
};
Figures figuresOf(std::vector<double> v) {
  Figures f;
  if (v.empty()) return f;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  f.median = n % 2 != 0 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  const auto rank = static_cast<std::size_t>(std::ceil(0.95 * static_cast<double>(n)));
  f.p95 = v[std::max<std::size_t>(rank, 1) - 1];
  f.max = v.back();
  return f;
}

// Records the scripted input of frame f, for that frame's input reaction.
void feedInput(const RenderOptions& o, int f, InputState& input) {
  for (const MouseEvent& e : o.mice) {
    if (e.frame == f) input.recordMouseMove(e.x, e.y);
  }
  for (const WheelEvent& e : o.wheels) {
    if (e.frame == f) input.recordWheel(wheelValueFromDelta(e.direction * WHEEL_NOTCH));
  }
  for (const KeyEvent& e : o.keys) {
    if (e.frame != f) continue;
    input.recordKeyDown(virtualKeyOf(e.key));
    input.recordKeyUp(virtualKeyOf(e.key));
  }
}

// The bench line on standard output; false (after a line on err) when it
// could not be written whole.
bool writeBenchLine(const StepTimer& timer, int threads, std::FILE* out, std::FILE* err) {
  const Figures u = figuresOf(timer.update);
  const Figures c = figuresOf(timer.compose);
  const Figures t = figuresOf(timer.total);
  const Figures cpu = figuresOf(timer.cpu);
  errno = 0;
  const bool written =
      std::fprintf(out,
                   "bench frames=%zu update_median_ms=%.3f update_p95_ms=%.3f compose_median_ms=%.3f "
                   "compose_p95_ms=%.3f total_median_ms=%.3f total_p95_ms=%.3f total_max_ms=%.3f "
                   "cpu_median_ms=%.3f cpu_mean_ms=%.3f threads=%d\n",
                   timer.total.size(), u.median, u.p95, c.median, c.p95, t.median, t.p95, t.max, cpu.median,
                   timer.cpuMean(), threads) > 0 &&
      std::fflush(out) == 0 && std::ferror(out) == 0;
  if (!written) {
    std::fprintf(err, "quorvalent-render: cannot write the bench line to standard output: %s\n",
                 errno != 0 ? std::strerror(errno) : "the write failed");
  }
  return written;
}

}  // namespace

std::string checkRenderOptions(const RenderOptions& o) {
  const auto outside = [&](int f) { return f < 1 || f > o.frames; };
  const std::string range = " is outside the frames 1 ... " + std::to_string(o.frames);
  for (const KeyEvent& e : o.keys) {
    if (outside(e.frame)) return "quorvalent-render: --key: frame " + std::to_string(e.frame) + range;
  }
  for (const WheelEvent& e : o.wheels) {
    if (outside(e.frame)) return "quorvalent-render: --wheel: frame " + std::to_string(e.frame) + range;
  }
  for (const MouseEvent& e : o.mice) {
    if (outside(e.frame)) return "quorvalent-render: --mouse: frame " + std::to_string(e.frame) + range;
  }
  if (o.bench && o.video && *o.video == "-") {
    return "quorvalent-render: --video -: standard output carries the --bench line; give the video a file";
  }
  return {};
}

int runRender(const RenderOptions& o, std::FILE* out, std::FILE* err) {
  RenderOutputs outputs(o, out, err);
  if (!outputs.open()) return RENDER_OUTPUT_FAILED;
  const bool progress = isatty(fileno(err)) != 0;

  HeadlessPlatform platform(o.width, o.height, programResources(), err);
  InputState input;
  StepTimer timer;
  int code = RENDER_OK;
  try {
    Animation animation(platform, input);
    // The frame is exactly the requested size, without margins.
    animation.frameBuffer().setFrameSize(o.width, o.height);
    animation.setDrawingThreads(o.choices.threads);
    if (o.choices.scene.overlays) animation.setupOverlays();
    animation.setupScene(o.choices.scene);
    if (o.bench) animation.scene().observer = &timer;

    for (int f = 1; f <= o.frames; ++f) {
      feedInput(o, f, input);
      // Only the frames written out need the window picture; a run that
      // stops early has its last frame copied below.
      const bool wanted = outputs.hasVideo() || f % o.every == 0 || f == o.frames;
      platform.setKeepPresents(wanted);
      const bool goOn = animation.frameStep();
      if (o.bench && f >= o.benchFrom) timer.keepFrame();
      const bool last = f == o.frames || !goOn;
      if (f % o.every == 0 || last) {
        platform.copySkippedPresent();
        if (!outputs.writeFrame(f, platform.window())) {
          code = RENDER_OUTPUT_FAILED;
          break;
        }
      }
      if (outputs.hasVideo() && !outputs.writeVideoFrame(platform.window())) {
        code = RENDER_OUTPUT_FAILED;
        break;
      }
      if (progress && (f % PROGRESS_INTERVAL == 0 || last)) {
        std::fprintf(err, "\rquorvalent-render: frame %d of %d", f, o.frames);
        if (last) std::fputc('\n', err);
        std::fflush(err);
      }
      if (!goOn) break;
    }
    animation.scene().observer = nullptr;
    animation.endScene();
    animation.destroyOverlays();
  } catch (const RuntimeErrorStop&) {
    // The platform has printed the error line.
    code = RENDER_FATAL_ERROR;
  }
  if (code != RENDER_OK) return code;
  if (!outputs.finish()) return RENDER_OUTPUT_FAILED;
  if (o.bench && !writeBenchLine(timer, o.choices.threads, out, err)) return RENDER_OUTPUT_FAILED;
  return RENDER_OK;
}

int renderMain(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  // Memory that runs out outside the animation's own blocks (the window, the
  // contact sheet, the encoder) ends the run as those blocks do.
  try {
    const RenderOptionsResult parsed = parseRenderOptions(argc, argv);
    if (!parsed.ok()) {
      std::fprintf(err, "%s\n", parsed.error.c_str());
      return RENDER_BAD_ARGUMENTS;
    }
    if (parsed.options.help) {
      errno = 0;
      if (std::fwrite(renderUsage().data(), 1, renderUsage().size(), out) != renderUsage().size() ||
          std::fflush(out) != 0) {
        std::fprintf(err, "quorvalent-render: cannot write the help text to standard output: %s\n",
                     errno != 0 ? std::strerror(errno) : "the write failed");
        return RENDER_OUTPUT_FAILED;
      }
      return RENDER_OK;
    }
    const std::string problem = checkRenderOptions(parsed.options);
    if (!problem.empty()) {
      std::fprintf(err, "%s\n", problem.c_str());
      return RENDER_BAD_ARGUMENTS;
    }
    return runRender(parsed.options, out, err);
  } catch (const std::bad_alloc&) {
    printRuntimeError(err, errors::OUT_OF_MEMORY);
    return RENDER_FATAL_ERROR;
  }
}

}  // namespace qv
