#pragma once
// The program's general helpers: paths and files, time stamps and durations, text tokens and
// padding, the trace log, the standard error box and small platform helpers.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class QLineEdit;

namespace GeneralFunctions {

// ---- Module state ------------------------------------------------------------------------

constexpr int32_t VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFO {
    int32_t dwOSVersionInfoSize = 0;
    int32_t dwMajorVersion = 0;
    int32_t dwMinorVersion = 0;
    int32_t dwBuildNumber = 0;
    int32_t dwPlatformId = 0;
    std::string szCSDVersion; // at most 128 characters
};

struct GeneralState {
    // Trace level: 0 off, -1 every line, N lines of level <= N.
    int32_t DebugMode = 0;
    OSVERSIONINFO OSVersion;
    // Trace nesting depth, never below 0.
    int32_t traceDepth = 0;
    // Start folder of the folder chooser in use.
    std::string browseStartFolder;
};

// The state of the running instance: the core's own record until a program context installs
// its record (the control libraries, which have no context, keep the core's own).
GeneralState& State();
// Makes State() answer record; nullptr goes back to the core's own.
void UseState(GeneralState* record);

// ---- Files and paths ---------------------------------------------------------------------

// Shell folder ids answered on this host.
enum SpecialFolder : int32_t {
    CSIDL_DESKTOP = 0x00,
    CSIDL_PERSONAL = 0x05,
    CSIDL_APPDATA = 0x1A,
    CSIDL_COMMON_APPDATA = 0x23,
    CSIDL_WINDOWS = 0x24,
    CSIDL_SYSTEM = 0x25,
    CSIDL_PROGRAM_FILES = 0x26,
    CSIDL_PROGRAM_FILES_COMMON = 0x2B,
};

std::string GetSpecialFolderPath(int32_t folderId);
std::string QuoteIfSpaced(std::string& text);
bool CreatePath(const std::string& path, bool silent);
double SafeFileLen(const std::string& fileName);
std::string GetFileName(const std::string& path);
std::string SplitFileExtension(const std::string& fileName);
std::string GetFileTitle(const std::string& path);
std::string GetDirectoryPart(const std::string& path, bool addSeparator);
std::string GetFileExtension(const std::string& path);
std::string MakeTempFileName(const std::string& directory, const std::string& extension);
std::string GetWindowsFolder();
void LoadOSVersion();
// The chosen folder, "" when cancelled; a drive root loses its final separator.
std::string BrowseForFolder(int64_t ownerWindow, const std::string& title,
                            const std::string& startFolder, bool newStyle);

// ---- Time stamps and durations -----------------------------------------------------------

struct TimeStamp {
    int32_t Day = 0;     // days since 1899-12-30
    float Seconds = 0.f; // seconds after midnight
};

bool TimeStampEqual(const TimeStamp& a, const TimeStamp& b);
bool TimeStampLater(const TimeStamp& a, const TimeStamp& b);
TimeStamp TimeStampFromDate(double dateValue);
TimeStamp TimeStampNow(bool toHourStart);
// On overflow (the day number or the hundredths leave 32 bits, or a value is not a number)
// the stamp comes back unchanged and errorNumber, when given, is set to 6.
TimeStamp TimeStampSubtract(float seconds, TimeStamp stamp, int* errorNumber = nullptr);
TimeStamp TimeStampAdd(float seconds, TimeStamp stamp, int* errorNumber = nullptr);
double SecondsSinceTimeStamp(const TimeStamp& stamp);
double SecondsUntilTimeStamp(const TimeStamp& stamp);
// Style = H x 100 + T x 10 + U: U layout, T rounding, H leading zeros.
std::string FormatDuration(double seconds, int32_t style);
double ParseDuration(const std::string& text, int32_t style);
std::string GetMonthName(int16_t month);

// ---- Text tokens, character classes and padding ------------------------------------------

bool ValidateChars(const std::string& text, int32_t mode);
std::string GetNextToken(const std::string& text, int32_t& startPos, const std::string& delimiter,
                         int32_t& endPos, bool trimResult, bool skipLeadingBlanks);
std::string GetMessageParameter(const std::string& text, const std::string& key,
                                const std::string& separator, bool unescape,
                                const std::string& delimiter);
std::string Hex2(int32_t value, int32_t width);
std::string PadRight(const std::string& text, int16_t width, const std::string& padChar);
std::string PadLeft(std::string& text, int16_t width, const std::string& padChar);

// ---- Trace log, error box and text helpers -----------------------------------------------

enum DebugKind : int32_t { dkPlain = 0, dkEnter = 1, dkLeave = 2, dkReset = 3 };

// The folder of the trace files: the system drive.
std::string DebugTraceFolder();
// The trace file of a day: the system drive + program name + ".yyyymmdd.log".
std::string DebugTraceFile(int32_t day);
void WriteDebugLine(const std::string& text, int32_t level);
void WriteDebugLineNest(const std::string& text, int32_t level, int32_t kind);
void WriteDebugLineEx(const std::string& text, int32_t level, int32_t kind,
                      const std::string& context);
// The longest trace line; its control characters show escaped (see TraceText).
constexpr size_t kMaxTraceLine = 4096;
// Writes one time-stamped line to the trace as it comes, past the level and any budget, whole
// or not at all. A trace file that refuses lines is told to the tellers (never into the trace)
// once, and its return with the count of lines lost.
void AppendTraceLine(const std::string& text);
// Text after the current date and time, "ddddd hh:nn:ss text".
std::string TimedText(const std::string& text);
// Appends text (after the date and time when withTime) as one line, whole or not at all; false
// when it cannot be written, which the trace log reports once a file until a line reaches it
// again.
bool AppendTimedLine(const std::string& fileName, bool withTime, const std::string& text);

// A failure the user must hear of whatever the trace level: written to the trace past the
// level and any budget, and handed to every teller (standard error when headless, the main
// window's status bar). Repeats are the caller's to hold back.
void TellProblem(const std::string& text);
using ProblemTeller = std::function<void(const std::string& text)>;
// Adds a teller; the id removes it again.
int AddProblemTeller(ProblemTeller teller);
void RemoveProblemTeller(int id);

// The standard error text; shown in an exclamation box unless silent. ownDescription stands
// in for a number that has no standard description.
std::string FormatErrorMessage(const std::string& action, int32_t errorNumber, bool silent,
                               const std::string& ownDescription = "");
// The same for a failure the host tells by errno: its run-time number and the host's words
// for the cause ("No space left on device").
std::string FormatHostErrorMessage(const std::string& action, int hostError, bool silent);
// The host's words for an errno value ("No space left on device").
std::string CauseText(int hostError);
std::string ReadFileLine(int16_t fileNumber);
std::string EscapeNetText(const std::string& text);
std::string UnescapeNetText(const std::string& text);
// The longest leading part of text whose measured width is not above width.
std::string FitTextToWidth(const std::function<double(const std::string&)>& textWidth,
                           const std::string& text, int32_t width);
void SelectAllText(QLineEdit* textBox);

// ---- Platform and numeric helpers --------------------------------------------------------

struct FileVersionRecord {
    int16_t FileMajor = 0, FileMinor = 0, FileRevision = 0;
    int16_t ProductMajor = 0, ProductMinor = 0, ProductRevision = 0;
};

struct FileTimesRecord {
    int64_t CreationTime = 0, LastWriteTime = 0, LastAccessTime = 0; // 100 ns since 1601 UTC
};

void WaitSeconds(double seconds, bool& abort);
// Copies or moves source (a file, a folder, or a name pattern with * and ?) to destination;
// 0 for success, else the run-time error number of the first failure.
int32_t ShellFileOperation(const std::string& source, const std::string& destination,
                           const std::string& progressTitle, int64_t ownerWindow, bool move,
                           bool confirm);
void SyncClockToHour(int16_t offsetSeconds);
std::string GetShortPath(const std::string& path);
int32_t GetLongValue(int32_t value);
int32_t MinLong(int32_t a, int32_t b);
int32_t MaxLong(int32_t a, int32_t b);
double MinDouble(double a, double b);
double MaxDouble(double a, double b);
int32_t ClampLong(int32_t value, int32_t low, int32_t high);
double ClampDouble(double value, double low, double high);
bool DirectoryExists(std::string path);
std::string GetDriveList(int32_t driveType);
FileVersionRecord GetFileVersionText(const std::string& fileName);
bool PointNear(float x, float y, float refX, float refY, float tolerance);
std::string GetComputerName();
FileTimesRecord GetFileWriteTime(const std::string& fileName);
bool CanOpenFile(const std::string& fileName);

} // namespace GeneralFunctions
