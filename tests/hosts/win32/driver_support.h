#pragma once
// A small check harness for the Win32 host's tests, which run under Wine: a
// named check prints PASS or FAIL with what was seen, and the driver's exit
// code counts the failures.

#include <windows.h>

#include <string>

namespace qv::win32::testing {

// The groups of checks the driver runs; the monitors' only on the
// two-monitor X server.
void runHostPieceChecks();
void runScreenSaverChecks(const std::wstring& exePath);
void runMonitorChecks(const std::wstring& exePath);

bool check(bool ok, const char* name, const std::string& detail = {});

std::string narrow(const std::wstring& text);

// The screen saver, started with `arguments` after its path, and ended when
// it still runs at the end of the check.
struct Launched {
  Launched(const std::wstring& exePath, std::wstring arguments);
  ~Launched();
  PROCESS_INFORMATION info{};
  bool started = false;
};

// Waits ms while answering the messages sent to the driver's own windows
// (a preview child's creation notifies its parent and waits for the answer).
void pause(DWORD ms);

// A top-level window of the process with the class, or null after timeoutMs.
HWND waitForWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs);
// The process's exit code after it ended, or -1 when it still runs after
// timeoutMs.
long waitForExit(Launched& process, DWORD timeoutMs);

}  // namespace qv::win32::testing
