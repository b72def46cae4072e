// The split window on real cart players on the capture device: the log display with its
// frame colours, the keyboard map, the close box, the countdown panel, and editing the
// working log on real files.
#include "support/BreakRig.h"

#include "breaks/LogEditing.h"
#include "breaks/ZEL_Common.h"
#include "breaks/frmSplit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <filesystem>
#include <gtest/gtest.h>

using BreakRig::Advert;
using BreakRig::Rig;

namespace {

class SplitWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Open());
        for (const Advert& a : {Advert{801, 6.0f, 5.0f, "Advert One", "R1", 1000},
                                Advert{802, 5.0f, 4.0f, "Advert Two", "R2", 2000},
                                Advert{901, 4.0f, 3.0f, "Later", "R3", 8000}})
            ASSERT_TRUE(rig.AddAdvert(a));
        // 10:00 two adverts of our chain and one of another; 11:00 one advert.
        const std::string text = Line(36000, "NE", 801) + Line(36000, "SE", 901) +
                                 Line(36000, "NE", 802) + "\r\n" + Line(39600, "NE", 901) + "\r\n";
        TestSupport::WriteBytes(LogPath(), text);
        window = std::make_unique<frmSplit>(rig.Engine(), Doors());
        window->resize(900, 560);
        window->show();
        window->Form_Load();
    }
    void TearDown() override { ZEL_Common::SetFileRenamer({}); }

    static std::string Line(float time, const std::string& chain, int32_t cart,
                            bool shortForm = false) {
        return AdvertLog_FN::BuildLogLine(time, chain, cart, "Title " + std::to_string(cart), "",
                                          5.0f, shortForm) +
               "\r\n";
    }
    static std::string LogPath() {
        return Breaks::Split(1)->LogDestinationDirectory + "/" +
               VB::FormatDate(Rig::kDay, "yymmdd") + ".LOG";
    }
    SplitWindowDoors Doors() {
        SplitWindowDoors d;
        d.PlayCartGroup = [this](int16_t g, bool) {
            calls.push_back("group " + std::to_string(g));
        };
        d.pnlCartGroup_Click = [this](int16_t b) {
            calls.push_back("button " + std::to_string(b));
        };
        d.tbsCartGroups = [this](int16_t p) { calls.push_back("page " + std::to_string(p)); };
        d.ConnectToZOZ = [this] { calls.push_back("zoz"); };
        return d;
    }
    // A key press as the keyboard gives it to the focused control.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&window->listadBreak, &event);
    }
    // A shifted key of the main digit row as the X keyboard gives it.
    void PressTyped(int key, const char* text, quint32 scanCode, quint32 keySym) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::ShiftModifier, scanCode, keySym, 1,
                        QString::fromLatin1(text));
        QApplication::sendEvent(&window->listadBreak, &event);
    }
    std::string Total(size_t row) const { return window->Log().Rows.at(row - 1).front().text; }

    TestSupport::ScriptedBoxes boxes;
    Rig rig;
    std::unique_ptr<frmSplit> window;
    std::vector<std::string> calls;
};

} // namespace

TEST_F(SplitWindow, ShowsTheCuedBreakPlaysItByKeysAndRefusesTheCloseBox) {
    LogDisplay& log = window->Log();
    ASSERT_EQ(rig.Engine().Break().AdvertCount, 2); // load cued the first break after 09:00
    EXPECT_EQ(calls, std::vector<std::string>{"zoz"});
    // Rows: 10:00 with its two adverts (the other chain's line skipped), total, blank, 11:00.
    EXPECT_EQ(log.LogLinePos[1], 1);
    EXPECT_EQ(log.LogLinePos[2], 1 + 2 * static_cast<int32_t>(Line(0, "NE", 1).size()));
    EXPECT_EQ(log.LogLinePos[3], 0);
    EXPECT_EQ(log.Rows[0][0].text, "10:00");
    EXPECT_EQ(log.Rows[2][0].text, GeneralFunctions::FormatDuration(9.0, 203));
    EXPECT_EQ(log.Rows[0][3].text, GeneralFunctions::FormatDuration(5.0, 202));
    ASSERT_TRUE(log.Frame);
    EXPECT_EQ(log.Frame->firstRow, 1);
    EXPECT_EQ(log.Frame->lastRow, 3);
    EXPECT_EQ(log.Frame->colour, LogDisplay::kNotCuedColour) << "no player holds it yet";
    rig.Settings().General.CueAdBreaksImmediately = 1;
    Press(Qt::Key_Backspace); // cues the break again, now on a player
    EXPECT_GE(rig.Engine().Break().PlayingPlayer, 1);
    EXPECT_EQ(log.Frame->colour, LogDisplay::kCuedColour);
    EXPECT_EQ(window->pnlAdbreakTimeRemain.text().toStdString(), rig.Engine().TimeRemainText());
    EXPECT_EQ(window->listadBreak.count(), 2);

    // Keypad, digits and Alt digits go to the cart groups.
    calls.clear();
    Press(Qt::Key_3, Qt::KeypadModifier);
    Press(Qt::Key_3, Qt::ShiftModifier);
    Press(Qt::Key_3, Qt::AltModifier);
    Press(Qt::Key_1, Qt::AltModifier);
    Press(Qt::Key_0);
    // Shifted digits as a keyboard under X sends them: the shifted symbol and text, with the
    // digit's key code (10 for 1 .. 18 for 9, 19 for 0) and the symbol's key sym.
    PressTyped(Qt::Key_Exclam, "!", 10, 0x21);
    PressTyped(Qt::Key_NumberSign, "#", 12, 0x23);
    PressTyped(Qt::Key_ParenLeft, "(", 18, 0x28);
    PressTyped(Qt::Key_ParenRight, ")", 19, 0x29);
    EXPECT_EQ(calls,
              (std::vector<std::string>{"group 3", "button 13", "page 1", "page 0", "group 10",
                                        "button 11", "button 13", "button 19", "group 10"}));

    // The close box is refused.
    window->close();
    EXPECT_TRUE(window->isVisible());

    // Space plays the cued break: the frame turns green and the countdown runs.
    const std::string before = window->pnlAdbreakTimeRemain.text().toStdString();
    Press(Qt::Key_Space);
    EXPECT_TRUE(Breaks::State().BreakRunning);
    rig.Run(2000);
    EXPECT_EQ(log.Frame->colour, LogDisplay::kPlayingColour);
    EXPECT_NE(window->pnlAdbreakTimeRemain.text().toStdString(), before);
    EXPECT_EQ(window->pnlAdbreakTimeRemain.text().toStdString(), rig.Engine().TimeRemainText());
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Completed(); }, 20000));
    std::vector<int32_t> carts;
    for (const BreakRig::Sound& s : rig.Sounds())
        carts.push_back(s.cart);
    EXPECT_EQ(carts, (std::vector<int32_t>{801, 802}));

    // The next break is cued; Pause dumps it.
    EXPECT_EQ(rig.Engine().Break().Advert(1).CartNumber, 901);
    ASSERT_TRUE(window->cmdDumpBreak.isEnabled());
    rig.sender.sent.clear();
    Press(Qt::Key_Pause);
    EXPECT_EQ(rig.sender.sent.front(), "AD_DUMP");

    // Down past the last break shows the log from its start; Home goes to the cued break.
    log.DisplayedBreakPos = rig.Engine().GetNextAdBreakFilePos(39000);
    window->UpdateLog();
    Press(Qt::Key_Down);
    EXPECT_EQ(log.DisplayedBreakPos, 1);
    // A held button repeats, and its click before the release does not step again.
    log.ScrollPress(true);
    log.TimerScroll_Timer();
    EXPECT_EQ(log.TimerScroll.interval(), 100);
    EXPECT_EQ(log.sftDownTag, "DONE");
    const int32_t stepped = log.DisplayedBreakPos;
    EXPECT_GT(stepped, 1);
    log.sftDown_Click(0);
    EXPECT_EQ(log.DisplayedBreakPos, stepped);
    log.ScrollRelease(true);
    EXPECT_TRUE(log.sftDownTag.empty());

    // Shift+Escape closes the window.
    Press(Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(SplitWindow, EditsTheWorkingLogOnItsRows) {
    LogDisplay& log = window->Log();
    const std::string original = TestSupport::ReadBytes(LogPath());
    const size_t lineLength = Line(0, "NE", 1).size();

    // A cart dropped on the second advert row goes in before that row's line, with the time
    // and chain of the line above; every other byte stays.
    EXPECT_EQ(LogDisplay::DroppedCart("lblCartNumber", 0, "901"), 901);
    EXPECT_EQ(LogDisplay::DroppedCart("CartControl", 801, ""), 801);
    EXPECT_EQ(LogDisplay::DroppedCart("txtOther", 801, "801"), 0);
    log.DragOver(2, 0);
    EXPECT_TRUE(log.MarkerShown);
    const int32_t second = log.DropOnRow(2);
    window->InsertAdvert(second, 901);
    std::string edited = TestSupport::ReadBytes(LogPath());
    const std::string inserted = edited.substr(static_cast<size_t>(second - 1), lineLength);
    EXPECT_EQ(AdvertLog_FN::GetLineCartNumber(inserted), 901);
    EXPECT_EQ(AdvertLog_FN::GetLineTime(inserted), 36000);
    EXPECT_EQ(AdvertLog_FN::GetLineChainCode(inserted), "NE");
    EXPECT_EQ(edited.substr(0, second - 1) + edited.substr(second - 1 + lineLength), original);
    EXPECT_EQ(rig.Engine().Break().AdvertCount, 3) << "the cued break was reloaded";

    // A drop on the top row goes in before the log's first line, with that line's time and
    // chain.
    ASSERT_EQ(log.DropOnRow(1), 1);
    window->InsertAdvert(log.DropOnRow(1), 802);
    const std::string top = TestSupport::ReadBytes(LogPath());
    ASSERT_EQ(top.size(), edited.size() + lineLength);
    EXPECT_EQ(AdvertLog_FN::GetLineCartNumber(top.substr(0, lineLength)), 802);
    EXPECT_EQ(AdvertLog_FN::GetLineTime(top.substr(0, lineLength)), 36000);
    EXPECT_EQ(AdvertLog_FN::GetLineChainCode(top.substr(0, lineLength)), "NE");
    EXPECT_EQ(top.substr(lineLength), edited);
    EXPECT_EQ(rig.Engine().Break().AdvertCount, 4);
    EXPECT_EQ(rig.Engine().Break().Advert(1).CartNumber, 802);

    // Removing the last advert of a break that has others keeps the blank line ending it.
    const size_t endOfBreak = top.find(Line(36000, "NE", 802));
    window->RemoveAdvert(static_cast<int32_t>(endOfBreak) + 1);
    const std::string shorter = TestSupport::ReadBytes(LogPath());
    EXPECT_EQ(shorter, top.substr(0, endOfBreak) + top.substr(endOfBreak + lineLength));
    EXPECT_EQ(rig.Engine().Break().AdvertCount, 3);

    // Removing the only advert of the last break leaves no two blank lines in a row.
    const int32_t last = static_cast<int32_t>(shorter.find(Line(39600, "NE", 901))) + 1;
    window->RemoveAdvert(last);
    const std::string removed = TestSupport::ReadBytes(LogPath());
    EXPECT_EQ(removed.find("\r\n\r\n\r\n"), std::string::npos);
    EXPECT_EQ(removed, shorter.substr(0, static_cast<size_t>(last - 1)));

    // Refused while a break plays or a copy runs.
    Breaks::State().BreakRunning = true;
    window->InsertAdvert(second, 801);
    Breaks::State().BreakRunning = false;
    Breaks::State().LogCopyInProgress = true;
    window->RemoveAdvert(second);
    Breaks::State().LogCopyInProgress = false;
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Shown()[0].prompt, "You cannot add to the log while a break is playing");
    EXPECT_EQ(boxes.Shown()[1].prompt,
              "You cannot edit the log while a new log is being copied onto the system");
    EXPECT_EQ(TestSupport::ReadBytes(LogPath()), removed);

    // A failed rename of the old log: the log stays open and no temporary file is left.
    ZEL_Common::SetFileRenamer([](const std::string&, const std::string&, std::string& error) {
        error = "refused";
        return false;
    });
    EXPECT_FALSE(ZEL_Common::RemoveAdvertFromLogFile(1, second));
    EXPECT_NE(Breaks::Split(1)->LogFileNumber, 0);
    EXPECT_FALSE(Breaks::State().LogCopyInProgress);
    EXPECT_EQ(TestSupport::ReadBytes(LogPath()), removed);
    for (const auto& entry :
         std::filesystem::directory_iterator(Breaks::Split(1)->LogDestinationDirectory))
        EXPECT_NE(entry.path().extension(), ".TMP") << entry.path();
    ZEL_Common::SetFileRenamer({});

    // The new log refused and the old one refused back: the old one stays whole where the box
    // says it was left.
    const std::string working = Breaks::Split(1)->WorkingLogPath;
    ZEL_Common::SetFileRenamer(
        [&](const std::string& from, const std::string& to, std::string& error) {
            if (from == working) return std::rename(from.c_str(), to.c_str()) == 0;
            error = "refused";
            return false;
        });
    EXPECT_FALSE(ZEL_Common::RemoveAdvertFromLogFile(1, second));
    ZEL_Common::SetFileRenamer({});
    ASSERT_EQ(boxes.Count(), 4u);
    const std::string said = boxes.Shown().back().prompt;
    const std::string leftAs = "left as : ";
    ASSERT_NE(said.find(leftAs), std::string::npos) << said;
    EXPECT_EQ(TestSupport::ReadBytes(said.substr(said.find(leftAs) + leftAs.size())), removed);

    // A short-form log with bare line feeds: the insertion is short and keeps the line ends.
    std::string shortLog = Line(36000, "NE", 801, true) + Line(36000, "NE", 802, true);
    for (size_t at; (at = shortLog.find("\r\n")) != std::string::npos;)
        shortLog.erase(at, 1);
    TestSupport::WriteBytes(LogPath(), shortLog);
    ZEL_Common::OpenLogFile(1, LogPath());
    const int32_t secondShort = static_cast<int32_t>(shortLog.find('\n')) + 2;
    EXPECT_TRUE(ZEL_Common::InsertAdvertIntoLogFile(1, secondShort, 901));
    const std::string shortEdited = TestSupport::ReadBytes(LogPath());
    const std::string newLine = shortEdited.substr(static_cast<size_t>(secondShort - 1),
                                                   shortEdited.find('\n', secondShort - 1) -
                                                       static_cast<size_t>(secondShort - 1));
    EXPECT_TRUE(AdvertLog_FN::IsShortLogLine(newLine)) << newLine;
    EXPECT_EQ(shortEdited.find('\r'), std::string::npos);
}

TEST_F(SplitWindow, KeepsTheLogUpdateTimerRunningAndTheRowTableBounded) {
    Breaks::Split(1)->LogUpdateInterval = 0;
    window->Form_Activate();
    EXPECT_EQ(window->tmrLogUpdateInterval.interval(), 1000);
    Breaks::Split(1)->LogUpdateInterval = 32000;
    window->Form_Activate();
    EXPECT_EQ(window->tmrLogUpdateInterval.interval(), 32000000);

    LogDisplay& log = window->Log();
    log.LogLineHeight = 240;
    EXPECT_EQ(log.RowAt(49 * 240 + 10), 50);
    EXPECT_EQ(log.RowAt(50 * 240 + 10), 0);
    log.UpdateLog(9000, 400); // a display taller than the table draws 50 rows at most
    EXPECT_LE(log.Rows.size(), 50u);

    window->SetPlayerDescription(1, std::string(50, 'a') + std::string(10, 'b'));
    const auto& cart = rig.Player(1).Cart;
    EXPECT_EQ(cart.Description2, std::string(10, 'b') + std::string(40, ' '));
    EXPECT_EQ(cart.Description3, std::string(50, ' '));
}

TEST_F(SplitWindow, CurrentBreakShowsWholeTitlesWithoutScrollingSideways) {
    // The titles of a three-advert break, each filling the log's 30-character column.
    window->listadBreak.clear();
    for (const char* title : {"Harbour Motors Spring Sale Now", "City Bakery Fresh Bread Daily",
                              "Lakeside Dental Care Practice"})
        window->listadBreak.addItem(title);
    window->resize(1000, 560);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->listadBreak.horizontalScrollBar()->maximum(), 0);
    EXPECT_LE(window->listadBreak.sizeHintForColumn(0), window->listadBreak.viewport()->width());
}

TEST_F(SplitWindow, EditsOfAnEarlierBreakKeepTheCuedBreakWholeAndCuedOnce) {
    // 06:00 two adverts, 10:00 two adverts with advert 1 cued on a player, 11:00 one.
    const std::string early = Line(21600, "NE", 901) + Line(21600, "NE", 802);
    TestSupport::WriteBytes(LogPath(), early + "\r\n" + Line(36000, "NE", 801) +
                                           Line(36000, "NE", 802) + "\r\n" +
                                           Line(39600, "NE", 901) + "\r\n");
    ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    ASSERT_TRUE(ZEL_Common::OpenLogFile(1, LogPath()));
    split.CuedBreakPos = 0;
    split.CuedBreakTime = -1;
    rig.Engine().SetCurrentAdBreakTime(Rig::kDay, 36000, false, true);
    const SplitEngine& engine = rig.Engine();
    ASSERT_EQ(engine.Break().PlayingPlayer, 1);
    auto holding = [&](int32_t cart) {
        return (rig.Player(1).CartNumber == cart ? 1 : 0) +
               (rig.Player(2).CartNumber == cart ? 1 : 0);
    };
    auto expectCuedWhole = [&](const char* after) {
        SCOPED_TRACE(after);
        const std::string text = TestSupport::ReadBytes(LogPath());
        EXPECT_EQ(split.CuedBreakPos, static_cast<int32_t>(text.find(Line(36000, "NE", 801))) + 1);
        EXPECT_FLOAT_EQ(split.CuedBreakTime, 36000);
        ASSERT_EQ(engine.Break().AdvertCount, 2);
        EXPECT_EQ(engine.Break().Advert(1).CartNumber, 801);
        EXPECT_EQ(engine.Break().Advert(2).CartNumber, 802);
        EXPECT_EQ(holding(801), 1) << "advert 1 is cued on one player";
        EXPECT_GE(engine.Break().PlayingPlayer, 1);
    };

    // The display keeps the break it shows whatever the edit moved.
    const LogDisplay& view = window->Log();
    auto expectShown = [&](float time, int32_t position) {
        EXPECT_FLOAT_EQ(view.DisplayedBreakTime, time);
        EXPECT_EQ(view.DisplayedBreakPos, position);
    };

    // An edit after the cued break leaves it where it was, cued once.
    const std::string before = TestSupport::ReadBytes(LogPath());
    window->InsertAdvert(static_cast<int32_t>(before.find(Line(39600, "NE", 901))) + 1, 901);
    expectCuedWhole("edited later");
    expectShown(36000, split.CuedBreakPos);
    // Removing a line of the 06:00 break moves the cued break up; inserting one moves it down.
    Press(Qt::Key_Up);
    expectShown(21600, 1);
    const int32_t secondEarly = static_cast<int32_t>(Line(0, "NE", 1).size()) + 1;
    window->RemoveAdvert(secondEarly);
    expectCuedWhole("removed");
    expectShown(21600, 1);
    Press(Qt::Key_Home);
    window->InsertAdvert(secondEarly, 802);
    window->InsertAdvert(secondEarly, 801);
    expectCuedWhole("inserted");
    expectShown(36000, split.CuedBreakPos);

    // The break plays whole, advert 2 at advert 1's segue point.
    rig.PlayBreak();
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Completed(); }, 20000));
    rig.Run(6000);
    std::vector<int32_t> carts;
    for (const BreakRig::Sound& s : rig.Sounds())
        carts.push_back(s.cart);
    EXPECT_EQ(carts, (std::vector<int32_t>{801, 802}));
    for (const BreakRig::Join& join : rig.Joins()) {
        EXPECT_GE(join.actual, join.expected) << join.next;
        EXPECT_LE(join.actual - join.expected, Rig::kRate * Rig::kStepMs / 1000) << join.next;
    }
    EXPECT_EQ(engine.Break().Advert(1).CartNumber, 901); // then 11:00 is cued
}
