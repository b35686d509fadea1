#include "frame/picture_layer.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "frame/picture_test_support.h"
#include "ground/runtime_error.h"

namespace qv {
namespace {

using testing::BINARYDATA_TYPE;
using testing::BITMAP_TYPE;
using testing::rawPicture;

TEST(PictureLayer, SupportStartsAndStopsByUseCountAndItsAbsenceIsFatal) {
  testing::PictureTestPlatform platform;
  PictureLayer pictures(platform);
  pictures.startGdiplus();
  pictures.startGdiplus();
  pictures.stopGdiplus();
  EXPECT_EQ(std::tuple(pictures.gdiplusUsers(), platform.starts, platform.stops), std::tuple(1, 1, 0));
  pictures.stopGdiplus();
  pictures.stopGdiplus();  // with no use open: nothing
  EXPECT_EQ(std::tuple(pictures.gdiplusUsers(), platform.stops), std::tuple(0, 1));

  platform.supportPresent = false;
  EXPECT_THROW(pictures.startGdiplus(), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown, std::vector<std::string>{"GDI+ (WindowsXP or later) support not present"});
}

TEST(PictureLayer, LoadsUnderTheCurrentTypeLocksTopRowFirstAndRescales) {
  testing::TestPlatform platform;
  platform.addResource("PIC", BITMAP_TYPE,
                       rawPicture(3, 2, [](int x, int y) { return 0xFF000000u | (y * 16 + x); }));
  platform.addResource("DATA", BINARYDATA_TYPE, rawPicture(1, 1, [](int, int) { return 0x12345678u; }));
  platform.addResource("BROKEN", BITMAP_TYPE, {1, 2, 3});
  PictureLayer pictures(platform);
  EXPECT_EQ(pictures.loadPicture("pic"), 1);
  pictures.lockPicture();
  EXPECT_EQ(std::tuple(pictures.pictureWidth(), pictures.pictureHeight(), pictures.pictureBytes()),
            std::tuple(3, 2, 24));
  EXPECT_EQ(std::tuple(pictures.picturePixels()[0], pictures.picturePixels()[4]),
            std::tuple(0xFF000000u, 0xFF000011u));
  pictures.unlockPicture();
  EXPECT_EQ(pictures.picturePixels(), nullptr);
  pictures.scalePicture(6, 4);
  pictures.lockPicture();
  EXPECT_EQ(std::tuple(pictures.pictureWidth(), pictures.pictureBytes(), pictures.picturePixels()[6 * 4 - 1]),
            std::tuple(6, 96, 0xFF000012u));

  // Not there under this type, or not a picture: nothing is held.
  EXPECT_EQ(pictures.loadPicture("DATA"), 0);
  EXPECT_FALSE(pictures.hasPicture());
  EXPECT_EQ(pictures.loadPicture("BROKEN"), 0);
  pictures.resourceType = BINARYDATA_RESOURCE;
  EXPECT_EQ(pictures.loadPicture("data"), 1);
  EXPECT_EQ(pictures.loadPicture("PIC"), 0);
  EXPECT_FALSE(pictures.hasPicture());
}

}  // namespace
}  // namespace qv
