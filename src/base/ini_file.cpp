#include "base/ini_file.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

#include "base/durable_file.h"

namespace {

const std::string* FindValue(const IniSection& section, const std::string& key) {
    for (const auto& entry : section.entries)
        if (entry.first == key) return &entry.second;
    return nullptr;
}

std::string Format(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace

IniFile::IniFile() { sections_.reserve(20); }

IniFile::IniFile(const std::string& fileName) : IniFile() {
    fileName_ = fileName;
    Load();
}

bool IniFile::Load(int maxLines) {
    sections_.clear();
    std::ifstream in(fileName_, std::ios::binary);
    if (!in.is_open()) return false;
    std::stringstream text;
    text << in.rdbuf();
    Parse(text.str(), maxLines);
    return true;
}

void IniFile::Parse(const std::string& text, int maxLines) {
    sections_.clear();
    IniSection current;
    bool inSection = false;  // false before the first header
    int linesRead = 0;
    auto storeCurrent = [&] {
        if (inSection && !current.name.empty()) sections_.push_back(std::move(current));
        current = IniSection();
    };

    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (maxLines > 0 && linesRead >= maxLines) break;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[' && line.size() >= 2 && line.back() == ']') {
            storeCurrent();
            current.name = line.substr(1, line.size() - 2);
            inSection = true;
            ++linesRead;
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        current.entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        ++linesRead;
    }
    storeCurrent();
}

const IniSection* IniFile::FindSection(const std::string& section) const {
    for (const auto& candidate : sections_)
        if (candidate.name == section) return &candidate;
    return nullptr;
}

IniSection* IniFile::FindSection(const std::string& section) {
    return const_cast<IniSection*>(static_cast<const IniFile*>(this)->FindSection(section));
}

bool IniFile::HasSection(const std::string& section) const { return FindSection(section) != nullptr; }

bool IniFile::HasKey(const std::string& section, const std::string& key) const {
    const IniSection* found = FindSection(section);
    return found != nullptr && FindValue(*found, key) != nullptr;
}

std::string IniFile::GetString(const std::string& section, const std::string& key) const {
    const IniSection* found = FindSection(section);
    const std::string* value = found ? FindValue(*found, key) : nullptr;
    return value ? *value : std::string();
}

int IniFile::GetInt(const std::string& section, const std::string& key) const {
    return std::atoi(GetString(section, key).c_str());
}

double IniFile::GetFloat(const std::string& section, const std::string& key) const {
    return std::atof(GetString(section, key).c_str());
}

bool IniFile::GetBool(const std::string& section, const std::string& key) const { return GetInt(section, key) != 0; }

bool IniFile::SetValue(const std::string& section, const std::string& key, const std::string& value, bool create) {
    IniSection* found = FindSection(section);
    if (found == nullptr) {
        if (!create) return false;
        sections_.push_back(IniSection{section, {{key, value}}});
        return true;
    }
    for (auto& entry : found->entries) {
        if (entry.first == key) {
            entry.second = value;
            return true;
        }
    }
    if (!create) return false;
    found->entries.emplace_back(key, value);
    return true;
}

bool IniFile::SetInt(const std::string& section, const std::string& key, int value, bool create) {
    return SetValue(section, key, std::to_string(value), create);
}

bool IniFile::SetFloat(const std::string& section, const std::string& key, double value, bool create) {
    return SetValue(section, key, Format("%g", value), create);
}

std::string IniFile::ToText() const {
    std::string text;
    for (const auto& section : sections_) {
        text += "[" + section.name + "]\n";
        for (const auto& entry : section.entries) text += entry.first + "=" + entry.second + "\n";
        text += "\n";
    }
    return text;
}

bool IniFile::Save(IniSaveFailure* failure) const {
    IniSaveFailure why;
    if (IsReadOnlyFile(fileName_)) {
        why.readOnly = true;
        why.reason = "the file is read-only";
    } else if (ReplaceFileDurably(fileName_, ToText(), &why.reason)) {
        return true;
    }
    if (failure != nullptr) *failure = std::move(why);
    return false;
}
