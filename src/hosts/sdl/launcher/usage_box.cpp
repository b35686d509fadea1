#include "hosts/sdl/launcher/usage_box.h"

#include <SDL.h>

#include <cstdio>
#include <string>

namespace qv::sdl {

void showUsage() {
  const std::string text(USAGE_TEXT);
  const std::string caption(USAGE_CAPTION);
  if (SDL_ShowSimpleMessageBox(0, caption.c_str(), text.c_str(), nullptr) == 0) return;
  std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
}

}  // namespace qv::sdl
