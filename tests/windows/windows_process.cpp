#include "windows/windows_process.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "media/command_line_win32.h"

namespace tw::test {

namespace {

std::filesystem::path OwnFolder() {
  std::array<wchar_t, MAX_PATH> path{};
  GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  return std::filesystem::path(path.data()).parent_path();
}

std::string WithoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

// A pipe whose write end the child inherits and whose read end stays ours alone.
void MakePipe(HANDLE& read, HANDLE& write) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  ASSERT_TRUE(CreatePipe(&read, &write, &inherit, 0));
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
}

std::string ReadAll(HANDLE pipe) {
  std::string text;
  std::array<char, 4096> buffer{};
  DWORD got = 0;
  while (ReadFile(pipe, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0) {
    text.append(buffer.data(), got);
  }
  return text;
}

}  // namespace

WindowsProcess::WindowsProcess(std::vector<std::string> arguments) {
  arguments[0] = (OwnFolder() / (arguments[0] + ".exe")).string();
  HANDLE outWrite = nullptr;
  HANDLE errWrite = nullptr;
  MakePipe(m_out, outWrite);
  MakePipe(m_err, errWrite);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION started{};
  std::wstring line = WindowsCommandLine(arguments);
  const bool ok = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started);
  // Only the child may hold the write ends, or the reads would never see the end of its output.
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  EXPECT_TRUE(ok) << arguments[0] << ": error " << GetLastError();
  if (ok) {
    CloseHandle(started.hThread);
    m_process = started.hProcess;
  }
  m_errReader = std::thread([this] { m_errText = ReadAll(m_err); });
}

WindowsProcess::~WindowsProcess() {
  if (m_process != nullptr) {
    TerminateProcess(m_process, 1);
    WaitForSingleObject(m_process, INFINITE);
    CloseHandle(m_process);
  }
  if (m_errReader.joinable()) {
    m_errReader.join();
  }
  CloseHandle(m_out);
  CloseHandle(m_err);
}

bool WindowsProcess::Fill() {
  std::array<char, 4096> buffer{};
  DWORD got = 0;
  if (!ReadFile(m_out, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) || got == 0) {
    return false;
  }
  m_outBuffer.append(buffer.data(), got);
  return true;
}

std::string WindowsProcess::ReadLine() {
  std::size_t end = m_outBuffer.find('\n');
  while (end == std::string::npos && Fill()) {
    end = m_outBuffer.find('\n');
  }
  const std::string line = m_outBuffer.substr(0, end);
  m_outBuffer.erase(0, end == std::string::npos ? end : end + 1);
  return WithoutCarriageReturns(line);
}

ProgramResult WindowsProcess::Finish() {
  ProgramResult result;
  result.out = WithoutCarriageReturns(m_outBuffer + ReadAll(m_out));
  m_outBuffer.clear();
  m_errReader.join();
  result.err = WithoutCarriageReturns(m_errText);
  if (m_process != nullptr) {
    WaitForSingleObject(m_process, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(m_process, &status);
    result.status = static_cast<int>(status);
    CloseHandle(m_process);
    m_process = nullptr;
  }
  return result;
}

ProgramResult RunProgram(std::vector<std::string> arguments) { return WindowsProcess(std::move(arguments)).Finish(); }

}  // namespace tw::test
