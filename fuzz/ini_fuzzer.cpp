#include <cstddef>
#include <cstdint>
#include <string>

#include "base/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniFile ini;
    ini.Parse(std::string(reinterpret_cast<const char*>(data), size));
    for (const auto& section : ini.Sections()) {
        for (const auto& entry : section.entries) ini.GetInt(section.name, entry.first);
    }
    ini.ToText();
    return 0;
}
