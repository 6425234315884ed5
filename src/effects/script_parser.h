#pragma once

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

// Replaces `blocks` by the blocks of the text. On the first malformed block it logs what
// is wrong and returns false, keeping the blocks completed before it.
bool ParseScript(const std::string& text, std::vector<ScriptBlock>& blocks);
