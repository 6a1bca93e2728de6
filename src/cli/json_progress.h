#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/output_tag.h"
#include "cli/progress_view.h"
#include "cli/rate_meter.h"

namespace tw {

// What a run is about, as its first JSON line and its log line name it.
struct RunSubject {
  std::string command;
  std::string file;
  std::uint64_t size = 0;
};

// --progress json: one JSON object a line on stderr for every event of one port's run. Every object has
// "event" and "port"; progress is written when its percent changes.
class JsonProgress : public ProgressView {
 public:
  JsonProgress(std::FILE* out, std::string port, OutputTag tag);

  void Start(const std::string& device, const RunSubject& subject);
  void End(const std::string& result, int status);

  void Update(int percent, std::uint64_t done, std::uint64_t total) override;
  void Caption(const std::string& caption) override { Text("caption", caption); }
  void Withdraw(const std::string&) override {}
  void Status(const std::string& text) override { Text("status", text); }
  void Message(const std::string& text) override { Text("message", text); }
  void Finish() override {}
  [[nodiscard]] bool OnTerminal() const override { return false; }
  void NameDevice(const std::string&) override {}  // the start object carries it

 private:
  void Text(const char* event, const std::string& text);
  void Emit(const char* event, const nlohmann::ordered_json& fields);

  std::FILE* m_out;
  std::string m_port;
  OutputTag m_tag;
  RateMeter m_rate;
  int m_percent = -1;
};

}  // namespace tw
