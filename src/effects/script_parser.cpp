#include "effects/script_parser.h"

#include "base/report.h"

namespace {

constexpr char kDelimiters[] = ";={}";
// What a token ends with when the text runs out before a delimiter.
constexpr char kEndOfText = ' ';

bool IsScriptSpace(char c) {
    unsigned char byte = static_cast<unsigned char>(c);
    return byte <= 32 || byte > 127;
}

std::string WithoutControlCharacters(std::string text) {
    for (char& c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte > 127) c = ' ';
    }
    return text;
}

struct Token {
    std::string text;
    char delimiter;
};

// Cuts the script into tokens: the text up to the next delimiter, trimmed of spaces;
// spaces inside a token stay part of it.
class ScriptTokenizer {
public:
    explicit ScriptTokenizer(const std::string& text) : text_(text) {}

    bool AtEnd() {
        SkipSpaces();
        return position_ >= text_.size();
    }

    Token Next() {
        SkipSpaces();
        size_t delimiterAt = text_.find_first_of(kDelimiters, position_);
        size_t end = delimiterAt == std::string::npos ? text_.size() : delimiterAt;
        size_t tokenEnd = end;
        while (tokenEnd > position_ && IsScriptSpace(text_[tokenEnd - 1])) --tokenEnd;
        Token token{text_.substr(position_, tokenEnd - position_),
                    delimiterAt == std::string::npos ? kEndOfText : text_[delimiterAt]};
        position_ = delimiterAt == std::string::npos ? text_.size() : delimiterAt + 1;
        return token;
    }

private:
    void SkipSpaces() {
        while (position_ < text_.size() && IsScriptSpace(text_[position_])) ++position_;
    }

    const std::string& text_;
    size_t position_ = 0;
};

// KEY = VALUE; false (with its error line) when malformed.
bool ParseStatement(const Token& key, ScriptTokenizer& tokens, ScriptBlock& block) {
    if (key.delimiter != '=') {
        Report(LogModule::kScript, LogLevel::kError, "Missign = after %s", LoggedToken(key.text).c_str());
        return false;
    }
    Token value = tokens.Next();
    if (value.delimiter != ';') {
        Report(LogModule::kScript, LogLevel::kError, "Missing ; after %s", LoggedToken(value.text).c_str());
        return false;
    }
    block.statements.emplace_back(key.text, value.text);
    return true;
}

bool ParseBlock(ScriptTokenizer& tokens, ScriptBlock& block) {
    Token type = tokens.Next();
    if (type.delimiter != '=') {
        Report(LogModule::kScript, LogLevel::kError, "Missing = after %s", LoggedToken(type.text).c_str());
        return false;
    }
    Token name = tokens.Next();
    if (name.delimiter != '{') {
        Report(LogModule::kScript, LogLevel::kError, "Missing { after %s", LoggedToken(type.text).c_str());
        return false;
    }
    block.type = type.text;
    block.name = name.text;
    for (int statementNumber = 1;; ++statementNumber) {
        Token key = tokens.Next();
        if (key.delimiter == '}') return true;
        if (!ParseStatement(key, tokens, block)) {
            Report(LogModule::kScript, LogLevel::kError, "Bad statement %d", statementNumber);
            return false;
        }
    }
}

}  // namespace

std::string LoggedToken(const std::string& token) {
    if (token.size() <= kLoggedTokenLength) return token;
    return token.substr(0, kLoggedTokenLength) + "...";
}

std::string CleanScriptText(const std::string& text) {
    std::string withoutComments;
    size_t position = 0;
    while (position < text.size()) {
        size_t comment = text.find("//", position);
        if (comment == std::string::npos) {
            withoutComments.append(text, position, std::string::npos);
            break;
        }
        withoutComments.append(text, position, comment - position);
        size_t lineEnd = text.find('\n', comment);
        position = lineEnd == std::string::npos ? text.size() : lineEnd;
    }
    return WithoutControlCharacters(std::move(withoutComments));
}

std::string CleanScriptLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text.append(line, 0, line.find("//"));
        text += ' ';
    }
    return WithoutControlCharacters(std::move(text));
}

bool ParseScript(const std::string& text, std::vector<ScriptBlock>& blocks) {
    blocks.clear();
    ScriptTokenizer tokens(text);
    for (int blockNumber = 1; !tokens.AtEnd(); ++blockNumber) {
        ScriptBlock block;
        if (!ParseBlock(tokens, block)) {
            Report(LogModule::kScript, LogLevel::kError, "Bad block %d", blockNumber);
            return false;
        }
        blocks.push_back(std::move(block));
    }
    return true;
}
