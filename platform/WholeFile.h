#pragma once
// Whole-file reads and replacements for the small text stores (INI files, the registry hive).
#include <string>

namespace Platform {

// Reads every byte of the file at path (a host path). False when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Replaces the file's contents with bytes: written to a temporary file in the same folder and
// renamed over the old one, so a reader in another process sees either the old or the new
// contents, never a half-written file. In a folder that takes no new files an existing file is
// written over in place, keeping its owner and mode. A symbolic link is followed, not
// replaced. False on failure or for a read-only file, leaving the old file as it was.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes);

} // namespace Platform
