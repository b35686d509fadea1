// The screen saver's entry point: the platform, the input record and the
// animation are made and configured first, then the shell runs.
#include <windows.h>

#include "ground/input_state.h"
#include "hosts/win32/animation_host.h"
#include "hosts/win32/host_settings.h"
#include "hosts/win32/host_shell.h"
#include "hosts/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  qv::win32::Win32Platform platform(instance);
  qv::InputState input;
  qv::win32::HostSettings settings;
  qv::win32::AnimationHost animation(platform, input, &platform.backBuffer());
  animation.configureHost(settings);
  int result = 0;
  {
    qv::win32::HostShell shell(instance, settings, platform, input);
    result = shell.winMain(showCommand);
    if (!shell.workerEndedCleanly()) animation.abandon();
  }
  return result;
}
