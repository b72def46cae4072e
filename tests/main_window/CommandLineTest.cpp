#include "main_window/CommandLine.h"
#include "core/GeneralFunctions.h"

#include <gtest/gtest.h>

using namespace MainWindow;

TEST(CommandLine, KeptInCapitalsAndDebugSwitchSetsEveryLine) {
    GeneralFunctions::State().DebugMode = 0;
    SetCommandLine(JoinArguments({"/li:c:\\cfg\\a.ini", "/debug", "my file"}));
    EXPECT_EQ(CommandLine().CommandLineText, "/LI:C:\\CFG\\A.INI /DEBUG \"MY FILE\"");
    EXPECT_EQ(CommandLine().CommandLineTyped, "/li:c:\\cfg\\a.ini /debug \"my file\"");
    ApplyDebugSwitch();
    EXPECT_EQ(GeneralFunctions::State().DebugMode, -1);

    GeneralFunctions::State().DebugMode = 3;
    SetCommandLine("/PLAYERS=2");
    ApplyDebugSwitch();
    EXPECT_EQ(GeneralFunctions::State().DebugMode, 3);
    GeneralFunctions::State().DebugMode = 0;
    SetCommandLine("");
}
