#include "media/converter_process.h"

#include <windows.h>

#include <cstdlib>
#include <system_error>

namespace tw {
namespace {

constexpr std::string_view kPrivateFolderName = "tarnwick";

// One argument quoted the way the C runtime's command-line parser reads it back: backslashes are
// literal except before a quote, where they are doubled, and the quote itself is escaped.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

std::wstring CommandLine(const std::vector<std::string>& arguments) {
  std::wstring line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) {
      line += L' ';
    }
    AppendQuoted(line, std::filesystem::path(argument).wstring());
  }
  return line;
}

}  // namespace

struct ConverterProcess::State {
  HANDLE process = nullptr;
  HANDLE job = nullptr;  // everything the converter starts dies with it
  bool reaped = false;

  ~State() {
    if (process != nullptr) {
      CloseHandle(process);
    }
    if (job != nullptr) {
      CloseHandle(job);
    }
  }
};

std::unique_ptr<ConverterProcess> ConverterProcess::Start(const std::filesystem::path& program,
                                                          const std::vector<std::string>& arguments,
                                                          const std::filesystem::path& directory) {
  auto state = std::make_unique<State>();
  state->job = CreateJobObjectW(nullptr, nullptr);
  if (state->job == nullptr) {
    return nullptr;
  }
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(state->job, JobObjectExtendedLimitInformation, &limits, sizeof limits);

  std::wstring line = CommandLine(arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const std::wstring folder = directory.wstring();
  if (!CreateProcessW(program.wstring().c_str(), line.data(), nullptr, nullptr, FALSE,
                      CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, folder.empty() ? nullptr : folder.c_str(), &startup,
                      &info)) {
    return nullptr;
  }
  AssignProcessToJobObject(state->job, info.hProcess);
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  state->process = info.hProcess;
  return std::unique_ptr<ConverterProcess>(new ConverterProcess(std::move(state)));
}

ConverterProcess::ConverterProcess(std::unique_ptr<State> state) : m_state(std::move(state)) {}

ConverterProcess::~ConverterProcess() {
  if (!m_state->reaped) {
    Kill();
  }
}

bool ConverterProcess::WaitFor(std::chrono::milliseconds limit) {
  m_state->reaped = WaitForSingleObject(m_state->process, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
  return m_state->reaped;
}

void ConverterProcess::Kill() {
  if (m_state->reaped) {
    return;
  }
  TerminateJobObject(m_state->job, 1);
  WaitForSingleObject(m_state->process, INFINITE);
  m_state->reaped = true;
}

std::optional<std::filesystem::path> ConverterProcess::Find(std::string_view name,
                                                            const std::vector<std::filesystem::path>& folders) {
  for (const auto& folder : folders) {
    const auto candidate = folder / name;
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error)) {
      return candidate;
    }
  }
  return std::nullopt;
}

std::filesystem::path ConverterProcess::OwnFolder() {
  std::wstring self(MAX_PATH, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  self.resize(length);
  return std::filesystem::path(self).parent_path();
}

std::vector<std::filesystem::path> ConverterProcess::SplitSearchPath(std::string_view list) {
  std::vector<std::filesystem::path> folders;
  while (!list.empty()) {
    const auto separator = list.find(';');
    const auto entry = list.substr(0, separator);
    if (!entry.empty()) {
      folders.emplace_back(entry);
    }
    list.remove_prefix(separator == std::string_view::npos ? list.size() : separator + 1);
  }
  return folders;
}

std::string ConverterProcess::SearchPathVariable() {
  const char* value = std::getenv("PATH");
  return value != nullptr ? value : "";
}

// The user's own temporary folder is not shared with other users on Windows.
std::string ConverterProcess::PrivateTempFolder() {
  std::error_code error;
  const auto base = std::filesystem::temp_directory_path(error);
  return (base / kPrivateFolderName).string() + "\\";
}

bool ConverterProcess::MakePrivateFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::path path(folder);
  if (!path.has_filename()) {
    path = path.parent_path();
  }
  std::filesystem::create_directories(path, error);
  return !std::filesystem::is_symlink(path, error) && std::filesystem::is_directory(path, error);
}

}  // namespace tw
