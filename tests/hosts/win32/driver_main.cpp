// The Win32 host's test driver, run under Wine: the host's pieces in this
// process, then the screen saver beside this program as a process of its
// own; with the argument "monitors" (on the two-monitor X server), the dark
// monitors' checks instead. Exits with the number of failed checks.
#include <windows.h>

#include <cstdio>
#include <string>

#include "driver_support.h"

int wmain(int argc, wchar_t** argv) {
  using namespace qv::win32::testing;
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe = self;
  exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"Quorvalent.scr";
  if (argc > 1 && std::wstring(argv[1]) == L"monitors") {
    runMonitorChecks(exe);
  } else {
    runHostPieceChecks();
    runScreenSaverChecks(exe);
  }
  std::printf("%d check(s) failed\n", failures());
  return failures();
}
