// The drive search for the data folder and list files, and the cache check of this platform.
#include "support/TestSupport.h"

#include "core/DataLocation.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace DataLocation;
using TestSupport::WriteBytes;

namespace {

class DataLocationTest : public ::testing::Test {
protected:
    DataLocationTest() { setenv("VNTZEL_SYSTEMDRIVE", dir_.Path().c_str(), 1); }
    ~DataLocationTest() override { unsetenv("VNTZEL_SYSTEMDRIVE"); }
    void Put(const std::string& relative, const std::string& bytes = "x") {
        std::filesystem::path path = dir_.File(relative);
        std::filesystem::create_directories(path.parent_path());
        WriteBytes(path.string(), bytes);
    }
    TestSupport::ScratchDir dir_;
};

TEST_F(DataLocationTest, LaterCandidatesWinAndEmptyFilesDoNotCount) {
    Put("VNTD_SYS.INI");
    Put("SYSTEM/VNTD_SYS.INI");
    Put("Carts1.LST");
    Put("VANTOR/AUDIO/AUDIO2/Carts2.LST");
    Put("AUDIO/Carts3.LST", "");
    bool network = false;
    std::string data;
    std::vector<std::string> folders(4);
    EXPECT_TRUE(FindSystemLocations(false, network, data, folders));
    EXPECT_FALSE(network);
    EXPECT_EQ(data, dir_.File("SYSTEM"));
    EXPECT_EQ(folders[1], dir_.Path());
    EXPECT_EQ(folders[2], dir_.File("VANTOR/AUDIO/AUDIO2"));
    EXPECT_EQ(folders[3], "");
}

TEST_F(DataLocationTest, NetworkOnlyFindsNothingWithoutNetworkDrives) {
    Put("VNTD_SYS.INI");
    bool network = false;
    std::string data;
    std::vector<std::string> folders(2);
    EXPECT_FALSE(FindSystemLocations(true, network, data, folders));
    EXPECT_EQ(data, "");
}

TEST_F(DataLocationTest, CacheCheckOnlySpeaksWhenAsked) {
    TestSupport::ScriptedBoxes boxes;
    CheckFileCacheSettings("", true);
    CheckFileCacheSettings("Software\\OrburyCo\\Vantor v2", false);
    EXPECT_EQ(boxes.Count(), 0u);
    CheckFileCacheSettings("Software\\OrburyCo\\Vantor v2", true);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].prompt,
              "Your Windows(TM) Operating System does not need to be optimised, as it is "
              "natively optimized for Audio playback");
    EXPECT_EQ(boxes.Shown()[0].buttons, Platform::vbInformation);
}

} // namespace
