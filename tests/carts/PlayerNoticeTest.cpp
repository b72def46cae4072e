// The notice broadcast: listener classes, slots and their order, changes from inside a notice.
#include "carts/Audio_Player_FN.h"
#include "main_window/ProgramContext.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace Audio_Player_FN;

namespace {

class Named : public CartPlayers::PlayerNoticeListener {
public:
    Named(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    void PlayerStatusNotice(int32_t& code, int16_t& player, int32_t& data) override {
        log_.push_back(name_ + ":" + std::to_string(code) + "/" + std::to_string(player) + "/" +
                       std::to_string(data));
        if (onNotice) onNotice();
    }
    std::function<void()> onNotice;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

class PlayerNoticeTest : public ::testing::Test {
protected:
    PlayerNoticeTest() : scope_(context_) { ResetNoticeListeners(); }
    ProgramContext context_;
    ContextScope scope_;
    std::vector<std::string> log_;
};

TEST_F(PlayerNoticeTest, FlagClassesSelectTheCodes) {
    Named general("g", log_), positions("p", log_), levels("l", log_), volumes("v", log_);
    AddNoticeListener(&general, 1);
    AddNoticeListener(&positions, 2);
    AddNoticeListener(&levels, 4);
    AddNoticeListener(&volumes, 8);
    for (int32_t code : {0, 4, 7, 16, 23, 31, 96, 112, 116, 117, 118, 119, 122})
        SendPlayerNotice(code, 1, 0);
    EXPECT_EQ(log_.size(), 13u);
    for (const std::string& line : log_)
        EXPECT_EQ(line[0], 'g') << line;
    log_.clear();
    for (int32_t code : {224, 231, 233, 234, 236, 239, 247, 255})
        SendPlayerNotice(code, 2, 5);
    EXPECT_EQ(log_, (std::vector<std::string>{"l:224/2/5", "l:231/2/5", "l:233/2/5", "v:234/2/5",
                                              "v:236/2/5", "v:239/2/5", "p:247/2/5", "p:255/2/5"}));
}

TEST_F(PlayerNoticeTest, SlotsAreReusedAndKeepTheirOrder) {
    Named a("a", log_), b("b", log_), c("c", log_);
    AddNoticeListener(&a, 255);
    AddNoticeListener(&b, 255);
    AddNoticeListener(&a, 1); // same slot, new flags
    EXPECT_EQ(context_.Players.NoticeListeners.Objects.size(), 2u);
    SendPlayerNotice(255, 1, 0);
    EXPECT_EQ(log_, (std::vector<std::string>{"b:255/1/0"}));
    log_.clear();

    EXPECT_TRUE(RemoveNoticeListener(&a));
    EXPECT_FALSE(RemoveNoticeListener(&a));
    AddNoticeListener(&c, 1); // takes a's slot, before b
    SendPlayerNotice(7, 3, 42);
    EXPECT_EQ(log_, (std::vector<std::string>{"c:7/3/42", "b:7/3/42"}));
    EXPECT_EQ(context_.Players.NoticeListeners.Objects.size(), 2u);
}

TEST_F(PlayerNoticeTest, ListenersMayChangeTheSlotsFromInsideANotice) {
    Named a("a", log_), b("b", log_), late("late", log_);
    AddNoticeListener(&a, 1);
    AddNoticeListener(&b, 1);
    a.onNotice = [&] {
        RemoveNoticeListener(&b);
        AddNoticeListener(&late, 1);
        a.onNotice = nullptr;
    };
    SendPlayerNotice(0, 1, 9);
    // b's slot was freed and taken by the new listener before the broadcast reached it.
    EXPECT_EQ(log_, (std::vector<std::string>{"a:0/1/9", "late:0/1/9"}));
}

} // namespace
