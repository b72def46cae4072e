#include "player_controls/EngineSettings.h"
#include "player_controls/EngineDebugFile.h"

#include "core/Registry.h"
#include "platform/VB.h"
#include "support/ScratchRegistry.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using TestSupport::ReadBytes;

TEST(EngineRegistrySettings, MissingValuesTakeDefaultsAndStoredOnesAreRead) {
    TestSupport::ScratchRegistry registry;
    EngineSettings::EngineRegistrySettings s = EngineSettings::ReadEngineRegistrySettings();
    EXPECT_EQ(s.FadeMode, 2);
    EXPECT_TRUE(s.FlushBuffers);
    EXPECT_EQ(s.FlushBufferLengthms, 1);

    const auto save = [](const char* name, int32_t v) {
        Registry::SaveRegLong(Platform::HKEY_LOCAL_MACHINE, EngineSettings::EngineRegistryKey, name,
                              v, -12345);
    };
    save("FadeMode", 0);
    save("FlushBuffers", 0);
    save("FlushBufferLengthms", 250);
    s = EngineSettings::ReadEngineRegistrySettings();
    EXPECT_EQ(s.FadeMode, 0);
    EXPECT_FALSE(s.FlushBuffers);
    EXPECT_EQ(s.FlushBufferLengthms, 250);
    save("FlushBuffers", 7); // any nonzero value is True
    EXPECT_TRUE(EngineSettings::ReadEngineRegistrySettings().FlushBuffers);
}

TEST(EngineDebugFile, NameSetsLevelAndSetDebugFileSetsBoth) {
    EngineDebugFile f;
    EXPECT_EQ(f.Level(), dmOff);
    f.SetFileName("x.log");
    EXPECT_EQ(f.Level(), dmBasic);
    f.SetFileName("");
    EXPECT_EQ(f.Level(), dmOff);
    f.SetDebugFile("y.log", dmFull);
    EXPECT_EQ(f.FileName(), "y.log");
    EXPECT_EQ(f.Level(), dmFull);
    f.SetDebugFile("", dmMedium); // level set after the name
    EXPECT_EQ(f.Level(), dmMedium);
    EXPECT_FALSE(f.Enabled()); // no name, no lines
}

TEST(EngineDebugFile, LinesByLevelWithTimeAndBlankLineAfterEnd) {
    TestSupport::ScratchDir dir;
    TestSupport::FrozenClock clock(46000, 3723.0);
    const std::string stamp = VB::FormatDate(46000 + 3723.0 / 86400.0, "ddddd hh:nn:ss");
    const std::string name = dir.File("engine.log");
    EngineDebugFile f;
    f.SetDebugFile(name, dmMedium);
    f.Write("Start Function PlayAudio");
    f.Write("Flushing Playback", dmMedium);
    f.Write("BufferAvailable Event", dmFull);
    f.Write("End Function PlayAudio");
    EXPECT_EQ(ReadBytes(name), stamp + " Start Function PlayAudio\r\n" + stamp +
                                   " Flushing Playback\r\n" + stamp +
                                   " End Function PlayAudio\r\n\r\n");
    f.SetLevel(dmOff);
    f.Write("Start Function CueAudio");
    EXPECT_EQ(ReadBytes(name).find("CueAudio"), std::string::npos);
}

TEST(EngineDebugFile, WithoutBlankLinesEndLinesAreOrdinaryLines) {
    TestSupport::ScratchDir dir;
    TestSupport::FrozenClock clock(46000, 60.0);
    const std::string stamp = VB::FormatDate(46000 + 60.0 / 86400.0, "ddddd hh:nn:ss");
    const std::string name = dir.File("recorder.log");
    EngineDebugFile f;
    EXPECT_TRUE(f.BlankLineAfterEnd()) << "the player's way by default";
    f.SetBlankLineAfterEnd(false);
    f.SetFileName(name);
    f.Write("End Function RecordAudio");
    f.Write("Start Function ClearBuffer");
    EXPECT_EQ(ReadBytes(name),
              stamp + " End Function RecordAudio\r\n" + stamp + " Start Function ClearBuffer\r\n");
}

TEST(EngineDebugFile, OversizedFileIsStartedAgainAndBadPathIgnored) {
    TestSupport::ScratchDir dir;
    const std::string name = dir.File("big.log");
    TestSupport::WriteBytes(name, std::string(1258292, 'x'));
    EngineDebugFile f;
    f.SetFileName(name);
    f.Write("Start Function OpenAudio");
    EXPECT_LT(ReadBytes(name).size(), 100u);
    EXPECT_NE(ReadBytes(name).find("Start Function OpenAudio"), std::string::npos);

    TestSupport::WriteBytes(name, std::string(1258291, 'x')); // not above the limit: kept
    f.Write("Start Function CloseAudio");
    EXPECT_GT(ReadBytes(name).size(), 1258291u);

    const std::string kept = ReadBytes(name);
    f.SetFileName(dir.File("no/such/folder/x.log"));
    f.Write("Start Function PlayAudio"); // ignored
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.File("no"))));
    EXPECT_EQ(ReadBytes(name), kept) << "the old file is not written either";
}
