// The Win32 host's test driver, run under Wine: the in-process checks of the
// host's pieces (the command-line grammar, the input messages, resources and
// pictures, the clock, frames drawn by several threads, the reference run
// against the Linux build's fingerprint), then the screen saver beside this
// program as a process of its own; with the argument "monitors" (on the
// two-monitor X server), the dark monitors' checks instead. Exits with the
// number of failed checks.
#include <windows.h>

#include <cstdio>
#include <string>

#include "driver_support.h"
#include "frame/frame_buffer.h"
#include "ground/input_state.h"
#include "hosts/win32/command_line.h"
#include "hosts/win32/input_messages.h"
#include "hosts/win32/module_resources.h"
#include "hosts/win32/win32_platform.h"
#include "scene/animation.h"
#include "support/reference_run.h"

namespace qv::win32::testing {

namespace {

int failureCount = 0;  // the driver is a single-threaded program of its own

void commandLineChecks() {
  using enum ArgsOutcome;
  const struct {
    const wchar_t* line;
    ArgsOutcome outcome;
  } cases[] = {
      {L"\"C:\\x\\Quorvalent.scr\"", Run},     {L"Quorvalent.scr /s", Run},
      {L"Quorvalent.scr /S more tokens", Run}, {L"Quorvalent.scr /c", ShowUsage},
      {L"Quorvalent.scr /c:1234", ShowUsage},  {L"Quorvalent.scr /p", ShowUsage},
      {L"Quorvalent.scr /p 12 34", ShowUsage}, {L"Quorvalent.scr /ss", ShowUsage},
      {L"Quorvalent.scr /p 0", ExitSilently},  {L"Quorvalent.scr /p junk", ExitSilently},
  };
  for (const auto& c : cases) {
    const ArgsOutcome got = classifyArgs(c.line).outcome;
    check(got == c.outcome, ("command line " + narrow(c.line)).c_str(),
          "got outcome " + std::to_string(static_cast<int>(got)));
  }
  const ParsedArgs preview = classifyArgs(L"Quorvalent.scr /P 65610");
  check(preview.outcome == Preview && preview.previewParent == reinterpret_cast<HWND>(65610),
        "\"/P 65610\" previews into window 65610");
}

void inputMessageChecks() {
  InputState input;
  check(recordInputMessage(input, WM_KEYDOWN, VK_UP, 0) && input.keysPressed.flags[KEY_UP] == 1 &&
            input.keysPressed.flags[KEY_ANY] == 1 && input.keysReleased.flags[KEY_ANY] == 0,
        "WM_KEYDOWN sets the pressed flag of its key");
  recordInputMessage(input, WM_KEYUP, VK_F11, 0);
  check(input.keysReleased.flags[KEY_ANY] == 1 && input.keysReleased.flags[KEY_F10] == 0,
        "a key outside the table sets only the any-key flag");
  recordInputMessage(input, WM_MOUSEMOVE, 0, MAKELPARAM(300, 65000));
  check(input.mouseX == 300 && input.mouseY == 65000 && input.mouseDX == -300 && input.mouseMoved == 1,
        "WM_MOUSEMOVE takes lParam's low and high 16 bits unsigned", std::to_string(input.mouseY.load()));
  recordInputMessage(input, WM_MBUTTONDOWN, 0, 0);
  recordInputMessage(input, WM_MBUTTONUP, 0, 0);
  check(
      input.anyButtonDown == 1 && input.anyButtonUp == 1 && input.middleButton == 1 && input.leftButton == 0,
      "a middle click sets both any-button flags and its own");
  recordInputMessage(input, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  check(input.wheel < 0, "the wheel toward the user is negative", std::to_string(input.wheel.load()));
  recordInputMessage(input, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, WHEEL_DELTA), 0);
  check(input.wheel == static_cast<int>((WHEEL_DELTA << 16) | MK_SHIFT), "the wheel keeps wParam whole");
  check(!recordInputMessage(input, WM_CHAR, 'a', 0) && !recordInputMessage(input, WM_PAINT, 0, 0),
        "other messages are not input");
}

// Resources come as files; the legend decodes (GDI+) to opaque ARGB at its
// size. (The logo shows in the animation.)
void pictureChecks() {
  Win32Platform platform(GetModuleHandleW(nullptr));
  const auto legend = platform.findResource("Control_Info", RESOURCE_TYPE_BITMAP);
  check(legend.size() > 54 && legend[0] == 'B' && legend[1] == 'M',
        "a bitmap resource comes with a file header");
  check(platform.findResource("NO_SUCH_PICTURE", RESOURCE_TYPE_BITMAP).empty() &&
            bitmapFileFromPackedDib(std::span<const std::uint8_t>(legend.data(), 8)).empty(),
        "a missing resource and a truncated DIB give nothing");
  DecodedPicture picture;
  const bool decoded = platform.startPictureSupport() && platform.decodePicture(legend, picture);
  bool opaque = decoded && picture.width == 553 && picture.height == 13;
  for (int i = 0; opaque && i < picture.width * picture.height; ++i)
    opaque = (picture.pixels[i] >> 24) == 0xFF;
  check(opaque, "the legend decodes to 553 x 13 opaque pixels",
        std::to_string(picture.width) + " x " + std::to_string(picture.height));
  platform.freePicturePixels(picture);
  platform.stopPictureSupport();
}

void clockChecks() {
  Win32Platform platform(GetModuleHandleW(nullptr));
  // Held against the system's millisecond count (16 ms steps), so that a
  // busy machine that sleeps long still reads as 100 ticks a millisecond.
  const DWORD startMs = GetTickCount();
  const std::uint64_t before = platform.clockTicks();
  Sleep(50);
  const std::uint64_t elapsed = platform.clockTicks() - before;
  const std::uint64_t ms = GetTickCount() - startMs;
  check(elapsed >= 4500 && elapsed + 3200 >= ms * 100 && elapsed <= ms * 100 + 3200,
        "the clock counts 10 us ticks", std::to_string(elapsed) + " ticks in " + std::to_string(ms) + " ms");
  platform.requestStop();
  bool unwound = false;
  try {
    platform.sleepMilliseconds(10000);
  } catch (const RuntimeErrorStop&) {
    unwound = true;
  }
  check(unwound, "a stop request cuts a sleep short and unwinds the worker");
}

// The FNV-1a hash of frame 20 of seed 1, drawn by `threads` threads (mingw's
// std::thread, here under Wine; the frame is narrower than the automatic
// choice of threads needs, so the count is set), and its lit pixels.
std::pair<std::uint64_t, int> drawnFrame(int threads) {
  Win32Platform platform(GetModuleHandleW(nullptr));
  InputState input;
  Animation animation(platform, input);
  animation.setDrawingThreads(threads);
  SceneOptions options;
  options.seedGiven = true;
  animation.setupScene(options);
  for (int i = 0; i < 20; ++i) animation.frameStep();
  const FrameBuffer& frame = animation.frameBuffer();
  const FrameBufferGeometry& g = frame.geometry();
  std::pair<std::uint64_t, int> result{qv::testing::frameHash(frame), 0};
  for (std::size_t i = 0; g.pixels != nullptr && i < static_cast<std::size_t>(g.width) * g.height; ++i) {
    // The clear leaves the top byte as it likes.
    if (((g.pixels[i] ^ frame.backgroundColour) & 0xFFFFFFu) != 0) ++result.second;
  }
  animation.endScene();
  return result;
}

void bandedDrawingChecks() {
  const auto one = drawnFrame(1);
  check(one.second > 1000, "one thread draws the scene", std::to_string(one.second));
  for (const int threads : {2, 4}) {
    const auto banded = drawnFrame(threads);
    check(banded == one, ("the frame of " + std::to_string(threads) + " threads is that of one").c_str(),
          std::to_string(banded.second) + " lit pixels against " + std::to_string(one.second));
  }
}

// The reference run ends with the particles and the frame of the Linux
// build: the core computes the same bits here, sines and cosines included.
void referenceRunChecks() {
  using qv::testing::REFERENCE_RUN_FINGERPRINT;
  const qv::testing::RunFingerprint got = qv::testing::referenceRunFingerprint();
  const auto hex = [](std::uint64_t v) {
    char text[19];
    std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(v));
    return std::string(text);
  };
  check(got.particles == REFERENCE_RUN_FINGERPRINT.particles,
        "the particles after the reference run are the Linux build's",
        hex(got.particles) + " against " + hex(REFERENCE_RUN_FINGERPRINT.particles));
  check(got.frame == REFERENCE_RUN_FINGERPRINT.frame, "the reference run's last frame is the Linux build's",
        hex(got.frame) + " against " + hex(REFERENCE_RUN_FINGERPRINT.frame));
}

}  // namespace

bool check(bool ok, const char* name, const std::string& detail) {
  if (!ok) ++failureCount;
  std::printf("%s %s%s%s\n", ok ? "PASS" : "FAIL", name, detail.empty() ? "" : ": ", detail.c_str());
  std::fflush(stdout);
  return ok;
}

std::string narrow(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr,
                      nullptr);
  return out;
}

}  // namespace qv::win32::testing

int wmain(int argc, wchar_t** argv) {
  using namespace qv::win32::testing;
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe = self;
  exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"Quorvalent.scr";
  if (argc > 1 && std::wstring(argv[1]) == L"monitors") {
    runMonitorChecks(exe);
  } else {
    commandLineChecks();
    inputMessageChecks();
    pictureChecks();
    clockChecks();
    bandedDrawingChecks();
    referenceRunChecks();
    runScreenSaverChecks(exe);
  }
  std::printf("%d check(s) failed\n", failureCount);
  return failureCount;
}
