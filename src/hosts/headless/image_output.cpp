#include "hosts/headless/image_output.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>

namespace qv {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

void appendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// libpng reports errors by longjmp, so this function holds nothing that needs
// destroying: the caller owns the file or the vector.
bool encodePngTo(const RgbImage& image, std::FILE* file, std::vector<std::uint8_t>* memory) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  if (file != nullptr) {
    png_init_io(png, file);
  } else {
    png_set_write_fn(png, memory, appendToVector, flushNothing);
  }
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Frames are written many at a time: a fast setting keeps the renderer
  // from waiting on the compressor.
  png_set_compression_level(png, 3);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) png_write_row(png, image.at(0, y));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool valid(const RgbImage& image) {
  return !image.empty() &&
         image.rgb.size() == static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3;
}

std::string ppmHeader(const RgbImage& image) {
  return "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
}

}  // namespace

bool writePng(const RgbImage& image, const std::string& path) {
  if (!valid(image)) return false;
  FilePtr file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  if (!encodePngTo(image, file.get(), nullptr)) return false;
  return std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0;
}

std::vector<std::uint8_t> encodePng(const RgbImage& image) {
  std::vector<std::uint8_t> bytes;
  if (!valid(image) || !encodePngTo(image, nullptr, &bytes)) return {};
  return bytes;
}

std::vector<std::uint8_t> encodePpm(const RgbImage& image) {
  if (!valid(image)) return {};
  const std::string header = ppmHeader(image);
  std::vector<std::uint8_t> bytes(header.begin(), header.end());
  bytes.insert(bytes.end(), image.rgb.begin(), image.rgb.end());
  return bytes;
}

bool writePpm(const RgbImage& image, const std::string& path) {
  if (!valid(image)) return false;
  FilePtr file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  const std::string header = ppmHeader(image);
  std::fwrite(header.data(), 1, header.size(), file.get());
  std::fwrite(image.rgb.data(), 1, image.rgb.size(), file.get());
  return std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0;
}

bool RawVideoWriter::writeFrame(const RgbImage& frame) {
  if (stream_ == nullptr || !valid(frame)) return false;
  if (framesWritten_ > 0 && (frame.width != width_ || frame.height != height_)) return false;
  if (std::fwrite(frame.rgb.data(), 1, frame.rgb.size(), stream_) != frame.rgb.size()) return false;
  width_ = frame.width;
  height_ = frame.height;
  ++framesWritten_;
  return true;
}

RgbImage resizeByArea(const RgbImage& frame, int w, int h) {
  RgbImage out(std::max(w, 0), std::max(h, 0));
  if (!valid(frame) || out.empty()) return out;
  for (int y = 0; y < h; ++y) {
    // Source rows [y0, y1) cover this row; at least one when enlarging.
    const int y0 = static_cast<int>(static_cast<long long>(y) * frame.height / h);
    const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * frame.height / h));
    for (int x = 0; x < w; ++x) {
      const int x0 = static_cast<int>(static_cast<long long>(x) * frame.width / w);
      const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * frame.width / w));
      std::uint64_t sum[3] = {0, 0, 0};
      for (int sy = y0; sy < y1; ++sy) {
        for (int sx = x0; sx < x1; ++sx) {
          const std::uint8_t* p = frame.at(sx, sy);
          sum[0] += p[0];
          sum[1] += p[1];
          sum[2] += p[2];
        }
      }
      const std::uint64_t n = static_cast<std::uint64_t>(y1 - y0) * static_cast<std::uint64_t>(x1 - x0);
      std::uint8_t* d = out.at(x, y);
      for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>((sum[c] + n / 2) / n);
    }
  }
  return out;
}

ContactSheet::ContactSheet(int columns, int cellWidth, int cellHeight, int gap)
    : columns_(std::max(columns, 1)),
      cellWidth_(std::max(cellWidth, 1)),
      cellHeight_(std::max(cellHeight, 1)),
      gap_(std::max(gap, 0)) {}

void ContactSheet::addFrame(const RgbImage& frame) { cells_.push_back(resizeByArea(frame, cellWidth_, cellHeight_)); }

RgbImage ContactSheet::compose() const {
  if (cells_.empty()) return {};
  const int count = static_cast<int>(cells_.size());
  const int cols = std::min(columns_, count);
  const int rows = (count + columns_ - 1) / columns_;
  RgbImage sheet(gap_ + cols * (cellWidth_ + gap_), gap_ + rows * (cellHeight_ + gap_));
  for (int i = 0; i < count; ++i) {
    const int left = gap_ + (i % columns_) * (cellWidth_ + gap_);
    const int top = gap_ + (i / columns_) * (cellHeight_ + gap_);
    const RgbImage& cell = cells_[static_cast<std::size_t>(i)];
    for (int y = 0; y < cellHeight_; ++y) {
      std::memcpy(sheet.at(left, top + y), cell.at(0, y), static_cast<std::size_t>(cellWidth_) * 3);
    }
  }
  return sheet;
}

bool ContactSheet::writePng(const std::string& path) const { return qv::writePng(compose(), path); }

}  // namespace qv
