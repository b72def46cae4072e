#include "main_window/CommandLine.h"

#include "core/GeneralFunctions.h"
#include "platform/VB.h"

namespace MainWindow {

CommandLineState& CommandLine() {
    static CommandLineState state;
    return state;
}

std::string JoinArguments(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        bool quote =
            argument.find(' ') != std::string::npos && argument.find('"') == std::string::npos;
        line += quote ? "\"" + argument + "\"" : argument;
    }
    return line;
}

void SetCommandLine(const std::string& typed) {
    CommandLine().CommandLineTyped = typed;
    CommandLine().CommandLineText = VB::UCase(typed);
}

void ApplyDebugSwitch() {
    if (CommandLine().CommandLineText.find("/DEBUG") == std::string::npos) return;
    GeneralFunctions::State().DebugMode = -1;
    CommandLine().DebugFromCommandLine = true;
}

} // namespace MainWindow
