#pragma once
// Host paths and files in place of the Windows file functions: both separators when splitting,
// '/' when joining, a case-insensitive fallback for names copied from Windows, and the run-time
// error numbers that callers test.
#include <string>

namespace Platform {

// Run-time error numbers of file operations.
enum FileError : int {
    errNone = 0,
    errBadFileNameOrNumber = 52,
    errFileNotFound = 53,
    errBadFileMode = 54,
    errFileAlreadyOpen = 55,
    errDeviceIO = 57,
    errFileAlreadyExists = 58,
    errDiskFull = 61,
    errInputPastEnd = 62,
    errTooManyFiles = 67,
    errDeviceUnavailable = 68,
    errPermissionDenied = 70,
    errDiskNotReady = 71,
    errPathFileAccess = 75,
    errPathNotFound = 76,
};

// The error number for a C errno value (0 for 0).
int ErrorNumberOfErrno(int err);
// The standard description of a run-time error number ("File not found", ...).
std::string RunTimeErrorText(int number);
// False for numbers that only have the generic application-defined description.
bool HasRunTimeErrorText(int number);

// Turns '\' into '/' so a Windows-style path names a host file.
std::string HostPath(const std::string& path);
// Joins with '/', adding it only when neither side has a separator at the join.
std::string JoinPath(const std::string& folder, const std::string& name);
bool IsSeparator(char c);

// The path of an existing file or folder: the exact name when it exists, else the first entry
// of each folder level whose name matches ignoring case. A path with no match is returned as
// HostPath(path), so creating files keeps the exact names given.
std::string ResolveExisting(const std::string& path);

bool FileExists(const std::string& path); // a regular file, after ResolveExisting
// A process has the file (a host path) open for writing, as far as this host can tell: a read
// lease on it is refused. False when none has, or when the system cannot tell (a network
// file system, a file of another owner without the right to lease it).
bool FileOpenForWriting(const std::string& path);
bool DirectoryExists(const std::string& path); // a folder, after ResolveExisting

// Home of "VNTZEL.INI" and other relative INI names: $VNTZEL_WINDIR, else
// $XDG_CONFIG_HOME/vntzel (~/.config/vntzel). Created when missing. No trailing separator.
std::string WindowsFolder();
// The program folder: $VNTZEL_APPDIR, else the executable's folder. No trailing separator.
std::string AppFolder();
// The system temporary folder, with a trailing '/'.
std::string TempFolder();
// The root of the system drive ("c:\\" on Windows), home of the trace logs:
// $VNTZEL_SYSTEMDRIVE, else the Windows folder. No trailing separator.
std::string SystemDriveFolder();

} // namespace Platform
