#pragma once
// A small check harness for the Win32 host's tests, which run under Wine: a
// named check prints PASS or FAIL with what was seen, and the driver's exit
// code counts the failures.

#include <windows.h>

#include <string>

namespace qv::win32::testing {

// The screen saver's process checks; the monitors' only on the two-monitor
// X server.
void runScreenSaverChecks(const std::wstring& exePath);
void runMonitorChecks(const std::wstring& exePath);

bool check(bool ok, const char* name, const std::string& detail = {});

std::string narrow(const std::wstring& text);

}  // namespace qv::win32::testing
