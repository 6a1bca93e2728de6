#include "cli/mp3_info_command.h"

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <system_error>

#include "cli/console_host.h"
#include "media/mp3_info.h"
#include "session/session_texts.h"

namespace tw {

namespace {

const char* TagKindName(Mp3TagKind kind) {
  switch (kind) {
    case Mp3TagKind::Id3v1:
      return "id3v1";
    case Mp3TagKind::Id3v2:
      return "id3v2";
    case Mp3TagKind::None:
      break;
  }
  return "none";
}

nlohmann::json ToJson(const CMp3Info& info) {
  nlohmann::json out;
  // Numbers as the inspection keeps them: tag kind 0 none, 1 ID3v1, 2 ID3v2; the VBR flag 0 or 1.
  out["tag_kind"] = static_cast<int>(info.TagKind());
  out["tag_size"] = info.TagSize();
  // ID3v1 texts are Latin-1 bytes; replacement keeps the JSON valid whatever they hold.
  out["title"] = info.Title();
  out["artist"] = info.Artist();
  out["album"] = info.Album();
  out["year"] = info.Year();
  out["comment"] = info.Comment();
  if (const std::optional<std::string_view> genre = info.Genre()) {
    out["genre"] = std::string(*genre);
  } else {
    out["genre"] = nullptr;
  }
  out["track"] = info.Track();
  out["version"] = info.Version();
  out["layer"] = info.Layer();
  out["bitrate"] = info.Bitrate();
  out["sample_rate"] = info.SampleRate();
  out["channel_mode"] = info.ChannelMode();
  out["frames"] = info.Frames();
  out["vbr"] = info.IsVbr() ? 1 : 0;
  if (info.VbrScale() != kNoVbrScale) {
    out["vbr_scale"] = info.VbrScale();
  } else {
    out["vbr_scale"] = nullptr;  // a CBR file has none
  }
  out["file_size"] = info.FileSize();
  out["duration"] = info.Duration();
  return out;
}

void PrintText(const CMp3Info& info) {
  const auto line = [](const char* key, const std::string& value) { std::printf("%-12s %s\n", key, value.c_str()); };
  line("tag", TagKindName(info.TagKind()));
  line("title", info.Title());
  line("artist", info.Artist());
  line("album", info.Album());
  line("year", info.Year());
  line("comment", info.Comment());
  line("genre", info.Genre() ? std::string(*info.Genre()) : std::string("-"));
  line("track", std::to_string(info.Track()));
  line("version", std::to_string(info.Version()));
  line("layer", std::to_string(info.Layer()));
  line("bitrate", std::to_string(info.Bitrate()));
  line("sample rate", std::to_string(info.SampleRate()));
  line("channels", std::string(CMp3Info::ChannelModeName(info.ChannelMode())));
  line("frames", std::to_string(info.Frames()));
  line("vbr", info.IsVbr() ? "yes" : "no");
  line("file size", std::to_string(info.FileSize()));
  line("duration", std::to_string(info.Duration()));
}

}  // namespace

int Mp3InfoCommand(const std::string& path, bool json) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    std::printf("%s\n", text::CantOpen(path).c_str());
    return kExitFailure;
  }
  const CMp3Info info(path);
  if (!info.Error().empty()) {
    std::printf("%s\n", info.Error().c_str());
    return kExitFailure;
  }
  if (json) {
    std::printf("%s\n", ToJson(info).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
  } else {
    PrintText(info);
  }
  // The numbers stand as inspected, but a file without a frame is no MP3 to send.
  if (info.Version() == 0) {
    std::fprintf(stderr, "tarnwick-cli: %s: no MPEG audio frame found\n", path.c_str());
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace tw
