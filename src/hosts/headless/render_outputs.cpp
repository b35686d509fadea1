#include "hosts/headless/render_outputs.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "hosts/portable/printable_text.h"

namespace qv {

namespace {

constexpr int VIDEO_FRAMES_PER_SECOND = 25;
constexpr int CONTACT_SHEET_COLUMNS = 5;
constexpr int CONTACT_SHEET_CELL_SIDE = 320;

std::string reasonText(int reason) { return reason != 0 ? std::strerror(reason) : "the write failed"; }

std::string quoted(const std::string& name) {
  std::string out = "'";
  out.append(printableText(name));
  out.push_back('\'');
  return out;
}

// A word the shell takes as it is: plain names bare, anything else in single
// quotes.
std::string shellWord(const std::string& word) {
  const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::strchr("_@%+=:,./-", c) != nullptr;
  });
  if (plain) return word;
  std::string out = "'";
  for (const char c : word) {
    if (c == '\'') {
      out.append("'\\''");
    } else {
      out.push_back(c);
    }
  }
  out.push_back('\'');
  return out;
}

std::string framePath(const RenderOptions& o, int frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%06d.%s", frame, o.format == ImageFormat::Png ? "png" : "ppm");
  return (std::filesystem::path(o.outDir) / name).string();
}

// Whether the folder takes a new file: a file made there and removed again.
// (Permission bits alone say nothing when the renderer runs as root.)
int folderRefusesFiles(const std::string& folder) {
  std::string probe = (std::filesystem::path(folder) / ".quorvalent-render-XXXXXX").string();
  const int fd = mkstemp(probe.data());
  if (fd < 0) return errno != 0 ? errno : EACCES;
  close(fd);
  unlink(probe.c_str());
  return 0;
}

}  // namespace

CellSize contactSheetCell(int frameWidth, int frameHeight, int side) {
  const int w = std::max(frameWidth, 1);
  const int h = std::max(frameHeight, 1);
  if (w >= h) return {side, std::max(1, static_cast<int>(static_cast<long long>(side) * h / w))};
  return {std::max(1, static_cast<int>(static_cast<long long>(side) * w / h)), side};
}

std::string ffmpegLine(const RenderOptions& o) {
  const std::string size = std::to_string(o.width) + "x" + std::to_string(o.height);
  const int evenWidth = o.width + o.width % 2;
  const int evenHeight = o.height + o.height % 2;
  const bool pad = evenWidth != o.width || evenHeight != o.height;
  std::string line = "quorvalent-render: raw video";
  if (pad) {
    line += " (yuv420p needs an even size: padded to " + std::to_string(evenWidth) + "x" +
            std::to_string(evenHeight) + ")";
  }
  line += "; encode with: ffmpeg -f rawvideo -pix_fmt rgb24 -s " + size + " -r " +
          std::to_string(VIDEO_FRAMES_PER_SECOND) + " -i " + printableText(shellWord(o.video.value_or("-")));
  if (pad) line += " -vf pad=" + std::to_string(evenWidth) + ":" + std::to_string(evenHeight);
  return line + " -pix_fmt yuv420p out.mp4";
}

RenderOutputs::RenderOutputs(const RenderOptions& options, std::FILE* out, std::FILE* err)
    : options_(options), out_(out), err_(err) {}

RenderOutputs::~RenderOutputs() {
  if (ownsVideo_) std::fclose(videoStream_);
}

bool RenderOutputs::fail(const std::string& what, int reason) {
  std::fprintf(err_, "quorvalent-render: %s: %s\n", what.c_str(), reasonText(reason).c_str());
  std::fflush(err_);
  return false;
}

std::string RenderOutputs::videoName() const {
  return *options_.video == "-" ? "the video to standard output" : "the video " + quoted(*options_.video);
}

bool RenderOutputs::open() {
  if (!openFolder()) return false;
  if (options_.contactSheet) {
    // Written beside its name, which it takes only when complete; a folder
    // of that name would refuse it only then.
    errno = std::filesystem::is_directory(*options_.contactSheet) ? EISDIR : 0;
    if (errno == 0) sheetFile_.emplace(*options_.contactSheet);
    if (!sheetFile_ || sheetFile_->get() == nullptr)
      return fail("cannot write the contact sheet " + quoted(*options_.contactSheet), errno);
    const CellSize cell = contactSheetCell(options_.width, options_.height, CONTACT_SHEET_CELL_SIDE);
    sheet_.emplace(CONTACT_SHEET_COLUMNS, cell.width, cell.height);
  }
  return openVideo();
}

bool RenderOutputs::openFolder() {
  const std::string& folder = options_.outDir;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return fail("cannot create the output folder " + quoted(folder), ec.value());
  if (!std::filesystem::is_directory(folder, ec)) {
    return fail("cannot create the output folder " + quoted(folder), ENOTDIR);
  }
  const int refused = folderRefusesFiles(folder);
  if (refused != 0) return fail("cannot write into the output folder " + quoted(folder), refused);
  return true;
}

bool RenderOutputs::openVideo() {
  if (!options_.video) return true;
  if (*options_.video == "-") {
    videoStream_ = out_;
  } else {
    errno = 0;
    videoStream_ = std::fopen(options_.video->c_str(), "wb");
    if (videoStream_ == nullptr) return fail("cannot write " + videoName(), errno);
    ownsVideo_ = true;
  }
  video_.emplace(videoStream_);
  std::fprintf(err_, "%s\n", ffmpegLine(options_).c_str());
  std::fflush(err_);
  return true;
}

bool RenderOutputs::writeFrame(int f, const RgbImage& frame) {
  const std::string path = framePath(options_, f);
  errno = 0;
  const bool written = options_.format == ImageFormat::Png ? writePng(frame, path) : writePpm(frame, path);
  if (!written) return fail("cannot write " + quoted(path), errno);
  if (sheet_) sheet_->addFrame(frame);
  return true;
}

bool RenderOutputs::writeVideoFrame(const RgbImage& frame) {
  if (video_->writeFrame(frame)) return true;
  if (video_->lastError() == EPIPE) {
    std::fprintf(err_, "quorvalent-render: the video reader closed the pipe after %d frames\n",
                 video_->framesWritten());
    std::fflush(err_);
    return false;
  }
  return fail("cannot write " + videoName(), video_->lastError());
}

bool RenderOutputs::finish() {
  if (ownsVideo_) {
    ownsVideo_ = false;
    errno = 0;
    if (std::fclose(videoStream_) != 0) return fail("cannot write " + videoName(), errno);
  }
  if (sheetFile_) {
    errno = 0;
    if (!sheetFile_->commit(sheet_->writePng(sheetFile_->get())))
      return fail("cannot write the contact sheet " + quoted(*options_.contactSheet), errno);
  }
  return true;
}

}  // namespace qv
