#pragma once
// Writing rendered frames: PNG (8-bit RGB), binary PPM (P6), a raw rgb24
// video stream for an encoder reading a pipe, and a contact sheet that lays
// downscaled frames out in a grid for a look at a whole run at once.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "hosts/headless/rgb_image.h"

namespace qv {

// False when the image is empty or the file cannot be written.
bool writePng(const RgbImage& image, const std::string& path);
// The PNG file's bytes; empty on failure.
std::vector<std::uint8_t> encodePng(const RgbImage& image);

bool writePpm(const RgbImage& image, const std::string& path);
std::vector<std::uint8_t> encodePpm(const RgbImage& image);

// Frames as bare rgb24 bytes one after another (no headers), to a file or to
// standard output. Every frame must have the size of the first, since a
// reader of the stream knows the size only from its own command line.
class RawVideoWriter {
 public:
  explicit RawVideoWriter(std::FILE* stream) : stream_(stream) {}
  // False when the frame is empty, has another size than the first, or the
  // stream failed; nothing is written then.
  bool writeFrame(const RgbImage& frame);
  int framesWritten() const { return framesWritten_; }

 private:
  std::FILE* stream_;
  int width_ = 0;
  int height_ = 0;
  int framesWritten_ = 0;
};

// A grid of cells of cellWidth x cellHeight, `columns` wide, filled left to
// right and top to bottom; rows are added as frames arrive. Each frame is
// shrunk into its cell by averaging the source pixels it covers (or
// repeated, where the cell is larger), so only the cells are kept.
class ContactSheet {
 public:
  ContactSheet(int columns, int cellWidth, int cellHeight, int gap = 2);
  void addFrame(const RgbImage& frame);
  int frameCount() const { return static_cast<int>(cells_.size()); }
  // The sheet, gap pixels of black between cells and round the edge.
  RgbImage compose() const;
  bool writePng(const std::string& path) const;

 private:
  int columns_;
  int cellWidth_;
  int cellHeight_;
  int gap_;
  std::vector<RgbImage> cells_;
};

// `frame` shrunk (box average) or enlarged (repetition) to w x h.
RgbImage resizeByArea(const RgbImage& frame, int w, int h);

}  // namespace qv
