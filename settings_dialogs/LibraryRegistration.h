#pragma once
// Where the engine and player libraries and the tuning program are found: the class
// registrations under HKEY_LOCAL_MACHINE that name each library's file, and the tuning
// program's place in the common program files folder.
#include <string>

namespace LibraryRegistration {

// The unnamed value of each key is the library's file.
inline constexpr const char* kEngineLibraryKey =
    "Software\\CLASSES\\CLSID\\{DB32A521-8798-4674-A47F-0619CBD40D98}\\InprocServer32";
inline constexpr const char* kPlayerLibraryKey =
    "Software\\CLASSES\\CLSID\\{46B2886F-C2CA-4382-953B-1F1372A87613}\\InprocServer32";

// The tuning program under the common program files folder.
std::string TuningProgramPath();

// The first-run step: registers the loaded engine and player libraries where no registration
// names an existing file, and links the tuning program built beside this program into its
// place when that is empty.
void RegisterLibraries();

} // namespace LibraryRegistration
