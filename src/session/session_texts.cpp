#include "session/session_texts.h"

namespace tw::text {

std::string FlashWriting(int block) { return "Flash Writing " + std::to_string(block) + " th Block"; }

std::string CantOpen(std::string_view path) { return "Can't open " + std::string(path) + " !!!"; }

std::string CantRead(std::string_view path) { return "Can't read " + std::string(path) + " !!!"; }

std::string TooLarge(std::string_view path) { return "Too large for the box: " + std::string(path) + " !!!"; }

std::string Incomplete(std::uint64_t done, std::uint64_t total) {
  return "Transfer incomplete: " + std::to_string(done) + " of " + std::to_string(total) + " bytes !!!";
}

}  // namespace tw::text
