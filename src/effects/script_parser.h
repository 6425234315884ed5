#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// One block of a script: TYPE = NAME { KEY = VALUE; ... }.
struct ScriptBlock {
    std::string type;
    std::string name;
    std::vector<std::pair<std::string, std::string>> statements;  // in file order
};

// Script text as written in a scene note: every "//" comment removed up to the line
// feed, and every character below 32 or above 127 turned into a space.
std::string CleanScriptText(const std::string& text);
// The same for text read from a file one line at a time: the comment is dropped from
// each line and every line is followed by one space.
std::string CleanScriptLines(const std::vector<std::string>& lines);

// A script token as a log line quotes it: longer ones are cut to kLoggedTokenLength
// characters followed by "...", so a file without delimiters cannot make one line of
// the log as long as itself.
constexpr size_t kLoggedTokenLength = 200;
std::string LoggedToken(const std::string& token);

// Replaces `blocks` by the blocks of the text. On the first malformed block it logs what
// is wrong and returns false, keeping the blocks completed before it.
bool ParseScript(const std::string& text, std::vector<ScriptBlock>& blocks);
