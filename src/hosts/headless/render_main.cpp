// quorvalent-render: the animation rendered offline into image files, a raw
// video stream or timing figures. See render_run.h and --help.

#include <csignal>
#include <cstdio>

#include "hosts/headless/render_run.h"

int main(int argc, char** argv) {
  // A reader that goes away, or a file size limit, shows as a failed write
  // that the renderer reports, rather than as a silent death by signal.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  return qv::renderMain(argc, argv, stdout, stderr);
}
