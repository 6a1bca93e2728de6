// Random reply streams in random chunkings, fed to the engine in every mode and direction: no crash, no
// hang, nothing read or written out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "link/loader_link.h"
#include "media/photo_converter.h"
#include "session/scripted_host.h"
#include "session/transfer_session.h"

namespace {

// A small image for the file-fed modes, made once.
std::string ImagePath() {
  static const std::string path = [] {
    std::string name = "/tmp/tw-fuzz-image-XXXXXX";
    const int fd = mkstemp(name.data());
    std::FILE* file = fdopen(fd, "wb");
    for (int i = 0; i < 70000; ++i) {
      std::fputc(i == 0 ? 0x1F : i * 13, file);
    }
    std::fclose(file);
    return name;
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  tw::test::ScriptedHost host;
  host.mode = static_cast<tw::Mode>(data[0] % tw::kModeCount);
  host.download = (data[0] & 0x80) == 0;
  host.start = "0x00400000";
  host.size = std::to_string(1 + data[1] * 97);
  host.openAnswer = ImagePath();
  host.saveAnswer = ImagePath() + ".up";
  host.viewer.assign(static_cast<std::size_t>(data[1]) * 40, 0x5A);
  host.selected.push_back({ImagePath(), "image.mp3", false});

  tw::LoaderLink link;
  link.SetDeviceOverride(1, "/nonexistent/tw-fuzz");  // sends go nowhere, reconnects fail at once
  tw::PhotoConverterSettings settings;
  settings.programDirectory = "/nonexistent";
  settings.searchPath = "";
  tw::PhotoConverter converter(settings, [](const std::string&) {});
  tw::TransferSession session(link, host.Roles(), converter);
  session.OnStart();

  std::size_t at = 2;
  while (at < size) {
    const std::size_t chunk = std::min<std::size_t>(size - at, 1 + data[at] % 40);
    ++at;
    const std::size_t count = std::min(chunk, size - at);
    session.Engine().OnBytes(data + at, count, std::chrono::milliseconds(data[at - 1] & 0x80 ? 250 : 0));
    at += count;
  }
  return 0;
}
