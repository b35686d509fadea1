#include "hosts/win32/module_resources.h"

#include <cstring>
#include <cwctype>

namespace qv::win32 {

namespace {

constexpr std::size_t FILE_HEADER_SIZE = 14;

std::uint32_t readLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t readLe16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

void writeLe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::wstring widenAscii(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size());
  for (char c : text) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return wide;
}

std::vector<std::uint8_t> bitmapFileFromPackedDib(std::span<const std::uint8_t> dib) {
  if (dib.size() < 16) return {};
  const std::uint32_t headerSize = readLe32(dib.data());
  if (headerSize < 40 || headerSize > dib.size()) return {};
  const std::uint16_t bitCount = readLe16(dib.data() + 14);
  const std::uint32_t compression = readLe32(dib.data() + 16);
  const std::uint32_t coloursUsed = dib.size() >= 36 ? readLe32(dib.data() + 32) : 0;
  std::uint64_t tableBytes = 0;
  if (bitCount <= 8)
    tableBytes = static_cast<std::uint64_t>(coloursUsed != 0 ? coloursUsed : (1u << bitCount)) * 4;
  // The three channel masks follow a plain 40-byte header.
  if (headerSize == 40 && (compression == BI_BITFIELDS)) tableBytes += 12;
  const std::uint64_t pixelOffset = FILE_HEADER_SIZE + headerSize + tableBytes;
  if (pixelOffset > FILE_HEADER_SIZE + dib.size()) return {};
  std::vector<std::uint8_t> file(FILE_HEADER_SIZE + dib.size());
  file[0] = 'B';
  file[1] = 'M';
  writeLe32(file.data() + 2, static_cast<std::uint32_t>(file.size()));
  writeLe32(file.data() + 10, static_cast<std::uint32_t>(pixelOffset));
  std::memcpy(file.data() + FILE_HEADER_SIZE, dib.data(), dib.size());
  return file;
}

std::span<const std::uint8_t> ModuleResources::load(const std::wstring& name, const wchar_t* type) {
  HRSRC found = FindResourceW(module_, name.c_str(), type);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module_, found);
  const DWORD size = SizeofResource(module_, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr || size == 0) return {};
  return {static_cast<const std::uint8_t*>(bytes), size};
}

std::span<const std::uint8_t> ModuleResources::find(std::string_view name, int type) {
  std::wstring wideName = widenAscii(name);
  if (type != static_cast<int>(reinterpret_cast<std::uintptr_t>(RT_BITMAP))) {
    return load(wideName, MAKEINTRESOURCEW(type));
  }
  for (wchar_t& c : wideName) c = static_cast<wchar_t>(std::towupper(c));
  if (auto it = bitmapFiles_.find(wideName); it != bitmapFiles_.end()) return it->second;
  const std::span<const std::uint8_t> dib = load(wideName, RT_BITMAP);
  if (dib.empty()) return {};
  std::vector<std::uint8_t> file = bitmapFileFromPackedDib(dib);
  if (file.empty()) return {};
  return bitmapFiles_.emplace(std::move(wideName), std::move(file)).first->second;
}

std::span<const std::uint8_t> ModuleResources::find(std::string_view name, std::string_view type) {
  return load(widenAscii(name), widenAscii(type).c_str());
}

}  // namespace qv::win32
