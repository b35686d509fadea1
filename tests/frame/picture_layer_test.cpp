#include "frame/picture_layer.h"

#include <gtest/gtest.h>

#include "frame/picture_test_support.h"
#include "ground/runtime_error.h"

namespace qv {
namespace {

using testing::BINARYDATA_TYPE;
using testing::BITMAP_TYPE;
using testing::rawPicture;

TEST(PictureLayer, SupportStartsAndStopsByUseCount) {
  testing::PictureTestPlatform platform;
  PictureLayer pictures(platform);
  pictures.startGdiplus();
  pictures.startGdiplus();
  EXPECT_EQ(pictures.gdiplusUsers(), 2);
  EXPECT_EQ(platform.starts, 1);
  pictures.stopGdiplus();
  EXPECT_EQ(platform.stops, 0);
  pictures.stopGdiplus();
  EXPECT_EQ(pictures.gdiplusUsers(), 0);
  EXPECT_EQ(platform.stops, 1);
  // A stop with no open use changes nothing.
  pictures.stopGdiplus();
  EXPECT_EQ(pictures.gdiplusUsers(), 0);
  EXPECT_EQ(platform.stops, 1);
}

TEST(PictureLayer, MissingSupportIsFatal) {
  testing::PictureTestPlatform platform;
  platform.supportPresent = false;
  PictureLayer pictures(platform);
  EXPECT_THROW(pictures.startGdiplus(), RuntimeErrorStop);
  ASSERT_EQ(platform.errorsShown.size(), 1u);
  EXPECT_EQ(platform.errorsShown[0], "GDI+ (WindowsXP or later) support not present");
}

TEST(PictureLayer, LoadsFromTheCurrentResourceTypeAndLocksTopRowFirst) {
  testing::TestPlatform platform;
  platform.addResource("PIC", BITMAP_TYPE, rawPicture(3, 2, [](int x, int y) { return 0xFF000000u | (y * 16 + x); }));
  platform.addResource("DATA", BINARYDATA_TYPE, rawPicture(1, 1, [](int, int) { return 0x12345678u; }));
  platform.addResource("BROKEN", BITMAP_TYPE, {1, 2, 3});
  PictureLayer pictures(platform);
  EXPECT_EQ(pictures.resourceType, BITMAP_RESOURCE);

  EXPECT_EQ(pictures.loadPicture("pic"), 1);
  pictures.lockPicture();
  EXPECT_EQ(pictures.pictureWidth(), 3);
  EXPECT_EQ(pictures.pictureHeight(), 2);
  EXPECT_EQ(pictures.pictureBytes(), 24);
  ASSERT_NE(pictures.picturePixels(), nullptr);
  EXPECT_EQ(pictures.picturePixels()[0], 0xFF000000u);
  EXPECT_EQ(pictures.picturePixels()[4], 0xFF000011u);
  pictures.unlockPicture();
  EXPECT_EQ(pictures.picturePixels(), nullptr);
  pictures.releasePicture();
  pictures.lockPicture();
  EXPECT_EQ(pictures.picturePixels(), nullptr);

  // Not there under this type, not a picture at all.
  EXPECT_EQ(pictures.loadPicture("DATA"), 0);
  EXPECT_EQ(pictures.loadPicture("BROKEN"), 0);
  EXPECT_FALSE(pictures.hasPicture());

  pictures.resourceType = BINARYDATA_RESOURCE;
  EXPECT_EQ(pictures.loadPicture("data"), 1);
  EXPECT_EQ(pictures.loadPicture("PIC"), 0);
  EXPECT_FALSE(pictures.hasPicture());
}

TEST(PictureLayer, ScaleReplacesThePictureUnlessItHasTheSize) {
  testing::TestPlatform platform;
  platform.addResource("PIC", BITMAP_TYPE, rawPicture(2, 2, [](int x, int y) { return 0xFF000000u | (y * 2 + x); }));
  PictureLayer pictures(platform);
  ASSERT_EQ(pictures.loadPicture("PIC"), 1);
  pictures.scalePicture(2, 2);
  pictures.lockPicture();
  EXPECT_EQ(pictures.pictureWidth(), 2);
  pictures.unlockPicture();
  pictures.scalePicture(4, 6);
  pictures.lockPicture();
  EXPECT_EQ(pictures.pictureWidth(), 4);
  EXPECT_EQ(pictures.pictureHeight(), 6);
  EXPECT_EQ(pictures.pictureBytes(), 96);
  EXPECT_EQ(pictures.picturePixels()[4 * 6 - 1], 0xFF000003u);
  pictures.unlockPicture();
  pictures.releasePicture();
}

}  // namespace
}  // namespace qv
