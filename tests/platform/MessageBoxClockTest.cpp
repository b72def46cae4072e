#include "support/TestSupport.h"

#include "platform/Text1252.h"

#include <gtest/gtest.h>

using namespace Platform;

TEST(MessageBox, ScriptedAnswersThenDefaultButton) {
    TestSupport::ScriptedBoxes boxes({vbNo});
    EXPECT_EQ(MsgBox("First?", vbYesNo | vbQuestion, "Title"), vbNo);
    // The script is used up: the default button answers, including a second default.
    EXPECT_EQ(MsgBox("Second?", vbYesNoCancel | vbDefaultButton2), vbNo);
    EXPECT_EQ(MsgBox("Third", vbOKOnly), vbOK);
    EXPECT_EQ(MsgBox("Fourth", vbRetryCancel | vbDefaultButton3), vbRetry);
    ASSERT_EQ(boxes.Count(), 4u);
    EXPECT_EQ(boxes.Shown()[0].prompt, "First?");
    EXPECT_EQ(boxes.Shown()[0].title, "Title");
    EXPECT_EQ(boxes.Shown()[0].answer, vbNo);
}

TEST(MessageBox, HeadlessAnswersWithDefaultAndTellsObserver) {
    ClearShownBoxes();
    std::vector<ShownBox> seen;
    SetMsgBoxObserver([&](const ShownBox& box) { seen.push_back(box); });
    EXPECT_TRUE(MsgBoxIsHeadless());
    EXPECT_EQ(MsgBox("Abort?", vbAbortRetryIgnore | vbDefaultButton3), vbIgnore);
    SetMsgBoxObserver({});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].answer, vbIgnore);
    ClearShownBoxes();
}

TEST(Clock, SetAdvanceAcrossMidnight) {
    int32_t day = Clock::SerialOfDate(2026, 12, 8);
    EXPECT_EQ(day, 46364);
    TestSupport::FrozenClock clock(day, 86399.5);
    uint32_t ticks = Clock::TickCount();
    EXPECT_EQ(Clock::Today(), day);
    Clock::Advance(1.0);
    EXPECT_EQ(Clock::Today(), day + 1);
    EXPECT_NEAR(Clock::Timer(), 0.5, 1e-9);
    EXPECT_GE(Clock::TickCount() - ticks, 1000u);
    EXPECT_NEAR(Clock::NowSerial(), day + 1 + 0.5 / 86400.0, 1e-9);
    int y, m, d;
    Clock::DateOfSerial(day + 1, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20261209);
    Clock::DateOfSerial(0, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991230);
}

TEST(Text1252, RoundTripsEveryDefinedByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    QString text = FromWindows1252(all);
    EXPECT_EQ(text[0x80 - 1], QChar(0x20AC));
    EXPECT_EQ(text[0xE9 - 1], QChar(0xE9));
    EXPECT_EQ(ToWindows1252(text), all);
    EXPECT_EQ(ToWindows1252(QString::fromUtf8("\xE2\x82\xAC \xE4\xB8\xAD")), "\x80 ?");
}
