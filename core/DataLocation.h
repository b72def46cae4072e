#pragma once
// Start-up services of the settings layer: the search of the drives for the playout system's
// data folder and the audiowall's list files, and the disk-cache check for steady playback.
#include <string>
#include <vector>

namespace DataLocation {

// Searches the network drives, then (unless NetworkOnly, or a data folder was already known
// and found there) the fixed and CD-ROM drives. CartFolders is indexed 1..size()-1 (entry 0
// unused). IsNetwork is only ever set true. True when anything was found.
bool FindSystemLocations(bool NetworkOnly, bool& IsNetwork, std::string& DataLocation,
                         std::vector<std::string>& CartFolders);

// The host folder that stands for a drive letter; empty for a letter with no folder.
std::string DriveRoot(char letter);

// Does nothing with an empty ProductKey. This platform's cache needs no tuning: an
// interactive check says so in an information box, a quiet one shows nothing.
void CheckFileCacheSettings(const std::string& ProductKey, bool Interactive);

} // namespace DataLocation
