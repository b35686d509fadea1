// The Win32 host's test driver, run under Wine: the host's pieces in this
// process, then the screen saver beside this program as a process of its
// own; with the argument "monitors" (on the two-monitor X server), the dark
// monitors' checks instead. Exits with the number of failed checks.
#include "driver_support.h"

#include <cstdio>

namespace qv::win32::testing {

namespace {
int failureCount = 0;  // the driver is a single-threaded program of its own
}  // namespace

bool check(bool ok, const char* name, const std::string& detail) {
  if (!ok) ++failureCount;
  std::printf("%s %s%s%s\n", ok ? "PASS" : "FAIL", name, detail.empty() ? "" : ": ", detail.c_str());
  std::fflush(stdout);
  return ok;
}

std::string narrow(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr,
                      nullptr);
  return out;
}

}  // namespace qv::win32::testing

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
  std::printf("%d check(s) failed\n", failureCount);
  return failureCount;
}
