#pragma once

#include <cstdio>
#include <string>

// Files the player keeps (kav.ini, saved.ini.all, recorded dumps) are written so that
// a crash, a power cut or a full disk leaves either the old or the new content whole.

// True when the file exists and is not to be replaced: its mode has no write bit at
// all (the player made it read-only; this holds for root too, who could write it
// anyway), or this user may not write it.
bool IsReadOnlyFile(const std::string& path);

// Writes `content` into a new file beside `path`, flushes it to the disk, renames it
// over `path` and flushes the directory, so the new name is on the disk too. The new
// file keeps the old one's permissions. On failure `path` is untouched, the new file
// is gone and `error` (when given) says why.
bool ReplaceFileDurably(const std::string& path, const std::string& content, std::string* error = nullptr);

// Flushes the stream's buffer and then the file itself to the disk (nothing more for
// a pipe or a device).
bool SyncFile(std::FILE* file);
// Flushes the directory that holds `path`, so a file created or renamed there
// survives a power cut.
bool SyncDirectoryOf(const std::string& path);
