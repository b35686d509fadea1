#pragma once
// Writing rendered frames: PNG (8-bit RGB), binary PPM (P6), a raw rgb24
// video stream for an encoder reading a pipe, and a contact sheet that lays
// downscaled frames out in a grid for a look at a whole run at once.
//
// Every write is checked to its end: each write, the flush and the close. On
// failure errno says why (0 when the encoder gave no reason). Memory running
// out inside the PNG encoder throws std::bad_alloc, as any allocation does.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "hosts/headless/rgb_image.h"

namespace qv {

// A file written under a temporary name in its folder and renamed to its own
// name once complete, so that a failed write leaves no truncated picture (a
// file of that name from before stays as it was).
class WholeFile {
 public:
  explicit WholeFile(const std::string& path);  // get() is null when it cannot be made (errno)
  ~WholeFile();                                  // removes the temporary file unless committed
  WholeFile(const WholeFile&) = delete;
  WholeFile& operator=(const WholeFile&) = delete;

  std::FILE* get() const { return file_; }
  // Closes the file and, when `written` and the close succeed, gives it its
  // name; false (errno says why) otherwise, and the temporary file goes.
  bool commit(bool written);

 private:
  std::string path_;
  std::string temporary_;
  std::FILE* file_ = nullptr;
};

// False when the image is empty or the file cannot be written; a failed
// write leaves no file behind.
bool writePng(const RgbImage& image, const std::string& path);
// The PNG file's bytes; empty on failure.
std::vector<std::uint8_t> encodePng(const RgbImage& image);

bool writePpm(const RgbImage& image, const std::string& path);
std::vector<std::uint8_t> encodePpm(const RgbImage& image);

// Frames as bare rgb24 bytes one after another (no headers), to a file or to
// standard output. Every frame must have the size of the first, since a
// reader of the stream knows the size only from its own command line. Each
// frame is flushed as it is written, so a reader that has gone is noticed at
// the first frame it misses and framesWritten counts what it was handed.
class RawVideoWriter {
 public:
  explicit RawVideoWriter(std::FILE* stream) : stream_(stream) {}
  // False when the frame is empty, has another size than the first, or the
  // stream failed (then lastError holds errno); nothing more is written then.
  bool writeFrame(const RgbImage& frame);
  int framesWritten() const { return framesWritten_; }
  int lastError() const { return lastError_; }

 private:
  std::FILE* stream_;
  int width_ = 0;
  int height_ = 0;
  int framesWritten_ = 0;
  int lastError_ = 0;
};

// A grid of cells of cellWidth x cellHeight, `columns` wide, filled left to
// right and top to bottom. Each frame is shrunk into its cell as it arrives
// (averaging the source pixels each cell pixel covers, or repeating them
// where the cell is larger) and the frame itself is not kept: the sheet's
// memory is the sheet.
class ContactSheet {
 public:
  ContactSheet(int columns, int cellWidth, int cellHeight, int gap = 2);
  void addFrame(const RgbImage& frame);
  int frameCount() const { return count_; }
  // The sheet, gap pixels of black between cells and round the edge, as
  // wide as the columns in use.
  RgbImage compose() const;
  // The composed sheet as PNG into an open file, flushed (the caller closes
  // it). False when there is no frame or the write failed.
  bool writePng(std::FILE* file) const;

 private:
  int usedWidth() const;

  int columns_;
  int cellWidth_;
  int cellHeight_;
  int gap_;
  int count_ = 0;
  RgbImage sheet_;  // every column wide; a row of cells added as it starts
};

// `frame` shrunk (box average) or enlarged (repetition) to w x h.
RgbImage resizeByArea(const RgbImage& frame, int w, int h);

}  // namespace qv
