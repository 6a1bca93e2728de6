#pragma once
// The dialog's own texts to the operator (the session's are in session/session_texts.h).

#include <string>
#include <string_view>

namespace tw::dlgtext {

// A file chosen in the tree whose path does not fit the list's record.
[[nodiscard]] inline std::string PathTooLong(std::string_view path) {
  return "Path too long to be sent:\n" + std::string(path);
}

// Exit or closing the window while a transfer runs.
inline constexpr std::string_view kStopTransfer = "Transfer in progress !\nStop it and exit?";

}  // namespace tw::dlgtext
