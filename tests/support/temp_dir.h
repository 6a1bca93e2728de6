#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "link/private_folder.h"

namespace tw::test {

// A private folder for one test, removed with everything in it at the end.
class TempDir {
 public:
  TempDir() : m_path(MakePrivateFolder("tarnwick-test")) {}
  ~TempDir() {
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }
  // A sub-folder, created.
  [[nodiscard]] std::filesystem::path Make(const std::string& name) const {
    std::filesystem::path path = m_path / name;
    std::filesystem::create_directories(path);
    return path;
  }

 private:
  std::filesystem::path m_path;
};

}  // namespace tw::test
