// The Win32 host's test driver, run under Wine: the host's pieces in this
// process, then the screen saver (beside this program, or the path given as
// the first argument) as a process of its own. With the first argument
// "monitors" (on the two-monitor X server), the dark monitors' checks
// instead. Exits with the number of failed checks.
#include <windows.h>

#include <cstdio>
#include <string>

#include "driver_checks.h"
#include "driver_support.h"

int wmain(int argc, wchar_t** argv) {
  const bool monitors = argc > 1 && std::wstring(argv[1]) == L"monitors";
  std::wstring exe;
  if (argc > 1 && !monitors) {
    exe = argv[1];
  } else {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    exe = self;
    exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"Quorvalent.scr";
  }
  if (monitors) {
    qv::win32::testing::runMonitorChecks(exe);
  } else {
    qv::win32::testing::runHostPieceChecks();
    qv::win32::testing::runScreenSaverChecks(exe);
  }
  const int failed = qv::win32::testing::failures();
  std::printf("%d check(s) failed\n", failed);
  return failed;
}
