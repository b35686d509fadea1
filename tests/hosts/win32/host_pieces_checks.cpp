// In-process checks of the host's pieces: the command-line grammar, the
// input messages, the back buffer's bitmap, resources and pictures, the
// clock, and frames drawn by several threads.
#include <windows.h>

#include <cstdio>
#include <string>

#include "driver_checks.h"
#include "driver_support.h"
#include "frame/frame_buffer.h"
#include "ground/input_state.h"
#include "hosts/win32/command_line.h"
#include "hosts/win32/dib_back_buffer.h"
#include "hosts/win32/input_messages.h"
#include "hosts/win32/module_resources.h"
#include "hosts/win32/win32_platform.h"
#include "scene/animation.h"

namespace qv::win32::testing {

namespace {

const char* outcomeName(ArgsOutcome outcome) {
  switch (outcome) {
    case ArgsOutcome::Run: return "run";
    case ArgsOutcome::Preview: return "preview";
    case ArgsOutcome::ExitSilently: return "exit";
    case ArgsOutcome::ShowUsage: return "usage";
  }
  return "?";
}

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
          std::string("got ") + outcomeName(got) + ", want " + outcomeName(c.outcome));
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

void backBufferChecks() {
  HWND window =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
  DibBackBuffer buffer;
  buffer.attachWindow(window);
  std::uint32_t* pixels = buffer.acquire(64, 48);
  check(pixels != nullptr && buffer.exists(), "the back buffer is a DIB section");
  if (pixels == nullptr) return;
  check((pixels[0] & 0xFFFFFF) == 0xFFFFFF && (pixels[64 * 48 - 1] & 0xFFFFFF) == 0xFFFFFF,
        "a new back buffer is white");
  // (The rows' order shows in the animation's logo, at the bottom.)
  HDC screen = GetDC(nullptr);
  HDC target = CreateCompatibleDC(screen);
  buffer.release(pixels);
  check(!buffer.exists() && !buffer.repaint(target), "a released back buffer paints nothing");
  DeleteDC(target);
  ReleaseDC(nullptr, screen);
  DestroyWindow(window);
}

// Resources come as files; pictures decode (GDI+) to opaque ARGB at their
// size and rescale; damaged bytes give nothing.
void pictureChecks() {
  Win32Platform platform(GetModuleHandleW(nullptr));
  const auto logo = platform.findResource("quorvalent", RESOURCE_TYPE_BITMAP);
  check(logo.size() > 54 && logo[0] == 'B' && logo[1] == 'M', "a bitmap resource comes with a file header");
  check(platform.findResource("NO_SUCH_PICTURE", RESOURCE_TYPE_BITMAP).empty() &&
            bitmapFileFromPackedDib(std::span<const std::uint8_t>(logo.data(), 8)).empty(),
        "a missing resource and a truncated DIB give nothing");
  check(platform.startPictureSupport(), "GDI+ starts");
  const std::uint8_t junk[64] = {1, 2, 3};
  const struct {
    const char* name;
    std::span<const std::uint8_t> bytes;
    int width, height;  // 0: square; -1: no picture
  } pictures[] = {
      {"the logo", logo, 159, 12},
      {"the legend", platform.findResource("Control_Info", RESOURCE_TYPE_BITMAP), 553, 13},
      {"the BINARYDATA sample", platform.findResource("star_flare", RESOURCE_TYPE_BINARYDATA), 0, 0},
      {"bytes that are no picture", junk, -1, -1}};
  for (const auto& p : pictures) {
    DecodedPicture picture;
    const bool decoded = platform.decodePicture(p.bytes, picture);
    bool opaque = decoded;
    for (int i = 0; decoded && i < picture.width * picture.height; ++i)
      opaque = opaque && (picture.pixels[i] >> 24) == 0xFF;
    const bool sized = p.width == 0 ? picture.width > 0 && picture.width == picture.height
                                    : picture.width == p.width && picture.height == p.height;
    check(p.width < 0 ? !decoded && picture.pixels == nullptr : decoded && sized && (p.width == 0 || opaque),
          (std::string(p.name) + " decodes as it should").c_str(),
          std::to_string(picture.width) + " x " + std::to_string(picture.height));
    DecodedPicture scaled;
    if (decoded && p.width == 159) {
      check(platform.scalePicture(picture, 40, 30, scaled) && scaled.width == 40 && scaled.height == 30,
            "a picture rescales to 40 x 30");
      platform.freePicturePixels(scaled);
    }
    platform.freePicturePixels(picture);
  }
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

// A window that counts the closes it is sent (and is not destroyed by them).
LRESULT CALLBACK countingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    SetWindowLongPtrW(window, GWLP_USERDATA, GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI reportFromWorker(void* platform) {
  static_cast<Win32Platform*>(platform)->showRuntimeError("PSI: Update is not complete");
  return 0;
}

// A fatal error reported on a worker: the error box over the main window with
// the text and the caption; once it is dismissed the worker is done and the
// window has been asked to close.
void runtimeErrorChecks() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = countingProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"QvCloseCounter";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"QvCloseCounter", L"main", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  Win32Platform platform(GetModuleHandleW(nullptr));
  platform.attachWindow(window, nullptr);
  HANDLE worker = CreateThread(nullptr, 0, reportFromWorker, &platform, 0, nullptr);
  HWND box = waitForWindow(GetCurrentProcessId(), L"#32770", 5000);
  if (check(box != nullptr, "a worker's fatal error shows a box")) {
    check(boxText(box).text == L"PSI: Update is not complete", "the error box shows the text");
    check(GetWindowLongPtrW(window, GWLP_USERDATA) == 0, "the window is not closed while the box is open");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  // The worker's close is answered while waiting for it.
  for (int tries = 0; tries < 250 && WaitForSingleObject(worker, 0) == WAIT_TIMEOUT; ++tries) pause(20);
  check(WaitForSingleObject(worker, 0) == WAIT_OBJECT_0 && platform.workerDone() == 1 &&
            GetWindowLongPtrW(window, GWLP_USERDATA) == 1,
        "after the box the worker is done and the window was asked to close once");
  CloseHandle(worker);
  DestroyWindow(window);
}

}  // namespace

struct DrawnFrame {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  int lit = 0;                                   // pixels not of the background colour
};

// Frame 20 of seed 1, drawn by `threads` threads (mingw's std::thread, here
// under Wine); the screen-sized frame is narrower than the automatic choice
// of threads needs, so the count is set.
DrawnFrame drawnFrame(int threads) {
  Win32Platform platform(GetModuleHandleW(nullptr));
  InputState input;
  Animation animation(platform, input);
  animation.setDrawingThreads(threads);
  SceneOptions options;
  options.seedGiven = true;
  options.seed = 1;
  animation.setupScene(options);
  for (int i = 0; i < 20; ++i) animation.frameStep();
  const FrameBuffer& frame = animation.frameBuffer();
  const FrameBufferGeometry& g = frame.geometry();
  DrawnFrame result;
  const std::size_t count = static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height);
  for (std::size_t i = 0; g.pixels != nullptr && i < count; ++i) {
    result.hash = (result.hash ^ g.pixels[i]) * 1099511628211ull;
    // The clear leaves the top byte as it likes.
    if (((g.pixels[i] ^ frame.backgroundColour) & 0xFFFFFFu) != 0) ++result.lit;
  }
  animation.endScene();
  return result;
}

void bandedDrawingChecks() {
  const DrawnFrame one = drawnFrame(1);
  check(one.lit > 1000, "one thread draws the scene", std::to_string(one.lit));
  for (const int threads : {2, 4}) {
    const DrawnFrame banded = drawnFrame(threads);
    check(banded.hash == one.hash,
          ("the frame of " + std::to_string(threads) + " threads is that of one").c_str(),
          std::to_string(banded.lit) + " lit pixels against " + std::to_string(one.lit));
  }
}

void runHostPieceChecks() {
  commandLineChecks();
  inputMessageChecks();
  backBufferChecks();
  pictureChecks();
  clockChecks();
  runtimeErrorChecks();
  bandedDrawingChecks();
}

}  // namespace qv::win32::testing
