#pragma once
// The whole resources/ tree: which file holds which picture and the resource
// script and manifest that name them for the Windows resource compiler.

#include <filesystem>
#include <string>
#include <vector>

#include "image.h"

namespace qv::resgen {

struct GeneratedFile {
  std::string path;  // relative to the resources folder, '/' separated
  Bytes bytes;
};

// Name (resource type "BINARYDATA") of the sample brush picture.
inline constexpr const char* SAMPLE_BRUSH_NAME = "STAR_FLARE";

std::string manifestText();
std::string resourceScriptText();

// Every file of the tree, in a fixed order.
std::vector<GeneratedFile> generateResourceTree();

// Writes the tree below `outDir`, creating folders as needed. Throws
// std::runtime_error naming the file that could not be written.
void writeResourceTree(const std::filesystem::path& outDir);

}  // namespace qv::resgen
