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

Launched::Launched(const std::wstring& exePath, std::wstring arguments) {
  std::wstring commandLine = L"\"" + exePath + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  started = CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &info) != FALSE;
}

Launched::~Launched() {
  if (!started) return;
  if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 99);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
}

void pause(DWORD ms) {
  const DWORD start = GetTickCount();
  for (DWORD elapsed = 0; elapsed < ms; elapsed = GetTickCount() - start) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
  }
}

HWND waitForWindow(DWORD processId, const wchar_t* wantedClass, DWORD timeoutMs) {
  for (const DWORD start = GetTickCount();; pause(20)) {
    HWND window = nullptr;
    DWORD owner = 0;
    while ((window = FindWindowExW(nullptr, window, wantedClass, nullptr)) != nullptr) {
      if (GetWindowThreadProcessId(window, &owner) != 0 && owner == processId) return window;
    }
    if (GetTickCount() - start >= timeoutMs) return nullptr;
  }
}

long waitForExit(Launched& process, DWORD timeoutMs) {
  if (!process.started || WaitForSingleObject(process.info.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process.info.hProcess, &code);
  return static_cast<long>(code);
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
