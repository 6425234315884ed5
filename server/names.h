#pragma once

#include <string>

// A user or player name as the lobby accepts it: trimmed of blanks, 1-24 bytes of
// printable ASCII, and free of ';' (the directory's field separator) and '>' (the chat
// line's name separator). Empty when the name is refused.
std::string CleanName(const std::string& raw);

bool SameName(const std::string& a, const std::string& b);  // ignoring ASCII case

// A chat line always starts with its sender's name and '>': a line that does not is
// prefixed, so no one can speak under another name.
std::string OwnChatLine(const std::string& sender, const std::string& line);
