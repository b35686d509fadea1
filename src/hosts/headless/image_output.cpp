#include "hosts/headless/image_output.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <utility>

namespace qv {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Where the encoder's bytes go, and whether it ran out of memory on the way
// (libpng reports that as any other error).
struct PngSink {
  std::FILE* file = nullptr;
  std::vector<std::uint8_t>* memory = nullptr;
  bool outOfMemory = false;
};

png_voidp allocateForPng(png_structp png, png_alloc_size_t size) {
  void* block = std::malloc(size);
  if (block == nullptr) static_cast<PngSink*>(png_get_mem_ptr(png))->outOfMemory = true;
  return block;
}

void freeForPng(png_structp, png_voidp block) { std::free(block); }

void appendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
  try {
    sink->memory->insert(sink->memory->end(), data, data + length);
  } catch (const std::bad_alloc&) {
    sink->outOfMemory = true;
  }
  if (sink->outOfMemory) png_error(png, "out of memory");
}

void flushNothing(png_structp) {}

// libpng would print its errors and warnings itself; the caller reports the
// failure in its own words.
void stopQuietly(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignoreWarning(png_structp, png_const_charp) {}

// The first `width` columns of the image as PNG. libpng reports errors by
// longjmp, so this function holds nothing that needs destroying: the caller
// owns the file or the vector.
bool encodePngTo(const RgbImage& image, int width, PngSink& sink) {
  png_structp png = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, nullptr, stopQuietly, ignoreWarning,
                                              &sink, allocateForPng, freeForPng);
  if (png == nullptr) throw std::bad_alloc();
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    throw std::bad_alloc();
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    if (sink.outOfMemory) throw std::bad_alloc();
    return false;
  }
  if (sink.file != nullptr) {
    png_init_io(png, sink.file);
  } else {
    png_set_write_fn(png, &sink, appendToVector, flushNothing);
  }
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(image.height), 8,
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

bool encodePngToFile(const RgbImage& image, int width, std::FILE* file) {
  PngSink sink;
  sink.file = file;
  return encodePngTo(image, width, sink) && std::fflush(file) == 0 && std::ferror(file) == 0;
}

bool valid(const RgbImage& image) {
  return !image.empty() && image.rgb.size() == static_cast<std::size_t>(image.width) *
                                                   static_cast<std::size_t>(image.height) * 3;
}

std::string ppmHeader(const RgbImage& image) {
  return "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
}

// Closes the file: true when it was written whole and the close went well
// too. errno keeps the reason of the first failure.
bool closeWritten(FilePtr file, bool written) {
  const int reason = errno;
  const bool closed = std::fclose(file.release()) == 0;
  if (!written) errno = reason;
  return written && closed;
}

// The frame shrunk or enlarged into the w x h area of `out` at left, top.
void resizeInto(const RgbImage& frame, RgbImage& out, int left, int top, int w, int h) {
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
      std::uint8_t* d = out.at(left + x, top + y);
      for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>((sum[c] + n / 2) / n);
    }
  }
}

// A side of the sheet, which no picture of ours may exceed.
int sheetSide(long long side) {
  if (side > INT_MAX) throw std::bad_alloc();
  return static_cast<int>(side);
}

}  // namespace

WholeFile::WholeFile(const std::string& path) : path_(path) {
  const std::filesystem::path whole(path);
  // Built by appending: GCC 12's -O3 takes "." + string for an overlapping copy.
  std::string hidden = ".";
  hidden += whole.filename().string();
  hidden += ".XXXXXX";
  temporary_ = (whole.parent_path() / hidden).string();
  const int fd = mkstemp(temporary_.data());
  if (fd < 0) return;
  // The permissions fopen would give, not mkstemp's private ones.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    const int reason = errno;
    close(fd);
    std::remove(temporary_.c_str());
    errno = reason;
  }
}

WholeFile::~WholeFile() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  std::remove(temporary_.c_str());
}

bool WholeFile::commit(bool written) {
  std::FILE* file = std::exchange(file_, nullptr);
  bool whole = closeWritten(FilePtr(file), written);
  if (whole && std::rename(temporary_.c_str(), path_.c_str()) != 0) whole = false;
  if (!whole) {
    const int reason = errno;
    std::remove(temporary_.c_str());
    errno = reason;
  }
  return whole;
}

bool writePng(const RgbImage& image, const std::string& path) {
  if (!valid(image)) return false;
  WholeFile file(path);
  if (file.get() == nullptr) return false;
  return file.commit(encodePngToFile(image, image.width, file.get()));
}

std::vector<std::uint8_t> encodePng(const RgbImage& image) {
  std::vector<std::uint8_t> bytes;
  PngSink sink;
  sink.memory = &bytes;
  if (!valid(image) || !encodePngTo(image, image.width, sink)) return {};
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
  WholeFile file(path);
  if (file.get() == nullptr) return false;
  const std::string header = ppmHeader(image);
  const bool written = std::fwrite(header.data(), 1, header.size(), file.get()) == header.size() &&
                       std::fwrite(image.rgb.data(), 1, image.rgb.size(), file.get()) == image.rgb.size() &&
                       std::fflush(file.get()) == 0;
  return file.commit(written);
}

bool RawVideoWriter::writeFrame(const RgbImage& frame) {
  if (stream_ == nullptr || lastError_ != 0 || !valid(frame)) return false;
  if (framesWritten_ > 0 && (frame.width != width_ || frame.height != height_)) return false;
  errno = 0;
  if (std::fwrite(frame.rgb.data(), 1, frame.rgb.size(), stream_) != frame.rgb.size() ||
      std::fflush(stream_) != 0) {
    lastError_ = errno != 0 ? errno : EIO;
    return false;
  }
  width_ = frame.width;
  height_ = frame.height;
  ++framesWritten_;
  return true;
}

RgbImage resizeByArea(const RgbImage& frame, int w, int h) {
  RgbImage out(std::max(w, 0), std::max(h, 0));
  if (!valid(frame) || out.empty()) return out;
  resizeInto(frame, out, 0, 0, w, h);
  return out;
}

ContactSheet::ContactSheet(int columns, int cellWidth, int cellHeight, int gap)
    : columns_(std::max(columns, 1)),
      cellWidth_(std::max(cellWidth, 1)),
      cellHeight_(std::max(cellHeight, 1)),
      gap_(std::max(gap, 0)) {}

void ContactSheet::addFrame(const RgbImage& frame) {
  if (!valid(frame)) return;
  const int column = count_ % columns_;
  const int row = count_ / columns_;
  if (column == 0) {
    // A new row of cells, black until frames land in them.
    const int width = sheetSide(gap_ + static_cast<long long>(columns_) * (cellWidth_ + gap_));
    const int height = sheetSide(gap_ + (static_cast<long long>(row) + 1) * (cellHeight_ + gap_));
    sheet_.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    sheet_.width = width;
    sheet_.height = height;
  }
  resizeInto(frame, sheet_, gap_ + column * (cellWidth_ + gap_), gap_ + row * (cellHeight_ + gap_),
             cellWidth_, cellHeight_);
  ++count_;
}

int ContactSheet::usedWidth() const { return gap_ + std::min(columns_, count_) * (cellWidth_ + gap_); }

RgbImage ContactSheet::compose() const {
  if (count_ == 0) return {};
  RgbImage sheet(usedWidth(), sheet_.height);
  for (int y = 0; y < sheet.height; ++y) {
    std::memcpy(sheet.at(0, y), sheet_.at(0, y), static_cast<std::size_t>(sheet.width) * 3);
  }
  return sheet;
}

bool ContactSheet::writePng(std::FILE* file) const {
  return count_ > 0 && encodePngToFile(sheet_, usedWidth(), file);
}

}  // namespace qv
