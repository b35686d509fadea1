#include "hosts/win32/gdiplus_pictures.h"

// GDI+ needs windows.h and objidl.h before it, in this order.
// clang-format off
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

#include <cstring>

namespace qv::win32 {

namespace gp = Gdiplus::DllExports;
using Gdiplus::GpBitmap;
using Gdiplus::GpStatus;

namespace {

// Copies the whole bitmap's pixels, locked as 32-bit ARGB, into a new
// picture.
bool readPixels(GpBitmap* bitmap, DecodedPicture& out) {
  UINT width = 0;
  UINT height = 0;
  if (gp::GdipGetImageWidth(bitmap, &width) != Gdiplus::Ok ||
      gp::GdipGetImageHeight(bitmap, &height) != Gdiplus::Ok || width == 0 || height == 0) {
    return false;
  }
  const Gdiplus::GpRect area(0, 0, static_cast<INT>(width), static_cast<INT>(height));
  Gdiplus::BitmapData locked{};
  if (gp::GdipBitmapLockBits(bitmap, &area, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &locked) !=
      Gdiplus::Ok) {
    return false;
  }
  auto* pixels = new std::uint32_t[static_cast<std::size_t>(width) * height];
  for (UINT row = 0; row < height; ++row) {
    const auto* source =
        static_cast<const std::uint8_t*>(locked.Scan0) + static_cast<std::ptrdiff_t>(row) * locked.Stride;
    std::memcpy(pixels + static_cast<std::size_t>(row) * width, source, static_cast<std::size_t>(width) * 4);
  }
  gp::GdipBitmapUnlockBits(bitmap, &locked);
  out.pixels = pixels;
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  return true;
}

}  // namespace

GdiplusPictures::~GdiplusPictures() { stop(); }

bool GdiplusPictures::start() {
  if (started_) return true;
  Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
  token_ = token;
  started_ = true;
  return true;
}

void GdiplusPictures::stop() {
  if (!started_) return;
  Gdiplus::GdiplusShutdown(token_);
  started_ = false;
}

bool GdiplusPictures::decode(std::span<const std::uint8_t> bytes, DecodedPicture& out) {
  out = DecodedPicture{};
  if (!started_ || bytes.empty()) return false;
  // A stream over a movable copy of the bytes; releasing the stream frees it.
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (block == nullptr) return false;
  void* target = GlobalLock(block);
  if (target == nullptr) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(target, bytes.data(), bytes.size());
  GlobalUnlock(block);
  IStream* stream = nullptr;
  if (CreateStreamOnHGlobal(block, TRUE, &stream) != S_OK) {
    GlobalFree(block);
    return false;
  }
  GpBitmap* bitmap = nullptr;
  bool ok = false;
  if (gp::GdipCreateBitmapFromStream(stream, &bitmap) == Gdiplus::Ok && bitmap != nullptr) {
    ok = readPixels(bitmap, out);
    gp::GdipDisposeImage(bitmap);
  }
  stream->Release();
  return ok;
}

bool GdiplusPictures::scale(const DecodedPicture& in, int w, int h, DecodedPicture& out) {
  out = DecodedPicture{};
  if (!started_ || in.pixels == nullptr || in.width <= 0 || in.height <= 0 || w <= 0 || h <= 0) return false;
  GpBitmap* source = nullptr;
  if (gp::GdipCreateBitmapFromScan0(in.width, in.height, in.width * 4, PixelFormat32bppARGB,
                                    reinterpret_cast<BYTE*>(in.pixels), &source) != Gdiplus::Ok) {
    return false;
  }
  GpBitmap* target = nullptr;
  Gdiplus::GpImageAttributes* attributes = nullptr;
  Gdiplus::GpGraphics* graphics = nullptr;
  bool ok = gp::GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppARGB, nullptr, &target) == Gdiplus::Ok &&
            gp::GdipCreateImageAttributes(&attributes) == Gdiplus::Ok &&
            gp::GdipSetImageAttributesWrapMode(attributes, Gdiplus::WrapModeTileFlipXY, 0xFF000000, FALSE) ==
                Gdiplus::Ok &&
            gp::GdipGetImageGraphicsContext(target, &graphics) == Gdiplus::Ok;
  if (ok) {
    // Mirrored edges keep the filter from pulling the border towards black.
    gp::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic);
    gp::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHighQuality);
    gp::GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeHighQuality);
    ok = gp::GdipDrawImageRectRectI(graphics, source, 0, 0, w, h, 0, 0, in.width, in.height,
                                    Gdiplus::UnitPixel, attributes, nullptr, nullptr) == Gdiplus::Ok;
  }
  if (graphics != nullptr) gp::GdipDeleteGraphics(graphics);
  if (attributes != nullptr) gp::GdipDisposeImageAttributes(attributes);
  if (ok) ok = readPixels(target, out);
  if (target != nullptr) gp::GdipDisposeImage(target);
  gp::GdipDisposeImage(source);
  return ok;
}

void GdiplusPictures::freePixels(DecodedPicture& picture) {
  delete[] picture.pixels;
  picture = DecodedPicture{};
}

}  // namespace qv::win32
