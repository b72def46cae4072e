#include "CartsFixture.h"

#include <sys/stat.h>

using namespace Vantor_Cart_Routines;
using CartsTest::AudiowallTest;
using CartsTest::Record;
using TestSupport::ReadBytes;
using TestSupport::ScriptedBoxes;
using TestSupport::WriteBytes;

namespace {

int64_t SizeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

} // namespace

TEST(AudiowallNumbers, PartsAndRecords) {
    EXPECT_EQ(GetCartPart(1), 1);
    EXPECT_EQ(GetCartPart(1000), 1);
    EXPECT_EQ(GetCartPart(1001), 2);
    EXPECT_EQ(GetCartPart(10000), 10);
    EXPECT_EQ(GetCartPart(0), 0);
    EXPECT_EQ(GetCartPart(-1), 11);
    EXPECT_EQ(GetCartPart(10001), 11);
}

TEST_F(AudiowallTest, QuietConnectCreatesAndPadsEveryList) {
    UseFolder("wall", 1, 10);
    ScriptedBoxes boxes;
    ASSERT_EQ(ConnectAudiowallParts(0, true), 0);
    EXPECT_EQ(boxes.Count(), 0u);
    for (int p = 1; p <= 10; ++p) {
        EXPECT_EQ(Part(p).Status, PartFound);
        EXPECT_TRUE(Part(p).IsOpen);
        EXPECT_EQ(Part(p).ListFileName, "Carts" + std::to_string(p) + ".lst");
        EXPECT_EQ(SizeOf(ListFile(p)), p == 10 ? 999 * 300 : 1000 * 300) << p;
    }
    std::string list = ReadBytes(ListFile(10));
    EXPECT_EQ(Record(list, 1), CartsTest::BlankEntryBytes());
    EXPECT_EQ(Record(list, 999), CartsTest::BlankEntryBytes());
    EXPECT_EQ(Part(11).Status, PartNotExamined); // NoCarts 9999 ends in part 10
}

TEST_F(AudiowallTest, MissingLocationsAreCountedAndNothingOpens) {
    UseFolder("wall", 1, 7);
    ScriptedBoxes boxes;
    EXPECT_EQ(ConnectAudiowallParts(0, false), -1);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].prompt,
              "3 locations of the AudioWall have not been set : Please check your configuration.");
    EXPECT_FALSE(Part(1).IsOpen);
    EXPECT_EQ(ConnectAudiowallParts(0, true), -1);
    EXPECT_EQ(boxes.Count(), 1u);
}

TEST_F(AudiowallTest, SharedMissingFolderIsExaminedOnce) {
    Settings().Audio.NoCarts = 2000;
    Part(1).Location = dir_.File("gone");
    Part(2).Location = dir_.File("gone");
    ScriptedBoxes boxes;
    EXPECT_EQ(ConnectAudiowallParts(0, false), -1);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].prompt,
              "There was a problem connecting part(s) of the Audio Wall because the directory: "
              "\n\n\"" +
                  dir_.File("gone") + "\"\n\n could not be found");
    EXPECT_EQ(Part(1).Status, PartMissing);
    EXPECT_EQ(Part(2).Status, PartMissing);
}

TEST_F(AudiowallTest, AskingBeforeCreatingAList) {
    Settings().Audio.NoCarts = 3000;
    UseFolder("wall", 1, 3);
    ScriptedBoxes boxes({Platform::vbYes, Platform::vbNo, Platform::vbYes});
    EXPECT_EQ(ConnectAudiowallParts(0, false), 0);
    ASSERT_EQ(boxes.Count(), 3u);
    EXPECT_EQ(boxes.Shown()[1].prompt, "Part 2 of the AudioWall has not been found.\nDo you wish "
                                       "to create it in :\n" +
                                           ListFile(2));
    EXPECT_EQ(boxes.Shown()[1].buttons, Platform::vbYesNoCancel | Platform::vbQuestion);
    EXPECT_TRUE(Part(1).IsOpen);
    EXPECT_FALSE(Part(2).IsOpen);
    EXPECT_EQ(Part(2).Status, PartFound);
    EXPECT_EQ(SizeOf(ListFile(2)), -1);
    EXPECT_TRUE(Part(3).IsOpen);

    CloseAudiowallParts();
    std::filesystem::remove(ListFile(3));
    boxes.Answer(Platform::vbCancel);
    EXPECT_EQ(ConnectAudiowallParts(0, false), -1); // parts 1 exists; 2 asked: cancel
    EXPECT_EQ(boxes.Count(), 4u);
    EXPECT_FALSE(Part(3).IsOpen);
}

TEST_F(AudiowallTest, ExistingListsAreExtendedFromTheirLastWholeRecord) {
    Settings().Audio.NoCarts = 4000;
    std::string wall = UseFolder("wall", 1, 4);
    std::string first = CartsTest::FullEntryBytes();
    WriteBytes(wall + "/Carts1.lst", first + first);                // 600 bytes
    WriteBytes(wall + "/Carts2.lst", std::string(300000, 'Z'));     // complete
    WriteBytes(wall + "/Carts3.lst", first + first.substr(0, 150)); // a half record
    WriteBytes(wall + "/CARTS4.LST", first);                        // other case
    ASSERT_EQ(ConnectAudiowallParts(0, true), 0);

    std::string one = ReadBytes(ListFile(1));
    EXPECT_EQ(one.size(), 300000u);
    EXPECT_EQ(one.substr(0, 600), first + first);
    EXPECT_EQ(Record(one, 3), CartsTest::BlankEntryBytes());
    EXPECT_EQ(ReadBytes(ListFile(2)), std::string(300000, 'Z'));
    std::string three = ReadBytes(ListFile(3));
    EXPECT_EQ(three.size(), 300000u);
    EXPECT_EQ(Record(three, 1), first);
    EXPECT_EQ(Record(three, 2), CartsTest::BlankEntryBytes());
    // The list file was found under its other spelling and no second file was made.
    EXPECT_EQ(SizeOf(wall + "/CARTS4.LST"), 300000);
    EXPECT_EQ(SizeOf(wall + "/Carts4.lst"), -1);
}

TEST_F(AudiowallTest, ConnectingKeepsPlayersButResetsTheTwoSettings) {
    UseFolder("wall", 1, 10);
    context_.Players.PlayerTable[1].Status = CartPlayers::Playing;
    context_.Players.PlayerTable[2].Status = CartPlayers::Cued;
    Settings().Audio.MaintainLegacyCartList = 0;
    Settings().Audio.PlayCartsInstantly = 0;
    ASSERT_EQ(ConnectAudiowallParts(0, true), 0);
    EXPECT_EQ(context_.Players.PlayerTable[1].Status, CartPlayers::Playing);
    EXPECT_EQ(context_.Players.PlayerTable[2].Status, CartPlayers::Cued);
    EXPECT_NE(Settings().Audio.MaintainLegacyCartList, 0);
    EXPECT_NE(Settings().Audio.PlayCartsInstantly, 0);
    EXPECT_EQ(context_.Carts.PlayerStateNames[11], "Playing ");
    EXPECT_EQ(context_.Carts.PlayerStateNames[14], "Selected");
    EXPECT_EQ(context_.Carts.PlayerStateNames[1], "        ");

    // A quiet reconnect from a read of a part that went missing leaves the players alone too.
    Part(3).Status = PartMissing;
    CartRecord rec;
    EXPECT_EQ(ReadCart(rec, 2500), 0);
    EXPECT_EQ(context_.Players.PlayerTable[1].Status, CartPlayers::Playing);

    InitialiseCartData();
    EXPECT_EQ(context_.Players.PlayerTable[1].Status, CartPlayers::Empty);
    EXPECT_EQ(context_.Players.PlayerTable[2].Status, CartPlayers::Empty);
    EXPECT_EQ(context_.Carts.CartRangeFirst, 1);
    EXPECT_EQ(context_.Carts.CartRangeLast, 99999);
}

TEST_F(AudiowallTest, CloseAndReopen) {
    UseFolder("wall", 1, 10);
    ASSERT_EQ(ConnectAudiowallParts(0, true), 0);
    int32_t number = Part(4).FileNumber;
    EXPECT_GT(number, 0);
    EXPECT_TRUE(ReopenPartListFile(4));
    EXPECT_EQ(Part(4).FileNumber, number);
    EXPECT_FALSE(ReopenPartListFile(12));
    CloseAudiowallParts();
    EXPECT_FALSE(Part(4).IsOpen);
    EXPECT_EQ(Part(4).Status, PartNotExamined);
    EXPECT_EQ(Part(4).ListFileName, "");
    EXPECT_EQ(Part(4).FileNumber, number);
    // Reconnecting uses the same file number.
    ASSERT_EQ(ConnectAudiowallParts(4, true), 0);
    EXPECT_EQ(Part(4).FileNumber, number);
}

TEST_F(AudiowallTest, TwoContextsKeepTheirOwnAudiowalls) {
    UseFolder("wall", 1, 10);
    ASSERT_EQ(ConnectAudiowallParts(0, true), 0);
    ProgramContext slave;
    {
        ContextScope scope(slave);
        InitialiseCartData();
        EXPECT_EQ(Carts::State().AudiowallParts[1].Location, "");
        EXPECT_EQ(ConnectAudiowallParts(0, true), -1);
        EXPECT_FALSE(Carts::State().AudiowallParts[1].IsOpen);
    }
    EXPECT_TRUE(Part(1).IsOpen);
    EXPECT_EQ(&Carts::State(), &context_.Carts);
}
