#include "scene/file_bytes.h"

#include <filesystem>
#include <fstream>

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    // A directory opens like a file but reports no usable size.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.resize(static_cast<size_t>(size));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    // A file cut while it was read yields what was there.
    bytes.resize(static_cast<size_t>(file.gcount()));
    return !file.bad();
}
