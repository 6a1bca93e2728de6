#include "session/session_texts.h"

namespace tw::text {

std::string FlashWriting(int block) { return "Flash Writing " + std::to_string(block) + " th Block"; }

std::string CantOpen(std::string_view path) { return "Can't open " + std::string(path) + " !!!"; }

}  // namespace tw::text
