#include "hosts/sdl/shared/wake_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace qv::sdl {

WakePipe::WakePipe() {
  int ends[2];
  if (pipe(ends) != 0) return;
  for (int end : ends) {
    fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
    fcntl(end, F_SETFD, FD_CLOEXEC);
  }
  readEnd_ = ends[0];
  writeEnd_ = ends[1];
}

WakePipe::~WakePipe() {
  if (readEnd_ >= 0) close(readEnd_);
  if (writeEnd_ >= 0) close(writeEnd_);
}

void WakePipe::notify() const {
  const char byte = 1;
  // A full pipe already wakes the reader.
  if (writeEnd_ >= 0) [[maybe_unused]]
    const auto written = write(writeEnd_, &byte, 1);
}

void WakePipe::drain() const {
  char bytes[64];
  while (readEnd_ >= 0 && read(readEnd_, bytes, sizeof bytes) > 0) {}
}

const WakePipe& mainThreadWake() {
  static const WakePipe pipe;
  return pipe;
}

bool waitForWake(int eventSource, int limitMs) {
  const WakePipe& wake = mainThreadWake();
  pollfd sources[2] = {{wake.fd(), POLLIN, 0}, {eventSource, POLLIN, 0}};
  // A signal cuts the wait short; the caller looks at what it asked for.
  if (poll(sources, eventSource >= 0 ? 2 : 1, limitMs) <= 0) return false;
  if ((sources[0].revents & POLLIN) == 0) return false;
  wake.drain();
  return true;
}

}  // namespace qv::sdl
