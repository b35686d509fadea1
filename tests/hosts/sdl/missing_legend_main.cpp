// A test build of the desktop program whose resources lack the controls
// legend CONTROL_INFO: the overlays' set-up must end in the fatal error box.
#include <vector>

#include "hosts/portable/resource_table.h"
#include "hosts/sdl/own_window/own_window_run.h"

int main() {
  std::vector<qv::EmbeddedResource> resources;
  for (const qv::EmbeddedResource& resource : qv::programResources()) {
    if (!qv::equalsIgnoringCase(resource.name, "CONTROL_INFO")) resources.push_back(resource);
  }
  return qv::sdl::runInOwnWindow(qv::SceneChoices(), resources);
}
