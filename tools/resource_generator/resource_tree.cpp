#include "resource_tree.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "bmp_writer.h"
#include "ico_writer.h"
#include "overlay_pictures.h"
#include "particle_pictures.h"

namespace qv::resgen {
namespace {

Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string previewName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "ICON_SSPRVW%02d", number);
  return name;
}

}  // namespace

std::string manifestText() {
  return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity type="win32" name="Quorvalent.Animation" version="0.1.0.0" processorArchitecture="*"/>
  <description>Quorvalent particle animation and screen saver</description>
  <dependency>
    <dependentAssembly>
      <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0"
                        processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>
    </dependentAssembly>
  </dependency>
  <trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">
    <security>
      <requestedPrivileges>
        <requestedExecutionLevel level="asInvoker" uiAccess="false"/>
      </requestedPrivileges>
    </security>
  </trustInfo>
  <compatibility xmlns="urn:schemas-microsoft-com:compatibility.v1">
    <application>
      <!-- Windows Vista -->
      <supportedOS Id="{e2011457-1546-43c5-a5fe-008deee3d3f0}"/>
      <!-- Windows 7 -->
      <supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>
      <!-- Windows 8 -->
      <supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"/>
      <!-- Windows 8.1 -->
      <supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"/>
      <!-- Windows 10 and 11 -->
      <supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>
    </application>
  </compatibility>
  <application xmlns="urn:schemas-microsoft-com:asm.v3">
    <windowsSettings>
      <!-- The frame is drawn pixel for pixel: the screen size must be the real one. -->
      <dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>
      <dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>
    </windowsSettings>
  </application>
</assembly>
)";
}

std::string resourceScriptText() {
  std::string rc =
      "// Resources of the Quorvalent executable. Made by tools/resource_generator;\n"
      "// regenerate rather than edit. Paths are relative to this file's folder.\n"
      "\n"
      "ICON_MAIN      ICON       \"icon/ICON_MAIN.ico\"\n";
  for (int i = 1; i <= PREVIEW_COUNT; ++i) {
    const std::string name = previewName(i);
    rc += name + "  ICON       \"icon/" + name + ".ico\"\n";
  }
  rc +=
      "\n"
      "QUORVALENT     BITMAP     \"bitmap/QUORVALENT.bmp\"\n"
      "CONTROL_INFO   BITMAP     \"bitmap/CONTROL_INFO.bmp\"\n"
      "\n";
  rc += std::string(SAMPLE_BRUSH_NAME) + "     BINARYDATA \"binarydata/" + SAMPLE_BRUSH_NAME + ".bmp\"\n";
  rc +=
      "\n"
      "// Type 24 is RT_MANIFEST; id 1 is the one an executable's loader reads.\n"
      "1              24         \"Quorvalent.manifest\"\n";
  return rc;
}

std::vector<GeneratedFile> generateResourceTree() {
  std::vector<GeneratedFile> files;
  const std::vector<std::uint32_t> overlayPalette = greyPalette(OVERLAY_GREYS);
  files.push_back({"bitmap/QUORVALENT.bmp", encodePaletteBmp(makeLogo(), 4, overlayPalette)});
  files.push_back({"bitmap/CONTROL_INFO.bmp", encodePaletteBmp(makeLegend(), 4, overlayPalette)});
  files.push_back({std::string("binarydata/") + SAMPLE_BRUSH_NAME + ".bmp",
                   encodePaletteBmp(makeStarFlare(), 8, greyPalette(256))});
  files.push_back({"icon/ICON_MAIN.ico", encodeIcon({makeEmblem(48), makeEmblem(32), makeEmblem(16)})});
  for (int i = 1; i <= PREVIEW_COUNT; ++i)
    files.push_back({"icon/" + previewName(i) + ".ico", encodeIcon({makePreview(i)})});
  files.push_back({"Quorvalent.manifest", textBytes(manifestText())});
  files.push_back({"quorvalent.rc", textBytes(resourceScriptText())});
  return files;
}

void writeResourceTree(const std::filesystem::path& outDir) {
  for (const GeneratedFile& file : generateResourceTree()) {
    const std::filesystem::path path = outDir / file.path;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.bytes.data()),
              static_cast<std::streamsize>(file.bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
  }
}

}  // namespace qv::resgen
