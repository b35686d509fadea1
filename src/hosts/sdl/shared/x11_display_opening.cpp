#include "hosts/sdl/shared/x11_display_opening.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

#include "hosts/portable/printable_text.h"
#include "hosts/sdl/shared/stop_signals.h"
#include "hosts/sdl/shared/wake_pipe.h"

namespace qv::sdl {
namespace {

// What the opening thread and the waiting one share; the opening thread may
// outlive the wait (the server never answers) and then owns it alone.
struct Opening {
  std::mutex lock;
  bool done = false;
  bool abandoned = false;  // the waiter has gone: a late display is closed
  Display* display = nullptr;
  WakePipe finished;
};

}  // namespace

OpenedDisplay openDisplayWithin(std::chrono::milliseconds limit) {
  auto opening = std::make_shared<Opening>();
  std::thread([opening] {
    Display* display = XOpenDisplay(nullptr);
    std::lock_guard<std::mutex> hold(opening->lock);
    if (opening->abandoned && display != nullptr) XCloseDisplay(display);
    opening->display = opening->abandoned ? nullptr : display;
    opening->done = true;
    opening->finished.notify();
  }).detach();
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    {
      std::lock_guard<std::mutex> hold(opening->lock);
      if (opening->done) {
        return {opening->display, opening->display != nullptr ? DisplayAnswer::Open : DisplayAnswer::Refused};
      }
      const auto left = deadline - std::chrono::steady_clock::now();
      if (stopSignalled() || left <= std::chrono::steady_clock::duration::zero()) {
        opening->abandoned = true;
        return {nullptr, stopSignalled() ? DisplayAnswer::Stopped : DisplayAnswer::Silent};
      }
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    waitForWake(opening->finished.fd(), static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
  }
}

void endForSilentDisplay() {
  const char* name = XDisplayName(nullptr);
  std::fprintf(stderr, "quorvalent: cannot open display %s: no answer\n",
               printableText(name != nullptr ? name : "").c_str());
  std::fflush(nullptr);
  std::_Exit(1);
}

Display* openRunDisplay(const char* refusedLine, int& code) {
  const OpenedDisplay opened = openDisplayWithin(DISPLAY_ANSWER_LIMIT);
  code = opened.answer == DisplayAnswer::Stopped ? 0 : 1;
  if (opened.answer == DisplayAnswer::Refused) std::fputs(refusedLine, stderr);
  if (opened.answer == DisplayAnswer::Silent) endForSilentDisplay();
  return opened.display;
}

}  // namespace qv::sdl
