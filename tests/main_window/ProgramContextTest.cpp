// Two instances in one process: each program context keeps its own general state (trace level
// and depth, the folder chooser's start) and its own main window while a scope makes it current.
#include "support/TestSupport.h"

#include "core/GeneralFunctions.h"
#include "main_window/ProgramContext.h"
#include "main_window/frmMain.h"

#include <gtest/gtest.h>

using namespace GeneralFunctions;

TEST(ProgramContexts, MasterAndSlaveKeepTheirOwnStateAndMainWindow) {
    TestSupport::ScratchDir dir;
    TestSupport::FrozenClock clock{46363, 9 * 3600};
    qputenv("VNTZEL_SYSTEMDRIVE", QByteArray::fromStdString(dir.Path()));
    const int32_t outerMode = State().DebugMode;

    ProgramContext master, slave;
    {
        ContextScope scope(master);
        State().DebugMode = -1;
        State().browseStartFolder = "/master";
        WriteDebugLineNest("master enters", 5, dkEnter);
        MainWindow::frmMain* masterForm = &MainWindow::MainForm();
        {
            ContextScope inner(slave);
            EXPECT_EQ(State().DebugMode, 0);
            EXPECT_EQ(State().traceDepth, 0);
            EXPECT_TRUE(State().browseStartFolder.empty());
            EXPECT_EQ(MainWindow::MainFormIfLoaded(), nullptr);
            State().DebugMode = -1;
            WriteDebugLine("slave at its own depth", 5);
            EXPECT_NE(&MainWindow::MainForm(), masterForm);
        }
        WriteDebugLine("master at depth one", 5);
        EXPECT_EQ(State().traceDepth, 1);
        EXPECT_EQ(State().browseStartFolder, "/master");
        EXPECT_EQ(MainWindow::MainFormIfLoaded(), masterForm);
    }
    EXPECT_EQ(&State(), &CurrentContext().General);
    EXPECT_EQ(State().DebugMode, outerMode);
    EXPECT_NE(master.MainForm, slave.MainForm);
    EXPECT_EQ(TestSupport::ReadBytes(DebugTraceFile(46363)),
              "09:00:00 master enters\r\n"
              "09:00:00 slave at its own depth\r\n"
              "09:00:00     master at depth one\r\n");
    qunsetenv("VNTZEL_SYSTEMDRIVE");
}
