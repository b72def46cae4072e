#pragma once
// Editing the split's working log: an advert line inserted before a line or a line removed,
// through a temporary file and renames. Only between breaks and copies.
#include <cstdint>
#include <functional>
#include <string>

namespace ZEL_Common {

// Chooses a cart for an insertion of cart 0; 0 = nothing chosen.
using CartChooser = std::function<int32_t()>;
void SetCartChooser(CartChooser chooser); // empty: nothing is ever chosen
// Renames a file; false with the error's description when it fails.
using FileRenamer =
    std::function<bool(const std::string& from, const std::string& to, std::string& error)>;
void SetFileRenamer(FileRenamer renamer); // empty: the file system's rename

// Inserts a line for CartNumber before the line that starts at FilePos (1-based), the log's
// first line included; its time and chain code come from the line before, or from the line at
// FilePos when there is none before or it is empty. False when nothing was inserted.
bool InsertAdvertIntoLogFile(int16_t Split, int32_t FilePos, int32_t CartNumber);
// Removes the first line that starts at or after FilePos, never leaving two empty lines in a
// row. False when nothing was removed.
bool RemoveAdvertFromLogFile(int16_t Split, int32_t FilePos);

} // namespace ZEL_Common
