// A test build of the desktop program whose resources lack the controls
// legend CONTROL_INFO: the overlays' set-up must end in the fatal error box.
#include <string_view>
#include <vector>

#include "hosts/portable/resource_table.h"
#include "hosts/sdl/launcher/command_line.h"
#include "hosts/sdl/launcher/run_animation.h"

int main(int argc, char** argv) {
  std::vector<qv::EmbeddedResource> resources;
  for (const qv::EmbeddedResource& resource : qv::programResources()) {
    if (!qv::equalsIgnoringCase(resource.name, "CONTROL_INFO")) resources.push_back(resource);
  }
  const std::vector<std::string_view> args(argv, argv + argc);
  const qv::sdl::LaunchRequest request = qv::sdl::parseCommandLine(args, nullptr);
  return qv::sdl::runAnimation(request, resources);
}
