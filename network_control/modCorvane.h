#pragma once
// Shared helpers of the network control library: the token reader, the leading-number rule,
// the command word of a line, the enumerations on the wire and the library's trace sink.
#include <cstdint>
#include <functional>
#include <string>

enum enQNetworkReqMode : int32_t { qsrqPolite = 0, qsrqSilent = 1, qsrqForce = 2 };
enum enQNetworkRelMode : int32_t {
    qsrlWaitRelease = 0,
    qsrlImmedRelease = 1,
    qsrlNeverRelease = 2
};
enum enNCCStatus : int32_t {
    nccDisconnected = 0,
    nccConnecting = 1,
    nccConnected = 2,
    nccRequestingControl = 3,
    nccHasControl = 4,
    nccReleasing = 5
};
enum enNCSStatus : int32_t { ncsOff = 0, ncsListening = 1, ncsControlled = 2 };

namespace modCorvane {

// Library version, answered to "VERSION?".
constexpr int kVersionMajor = 2, kVersionMinor = 5, kVersionRevision = 31;

// Colours of the status labels (0x00BBGGRR); button face is the system colour.
constexpr int32_t kYellow = 0x0000FFFF;
constexpr int32_t kGreen = 0x0000FF00;
constexpr int32_t kRed = 0x000000FF;
constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);

// Start and EndPos are 1-based and in/out; see the token rule of the protocol.
std::string GetToken(const std::string& Text, int32_t& Start, const std::string& Delimiter,
                     int32_t& EndPos, bool TrimIt);
// The whole number at the start of text (leading blanks skipped), 0 when there is none.
int32_t LeadingNumber(const std::string& text);
// Where a line's arguments start for GetToken: just after the word's blank (1-based).
int32_t ArgumentStart(const std::string& line);
// The text before the first blank, upper-cased.
std::string CommandWord(const std::string& line);
std::string UpperCase(std::string text);
std::string Trim(const std::string& text);

// Where the library's trace lines go (dropped while no sink is set).
void SetTraceSink(std::function<void(const std::string&)> sink);
void Trace(const std::string& text);

} // namespace modCorvane
