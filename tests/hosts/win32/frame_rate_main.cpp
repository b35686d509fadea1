// A test build of the screen saver that runs the real animation full screen
// for a fixed time and writes what it measured into frame_rate.txt beside
// itself: the frames presented per second of wall time (paced), and the
// working time per frame as the frame-rate meter sees it (unpaced).
#include <windows.h>

#include <cstdio>
#include <string>

#include "ground/clock.h"
#include "ground/input_state.h"
#include "hosts/win32/animation_host.h"
#include "hosts/win32/host_settings.h"
#include "hosts/win32/host_shell.h"
#include "hosts/win32/win32_platform.h"
#include "scene/animation.h"
#include "scene/animation_modules.h"

namespace {

constexpr DWORD MEASURE_MS = 5000;
// Frames before the measured span: the cloud fills and the meter's window
// fills.
constexpr int WARM_UP_FRAMES = 50;

class FrameRateRun {
 public:
  explicit FrameRateRun(qv::Animation& animation) : animation_(animation) {}

  void run() {
    animation_.setupOverlays();
    animation_.setupScene();
    const qv::FrameRateMeter& meter = animation_.modules().clock.meter();
    for (int i = 0; i < WARM_UP_FRAMES; ++i) {
      if (!animation_.frameStep()) break;
    }
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    long frames = 0;
    long long workTicks = 0;
    double seconds = 0;
    while (seconds * 1000 < MEASURE_MS) {
      if (!animation_.frameStep()) break;
      const int last = (meter.writeIndex + meter.sampleWindow - 1) % meter.sampleWindow;
      workTicks += meter.samples[static_cast<std::size_t>(last)];
      frames += 1;
      QueryPerformanceCounter(&now);
      seconds = static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    }
    animation_.endScene();
    animation_.destroyOverlays();
    write(frames, seconds, workTicks, meter.framesPerSecond);
  }

 private:
  static void write(long frames, double seconds, long long workTicks, int meterFps) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path);
    file = file.substr(0, file.find_last_of(L"\\/") + 1) + L"frame_rate.txt";
    FILE* out = _wfopen(file.c_str(), L"w");
    if (out == nullptr) return;
    const double workMs = frames > 0 ? static_cast<double>(workTicks) / frames / 100.0 : 0.0;
    std::fprintf(out, "frames %ld seconds %.3f presented_fps %.2f work_ms_per_frame %.2f meter_fps %d\n", frames,
                 seconds, seconds > 0 ? frames / seconds : 0.0, workMs, meterFps);
    std::fclose(out);
  }

  qv::Animation& animation_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  qv::win32::Win32Platform platform(instance);
  qv::InputState input;
  qv::win32::HostSettings settings;
  qv::win32::AnimationHost host(platform, input, &platform.backBuffer());
  host.configureHost(settings);
  FrameRateRun run(host.animation());
  settings.processHook = qv::Hook::member<&FrameRateRun::run>(&run);
  int result = 0;
  {
    qv::win32::HostShell shell(instance, settings, platform, input);
    result = shell.winMain(showCommand);
    if (!shell.workerEndedCleanly()) host.abandon();
  }
  return result;
}
