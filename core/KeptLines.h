#pragma once
// Lines of the day files the scheduling side reads (reconciliation, errors) and of small record
// files: each written whole, and kept in order while its file refuses it, until the file takes
// lines again. Each failure and return is told once (GeneralFunctions::TellProblem).
#include <cstddef>
#include <string>

namespace KeptLines {

// What is kept in all, at the most; past it lines are lost, counted and told.
constexpr size_t kLimitBytes = size_t{1} << 20;

// Appends line and CR LF to fileName (the path chosen when the line was made): after the
// file's kept lines, and kept behind them when it refuses it. Durable puts it on disk (fsync)
// before it counts as written. Kept lines are tried again at the next line for their file and
// about each second while the event loop runs. Never throws.
void Append(const std::string& fileName, const std::string& line, bool durable = false);

// Lines kept in all.
size_t Count();

// Writes each file's kept lines now, as far as it takes them.
void RetryNow();

// The last try as the program ends: what is still kept is told lost, for each file.
void WriteBeforeEnd();

} // namespace KeptLines
