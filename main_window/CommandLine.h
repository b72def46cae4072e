#pragma once
// The command line lives with the main settings of the program context; start-up reaches it
// under the main window's names.
#include "core/MainSettings.h"

namespace MainWindow {

using MainSettings::ApplyDebugSwitch;
using MainSettings::CommandLine;
using MainSettings::CommandLineState;
using MainSettings::JoinArguments;
using MainSettings::SetCommandLine;

} // namespace MainWindow
