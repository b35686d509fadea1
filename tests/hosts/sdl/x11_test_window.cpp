// Test helper for the desktop program under a virtual X server.
//   qv_x11_test_window open W H   maps a dark grey W x H window, prints its id,
//                                 and destroys it on SIGTERM or SIGINT, as a
//                                 screen saver's daemon does
//   qv_x11_test_window close ID   asks window ID to close as a window
//                                 manager's close button does

#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void onSignal(int) { stopRequested = 1; }

int openWindow(Display* display, unsigned w, unsigned h) {
  // Dark, so that only what the program draws is coloured, and not black, so
  // that a screenshot tells the window's own pixels from a cleared frame.
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, w, h, 0, 0, 0x202020);
  XSelectInput(display, window, StructureNotifyMask);
  XMapWindow(display, window);
  XEvent e{};
  while (e.type != MapNotify) XNextEvent(display, &e);
  std::printf("%lu\n", static_cast<unsigned long>(window));
  std::fflush(stdout);
  std::signal(SIGTERM, onSignal);
  std::signal(SIGINT, onSignal);
  while (stopRequested == 0) {
    while (XPending(display) > 0) XNextEvent(display, &e);
    const timespec pause{0, 20 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  XDestroyWindow(display, window);
  return 0;
}

int closeWindow(Display* display, Window window) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  return XSendEvent(display, window, False, NoEventMask, &e) != 0 ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "qv_x11_test_window: no display\n");
    return 2;
  }
  int rc = 2;
  if (argc == 4 && std::strcmp(argv[1], "open") == 0) {
    rc = openWindow(display, std::strtoul(argv[2], nullptr, 10), std::strtoul(argv[3], nullptr, 10));
  } else if (argc == 3 && std::strcmp(argv[1], "close") == 0) {
    rc = closeWindow(display, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
  } else {
    std::fprintf(stderr, "usage: qv_x11_test_window open W H | close ID\n");
  }
  XCloseDisplay(display);  // flushes what is still queued
  return rc;
}
