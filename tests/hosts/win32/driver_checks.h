#pragma once
// The two groups of checks the driver runs.
#include <string>

namespace qv::win32::testing {
void runHostPieceChecks();
void runScreenSaverChecks(const std::wstring& exePath);
}  // namespace qv::win32::testing
