#pragma once
// The groups of checks the driver runs.
#include <string>

namespace qv::win32::testing {
void runHostPieceChecks();
void runScreenSaverChecks(const std::wstring& exePath);
// On the two-monitor X server only.
void runMonitorChecks(const std::wstring& exePath);
}  // namespace qv::win32::testing
