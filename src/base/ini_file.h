#pragma once

#include <string>
#include <utility>
#include <vector>

// The INI store every text configuration goes through. Names, keys and values are
// kept exactly as written (no trimming, no case folding); duplicates stay, and every
// lookup takes the first match.
struct IniSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};

// Why IniFile::Save wrote nothing.
struct IniSaveFailure {
    bool readOnly = false;  // the file is read-only and was left as it is
    std::string reason;     // for people: "the file is read-only", "No space left on device", ...
};

class IniFile {
public:
    IniFile();
    explicit IniFile(const std::string& fileName);

    void SetFileName(const std::string& name) { fileName_ = name; }
    const std::string& FileName() const { return fileName_; }

    // Reads the named file; false (and an empty store) when it cannot be opened.
    // A positive maxLines stops after that many header and entry lines.
    bool Load(int maxLines = 0);
    // Parses text as if it were the file's content.
    void Parse(const std::string& text, int maxLines = 0);

    bool HasSection(const std::string& section) const;
    bool HasKey(const std::string& section, const std::string& key) const;
    std::string GetString(const std::string& section, const std::string& key) const;
    int GetInt(const std::string& section, const std::string& key) const;
    double GetFloat(const std::string& section, const std::string& key) const;
    bool GetBool(const std::string& section, const std::string& key) const;

    bool SetValue(const std::string& section, const std::string& key, const std::string& value, bool create);
    bool SetInt(const std::string& section, const std::string& key, int value, bool create);
    bool SetFloat(const std::string& section, const std::string& key, double value, bool create);

    // Rewrites the whole file durably (see durable_file.h), so a crash, a power cut or
    // a full disk never leaves it half written. A file the player made read-only is
    // left alone. False when the file was not written; `failure` then says why.
    bool Save(IniSaveFailure* failure = nullptr) const;
    std::string ToText() const;

    const std::vector<IniSection>& Sections() const { return sections_; }
    const IniSection* FindSection(const std::string& section) const;

private:
    IniSection* FindSection(const std::string& section);

    std::string fileName_;
    std::vector<IniSection> sections_;
};
