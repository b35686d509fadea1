// In-process checks of the host's pieces: the command-line grammar, the
// input messages, the preview's paint, the back buffer's bitmap, resources
// and pictures, the clock, and frames drawn by several threads.
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
#include "hosts/win32/preview.h"
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

void expectOutcome(const wchar_t* commandLine, ArgsOutcome wanted) {
  const ParsedArgs parsed = classifyArgs(commandLine);
  check(parsed.outcome == wanted, ("command line " + narrow(commandLine)).c_str(),
        std::string("got ") + outcomeName(parsed.outcome) + ", want " + outcomeName(wanted));
}

void commandLineChecks() {
  expectOutcome(L"\"C:\\x\\Quorvalent.scr\"", ArgsOutcome::Run);
  expectOutcome(L"Quorvalent.scr /s", ArgsOutcome::Run);
  expectOutcome(L"Quorvalent.scr /S more tokens", ArgsOutcome::Run);
  expectOutcome(L"Quorvalent.scr /c", ArgsOutcome::ShowUsage);
  expectOutcome(L"Quorvalent.scr /c:1234", ArgsOutcome::ShowUsage);
  expectOutcome(L"Quorvalent.scr /p", ArgsOutcome::ShowUsage);
  expectOutcome(L"Quorvalent.scr /p 12 34", ArgsOutcome::ShowUsage);
  expectOutcome(L"Quorvalent.scr /ss", ArgsOutcome::ShowUsage);
  expectOutcome(L"Quorvalent.scr /p 0", ArgsOutcome::ExitSilently);
  expectOutcome(L"Quorvalent.scr /p junk", ArgsOutcome::ExitSilently);
  const ParsedArgs preview = classifyArgs(L"Quorvalent.scr /P 65610");
  check(preview.outcome == ArgsOutcome::Preview && preview.previewParent == reinterpret_cast<HWND>(65610),
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
  check(input.anyButtonDown == 1 && input.anyButtonUp == 1 && input.middleButton == 1 && input.leftButton == 0,
        "a middle click sets both any-button flags and its own");
  recordInputMessage(input, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  check(input.wheel < 0, "the wheel toward the user is negative", std::to_string(input.wheel.load()));
  recordInputMessage(input, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, WHEEL_DELTA), 0);
  check(input.wheel == static_cast<int>((WHEEL_DELTA << 16) | MK_SHIFT), "the wheel keeps wParam whole");
  check(!recordInputMessage(input, WM_CHAR, 'a', 0) && !recordInputMessage(input, WM_PAINT, 0, 0),
        "other messages are not input");
}

// The preview painted into a white 200 x 150 bitmap: a black 152 x 112 area
// with each icon exactly where DrawIcon puts it, white beyond.
void previewPaintChecks() {
  HDC screen = GetDC(nullptr);
  HDC painted = CreateCompatibleDC(screen);
  HDC expected = CreateCompatibleDC(screen);
  HBITMAP paintedBitmap = CreateCompatibleBitmap(screen, 200, 150);
  HBITMAP expectedBitmap = CreateCompatibleBitmap(screen, 200, 150);
  SelectObject(painted, paintedBitmap);
  SelectObject(expected, expectedBitmap);
  const RECT all{0, 0, 200, 150};
  const RECT area{0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT};
  FillRect(painted, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FillRect(expected, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FillRect(expected, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HINSTANCE module = GetModuleHandleW(nullptr);
  int iconsFound = 0;
  for (const PreviewIcon& icon : PREVIEW_ICONS) {
    if (HICON handle = LoadIconW(module, icon.name); handle != nullptr) {
      ++iconsFound;
      DrawIcon(expected, icon.x, icon.y, handle);
    }
  }
  paintPreview(painted, module);
  const auto got = capture(painted, 0, 0, 200, 150);
  const auto want = capture(expected, 0, 0, 200, 150);
  int differing = 0;
  int nonBlackInArea = 0;
  for (int y = 0; y < 150; ++y) {
    for (int x = 0; x < 200; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * 200 + x;
      if (got[i] != want[i]) ++differing;
      if (x < PREVIEW_WIDTH && y < PREVIEW_HEIGHT && got[i] != 0) ++nonBlackInArea;
    }
  }
  check(iconsFound == 8, "the eight preview icons are resources", std::to_string(iconsFound));
  check(differing == 0, "the preview paints the black area and the icons at their places",
        std::to_string(differing) + " pixels differ");
  check(nonBlackInArea > 8 * 100, "the icons show on the black area", std::to_string(nonBlackInArea));
  check(got[static_cast<std::size_t>(120) * 200 + 160] == 0xFFFFFF, "nothing is painted beyond 152 x 112");
  DeleteDC(painted);
  DeleteDC(expected);
  DeleteObject(paintedBitmap);
  DeleteObject(expectedBitmap);
  ReleaseDC(nullptr, screen);
}

void backBufferChecks() {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
  DibBackBuffer buffer;
  buffer.attachWindow(window);
  std::uint32_t* pixels = buffer.acquire(64, 48);
  check(pixels != nullptr && buffer.exists(), "the back buffer is a DIB section");
  if (pixels == nullptr) return;
  check((pixels[0] & 0xFFFFFF) == 0xFFFFFF && (pixels[64 * 48 - 1] & 0xFFFFFF) == 0xFFFFFF,
        "a new back buffer is white");
  // Memory row 0 is the bottom of a bottom-up bitmap.
  for (int i = 0; i < 64 * 48; ++i) pixels[i] = 0;
  pixels[0] = 0x00123456;
  HDC screen = GetDC(nullptr);
  HDC target = CreateCompatibleDC(screen);
  HBITMAP targetBitmap = CreateCompatibleBitmap(screen, 64, 48);
  SelectObject(target, targetBitmap);
  FrameView view{pixels, 64, 48, 64, true};
  buffer.present(target, view, 0, 0, 64, 48);
  const auto shown = capture(target, 0, 0, 64, 48);
  check(shown[static_cast<std::size_t>(47) * 64] == 0x123456 && shown[0] == 0,
        "the first memory row shows at the bottom of the window");
  buffer.release(pixels);
  check(!buffer.exists() && !buffer.repaint(target), "a released back buffer paints nothing");
  DeleteDC(target);
  DeleteObject(targetBitmap);
  ReleaseDC(nullptr, screen);
  DestroyWindow(window);
}

void pictureChecks() {
  Win32Platform platform(GetModuleHandleW(nullptr));
  const auto logo = platform.findResource("quorvalent", RESOURCE_TYPE_BITMAP);
  check(logo.size() > 54 && logo[0] == 'B' && logo[1] == 'M', "a bitmap resource comes with a file header");
  check(platform.findResource("NO_SUCH_PICTURE", RESOURCE_TYPE_BITMAP).empty(), "a missing resource is empty");
  check(bitmapFileFromPackedDib(std::span<const std::uint8_t>(logo.data(), 8)).empty(),
        "a truncated DIB gives no file");
  check(platform.startPictureSupport(), "GDI+ starts");
  DecodedPicture picture;
  const bool decoded = platform.decodePicture(logo, picture);
  check(decoded && picture.width == 159 && picture.height == 12, "the logo decodes at 159 x 12",
        std::to_string(picture.width) + " x " + std::to_string(picture.height));
  DecodedPicture legend;
  check(platform.decodePicture(platform.findResource("Control_Info", RESOURCE_TYPE_BITMAP), legend) &&
            legend.width == 553 && legend.height == 13,
        "the legend decodes at 553 x 13");
  // The 4-bit logo's pixels are opaque colours of its palette.
  bool opaque = decoded;
  for (int i = 0; decoded && i < picture.width * picture.height; ++i) opaque = opaque && (picture.pixels[i] >> 24) == 0xFF;
  check(opaque, "decoded pixels are opaque ARGB");
  DecodedPicture scaled;
  check(decoded && platform.scalePicture(picture, 40, 30, scaled) && scaled.width == 40 && scaled.height == 30,
        "a picture rescales to 40 x 30");
  const auto sample = platform.findResource("star_flare", RESOURCE_TYPE_BINARYDATA);
  DecodedPicture flare;
  const bool flareDecoded = !sample.empty() && platform.decodePicture(sample, flare);
  check(flareDecoded && flare.width > 0 && flare.width == flare.height, "the BINARYDATA sample decodes",
        std::to_string(flare.width) + " x " + std::to_string(flare.height));
  std::uint8_t junk[64] = {1, 2, 3};
  DecodedPicture none;
  check(!platform.decodePicture(junk, none) && none.pixels == nullptr, "bytes that are no picture do not decode");
  platform.freePicturePixels(picture);
  platform.freePicturePixels(legend);
  platform.freePicturePixels(scaled);
  platform.freePicturePixels(flare);
  platform.stopPictureSupport();
}

void clockChecks() {
  Win32Platform platform(GetModuleHandleW(nullptr));
  const std::uint64_t before = platform.clockTicks();
  Sleep(50);
  const std::uint64_t elapsed = platform.clockTicks() - before;
  check(elapsed >= 4500 && elapsed < 20000, "the clock counts 10 us ticks", std::to_string(elapsed));
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
    wchar_t text[256] = {};
    wchar_t caption[128] = {};
    for (int tries = 0; tries < 100 && (text[0] == 0 || caption[0] == 0); ++tries) {
      GetDlgItemTextW(box, 0xFFFF, text, 256);
      GetWindowTextW(box, caption, 128);
      pause(10);
    }
    check(std::wstring(text) == L"PSI: Update is not complete" &&
              std::wstring(caption) == L"Process Runtime Error",
          "the error box shows the text under \"Process Runtime Error\"", narrow(text) + " / " + narrow(caption));
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
    check(banded.hash == one.hash, ("the frame of " + std::to_string(threads) + " threads is that of one").c_str(),
          std::to_string(banded.lit) + " lit pixels against " + std::to_string(one.lit));
  }
}

void runHostPieceChecks() {
  commandLineChecks();
  inputMessageChecks();
  previewPaintChecks();
  backBufferChecks();
  pictureChecks();
  clockChecks();
  runtimeErrorChecks();
  bandedDrawingChecks();
}

}  // namespace qv::win32::testing
