#pragma once
// The files a render writes, each checked to its end: the output folder
// (made, and tried with a file, before the first frame), the frames, the raw
// video (a file or standard output) and the contact sheet (opened before the
// first frame, written after the last). A failure prints one line naming the
// file and the run ends with exit code 1.

#include <cstdio>
#include <optional>
#include <string>

#include "hosts/headless/image_output.h"
#include "hosts/headless/render_options.h"

namespace qv {

class RenderOutputs {
 public:
  // `out` is standard output (the video when it is "-"), `err` takes the
  // lines.
  RenderOutputs(const RenderOptions& options, std::FILE* out, std::FILE* err);
  // Closes what is still open; a contact sheet never completed (a run that
  // failed) leaves no file.
  ~RenderOutputs();
  RenderOutputs(const RenderOutputs&) = delete;
  RenderOutputs& operator=(const RenderOutputs&) = delete;

  // Before the first frame: the folder, the contact sheet and the video, and
  // for the video the line that tells how to encode it.
  bool open();
  bool hasVideo() const { return videoStream_ != nullptr; }
  // Frame f as a picture file in the folder, and as a cell of the sheet.
  bool writeFrame(int f, const RgbImage& frame);
  bool writeVideoFrame(const RgbImage& frame);
  // After the last frame: the video closed, the contact sheet written.
  bool finish();

 private:
  bool openFolder();
  bool openVideo();
  bool fail(const std::string& what, int reason);
  std::string videoName() const;

  const RenderOptions& options_;
  std::FILE* out_;
  std::FILE* err_;
  std::FILE* videoStream_ = nullptr;
  bool ownsVideo_ = false;
  std::optional<RawVideoWriter> video_;
  std::optional<WholeFile> sheetFile_;
  std::optional<ContactSheet> sheet_;
};

// The contact sheet's cell for a frame: the frame fitted into a square of
// `side`, its ratio kept (at least 1 x 1).
struct CellSize {
  int width = 1;
  int height = 1;
};
CellSize contactSheetCell(int frameWidth, int frameHeight, int side);

// The line that tells how to encode the raw video with ffmpeg into a
// yuv420p file (padded to an even size, which that format needs).
std::string ffmpegLine(const RenderOptions& options);

}  // namespace qv
