// The module's entry points for the page (page/page.js). The page reads its
// settings from its address, starts the animation in its canvas, calls
// qv_refresh at every refresh of the display and passes its input on.
//
// A fatal error shows its text in the page (WebPlatform) and ends the call
// that met it with an exception the page catches; the page then calls
// nothing more but a reload.

#include <emscripten.h>

#include <memory>
#include <string>

#include "hosts/web/page_run.h"
#include "hosts/web/page_settings.h"

namespace {

qv::web::PageSettings settings;
std::unique_ptr<qv::web::PageRun> run;
std::string text;  // the last string handed to the page

const char* handOut(std::string s) {
  text = std::move(s);
  return text.c_str();
}

}  // namespace

extern "C" {

// Reads the settings from the address's query.
EMSCRIPTEN_KEEPALIVE void qv_settings(const char* query) { settings = qv::web::parsePageQuery(query); }

// The query's problems, one a line; empty when there are none.
EMSCRIPTEN_KEEPALIVE const char* qv_problems() {
  std::string lines;
  for (const std::string& p : settings.problems) lines += p + "\n";
  return handOut(lines);
}

// The settings as the address should show them.
EMSCRIPTEN_KEEPALIVE const char* qv_query() { return handOut(qv::web::pageQuery(settings)); }

// The settings panel's rows (page_settings.h).
EMSCRIPTEN_KEEPALIVE const char* qv_panel() { return handOut(qv::web::panelRows()); }

// Starts the animation in a canvas of w x h device pixels (a still or a
// size in the settings takes its own size).
EMSCRIPTEN_KEEPALIVE void qv_start(int w, int h) {
  run.reset();
  run = std::make_unique<qv::web::PageRun>(settings, w, h);
}

EMSCRIPTEN_KEEPALIVE void qv_stop() { run.reset(); }

// A refresh of the display: frames drawn so far.
EMSCRIPTEN_KEEPALIVE int qv_refresh(double nowMs) {
  if (!run) return 0;
  run->refresh(nowMs);
  return run->framesDrawn();
}

EMSCRIPTEN_KEEPALIVE int qv_still_done() { return run && run->stillDone() ? 1 : 0; }

EMSCRIPTEN_KEEPALIVE const char* qv_bench() { return handOut(run ? run->benchLine() : std::string()); }

EMSCRIPTEN_KEEPALIVE void qv_resize(int w, int h) {
  if (run) run->resize(w, h);
}

EMSCRIPTEN_KEEPALIVE void qv_key(int virtualKey, int down) {
  if (!run) return;
  if (down != 0) {
    run->input().recordKeyDown(virtualKey);
  } else {
    run->input().recordKeyUp(virtualKey);
  }
}

// which: 0 left, 1 middle, 2 right, as the browser numbers them.
EMSCRIPTEN_KEEPALIVE void qv_button(int which, int down) {
  static constexpr qv::MouseButton BUTTONS[] = {qv::MouseButton::Left, qv::MouseButton::Middle,
                                                qv::MouseButton::Right};
  if (run && which >= 0 && which < 3) run->input().recordButton(BUTTONS[which], down != 0);
}

// Notches of the wheel: positive away from the user (the cloud comes nearer).
EMSCRIPTEN_KEEPALIVE void qv_wheel(int notches) {
  constexpr int WHEEL_NOTCH = 120;
  constexpr int MAX_NOTCHES = 32767 / WHEEL_NOTCH;
  if (run && notches != 0) {
    notches = notches > MAX_NOTCHES ? MAX_NOTCHES : notches < -MAX_NOTCHES ? -MAX_NOTCHES : notches;
    run->input().recordWheel(qv::wheelValueFromDelta(notches * WHEEL_NOTCH));
  }
}

// The pointer at x, y device pixels of the canvas.
EMSCRIPTEN_KEEPALIVE void qv_mouse(int x, int y) {
  if (run) run->input().recordMouseMove(x, y);
}

}  // extern "C"
