#pragma once
// Whole-file reads and replacements for the files the program rewrites (settings, the registry
// hive, working logs), and whole appends for the files it adds lines to.
#include <string>

namespace Platform {

// Reads every byte of the file at path (a host path). False when it cannot be opened or a read
// fails (a folder, a failing disk) or the file is larger than memory (ENOMEM), errno telling
// why; bytes are then left as they were. Never throws.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// What a replacement does when the folder takes no new file.
enum class WhenFolderIsClosed {
    Fail,         // the file stays as it was (logs and every other file)
    WriteInPlace, // an existing file is written over, keeping its owner and mode (settings)
};

// Replaces the file's contents with bytes: written to a temporary file in the same folder,
// flushed to disk and renamed over the old one, the folder flushed after, so a reader or a
// power cut finds either the old or the new contents, never a half-written file. A symbolic
// link is followed, not replaced. False on failure or for a read-only file, leaving the old
// file as it was (an in-place write cut short puts back the old bytes it wrote over, where the
// disk takes them).
bool ReplaceWholeFile(const std::string& path, const std::string& bytes,
                      WhenFolderIsClosed closed = WhenFolderIsClosed::Fail);
// The same with a copy of the file at source (any size) as the new contents; errno tells why
// it failed.
bool ReplaceWithCopy(const std::string& path, const std::string& source);
// Puts the entries of the folder holding path on disk (after renames in it). False when it
// cannot.
bool FlushFolderOf(const std::string& path);

// Appends bytes to the file at path (a host path), made when missing: all of them, or none when
// the disk or a file size limit takes only part (the file is cut back to its old length), so no
// line is ever left cut. Durable puts them on disk before it returns (and a new file's entry in
// its folder). False on failure, errno telling why. Never throws.
bool AppendWhole(const std::string& path, const std::string& bytes, bool durable = false);

} // namespace Platform
