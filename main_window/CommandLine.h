#pragma once
// The program's command line, kept for every switch test of start-up and the settings loaders.
#include <string>
#include <vector>

namespace MainWindow {

struct CommandLineState {
    // The command line in capitals; switch tests are substring searches in it.
    std::string CommandLineText;
    // The command line as typed (the settings loader checks a file name's case in it).
    std::string CommandLineTyped;
    // "/DEBUG" was given.
    bool DebugFromCommandLine = false;
};

CommandLineState& CommandLine();

// The arguments after the program name joined by blanks, each holding a blank in quotes.
std::string JoinArguments(const std::vector<std::string>& arguments);
// Sets CommandLineText (in capitals) and CommandLineTyped from the typed line.
void SetCommandLine(const std::string& typed);
// "/DEBUG" sets DebugMode to -1 (every trace line) and DebugFromCommandLine, before the
// settings are loaded.
void ApplyDebugSwitch();

} // namespace MainWindow
