#include "cli/json_progress.h"

#include <cmath>
#include <utility>

namespace tw {

JsonProgress::JsonProgress(std::FILE* out, std::string port, OutputTag tag)
    : m_out(out), m_port(std::move(port)), m_tag(std::move(tag)) {
  m_tag.prefix.clear();  // the port is a key of every object
}

void JsonProgress::Start(const std::string& device, const RunSubject& subject) {
  Emit("start", {{"device", device}, {"command", subject.command}, {"file", subject.file}, {"size", subject.size}});
}

void JsonProgress::End(const std::string& result, int status) { Emit("end", {{"result", result}, {"status", status}}); }

void JsonProgress::Update(int percent, std::uint64_t done, std::uint64_t total) {
  m_rate.Update(done, total);
  if (percent == m_percent) {
    return;
  }
  m_percent = percent;
  const std::optional<double> left = m_rate.SecondsLeft();
  Emit("progress", {{"bytes", done},
                    {"total", total},
                    {"percent", percent},
                    {"rate", std::round(m_rate.BytesPerSecond())},
                    {"eta", left ? nlohmann::ordered_json(std::round(*left)) : nlohmann::ordered_json(nullptr)}});
}

void JsonProgress::Text(const char* event, const std::string& text) { Emit(event, {{"text", text}}); }

void JsonProgress::Emit(const char* event, const nlohmann::ordered_json& fields) {
  nlohmann::ordered_json line = {{"event", event}, {"port", m_port}};
  line.update(fields);
  // Replacement characters keep a line parseable whatever bytes a file name holds.
  WriteLine(m_out, m_tag, line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

}  // namespace tw
