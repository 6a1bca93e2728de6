#include "media/converter_process.h"

#include <windows.h>

#include <system_error>

#include "media/command_line_win32.h"

namespace tw {

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

  std::wstring line = WindowsCommandLine(arguments);
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

}  // namespace tw
