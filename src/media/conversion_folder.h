#pragma once
// The folder of one photo conversion: new, this user's alone, and gone with everything in it once the
// conversion's outputs are read, so two conversions at once never see each other's files.

#include <filesystem>

namespace tw {

class ConversionFolder {
 public:
  // Creates a fresh folder under parent; IsCreated() tells whether that worked.
  explicit ConversionFolder(const std::filesystem::path& parent);
  ~ConversionFolder();
  ConversionFolder(const ConversionFolder&) = delete;
  ConversionFolder& operator=(const ConversionFolder&) = delete;

  [[nodiscard]] bool IsCreated() const { return !m_path.empty(); }
  // The folder without a trailing separator; empty when it could not be created.
  [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }
  // What the folder's name looks like under parent, for a message when it cannot be created.
  [[nodiscard]] static std::filesystem::path Pattern(const std::filesystem::path& parent);
  // The system's temporary folder.
  [[nodiscard]] static std::filesystem::path DefaultParent();

 private:
  std::filesystem::path m_path;
};

}  // namespace tw
