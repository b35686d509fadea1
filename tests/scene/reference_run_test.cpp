// The run the Windows build is held to: this build must reproduce the
// recorded fingerprint too, so that both stay tied to one animation.

#include <gtest/gtest.h>

#include "support/reference_run.h"

namespace qv::testing {
namespace {

TEST(ReferenceRun, ReproducesTheFingerprintTheWindowsBuildIsHeldTo) {
  const RunFingerprint got = referenceRunFingerprint();
  EXPECT_EQ(got, REFERENCE_RUN_FINGERPRINT)
      << std::hex << "this build: {0x" << got.particles << ", 0x" << got.frame << "}";
}

}  // namespace
}  // namespace qv::testing
