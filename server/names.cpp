#include "server/names.h"

#include <cctype>

namespace {

constexpr size_t kMaxNameLength = 24;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string CleanName(const std::string& raw) {
    size_t begin = 0;
    size_t end = raw.size();
    while (begin < end && IsBlank(raw[begin])) ++begin;
    while (end > begin && IsBlank(raw[end - 1])) --end;
    std::string name = raw.substr(begin, end - begin);
    if (name.empty() || name.size() > kMaxNameLength) return {};
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u > 0x7e || c == ';' || c == '>') return {};
    }
    return name;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string OwnChatLine(const std::string& sender, const std::string& line) {
    const std::string prefix = sender + ">";
    if (line.compare(0, prefix.size(), prefix) == 0) return line;
    return prefix + line;
}
