// The cart search on a fixture audiowall: match rules, notes limits, the time window,
// direction, Stop, the recent texts, sorting and the ways out.
#include "BrowsingFixture.h"

#include "browsing/FindCartEngine.h"

#include "browsing/frmFindCart.h"
#include "core/GeneralFunctions.h"
#include "platform/VB.h"
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QTabWidget>
#include <algorithm>

using Browsing::FindCartEngine;

namespace BrowsingTest {

namespace {

class FindCartTest : public BrowsingTest {
protected:
    void SetUp() override {
        BrowsingTest::SetUp();
        Settings().Audio.NoCarts = 12;
        Describe(1, "Alpha One", "Beta", "", 180);
        Describe(2, "Gamma", "Alpha", "", 176);
        Describe(3, "Delta", "", "", 176.5f);
        Describe(4, "Zulu", "", "", 184);
        Describe(5, "Echo", "", "", 183);
        Describe(6, "Foxtrot", "", "", 177);
        // 7 is empty; 8 and 9 carry notes of 10,000 and 10,001 bytes ending in the text.
        Describe(8, "Hotel", "", "", 30);
        Describe(9, "India", "", "", 30);
        Notes(8, std::string(9994, 'x') + "NEEDLE");
        Notes(9, std::string(9995, 'x') + "NEEDLE");
        Browsing::LastSearches().fill("");
        engine_.Load();
        engine_.Activate();
        engine_.Shown = true;
        engine_.JumpRequestForm = &receiver_;
    }
    void Notes(int32_t cart, const std::string& text) {
        TestSupport::WriteBytes(Vantor_Cart_Routines::GetCartBaseName(cart) + ".TXT", text);
    }
    std::vector<int32_t> Search(const std::string& text) {
        engine_.SearchText = text;
        engine_.cmdFind_Click();
        engine_.RunToEnd();
        std::vector<int32_t> carts;
        for (const auto& row : engine_.Results)
            carts.push_back(std::stoi(row.Text));
        return carts;
    }
    using V = std::vector<int32_t>;
    FindCartEngine engine_;
    Receiver receiver_;
};

TEST_F(FindCartTest, TextRulesNotesAndTimeWindow) {
    EXPECT_EQ(Search("*"), (V{1, 2, 3, 4, 5, 6, 8, 9}));
    EXPECT_EQ(Search("alpha"), (V{1, 2}));
    EXPECT_EQ(Search("One Beta"), (V{1})); // across the joined lines
    EXPECT_EQ(engine_.Results[0].Cells[0], "1");
    EXPECT_EQ(engine_.Results[0].Cells[1], "Alpha One");
    EXPECT_EQ(engine_.Results[0].Cells[4], VB::Trim(GeneralFunctions::FormatDuration(180, 202)));
    engine_.SetLimitLines(true);
    // Each line is searched in its own description field, and only when its box is ticked.
    Describe(11, "Kilo", "Lima", "Mike");
    const char* const words[] = {"kilo", "lima", "mike"};
    for (size_t line = 0; line < 3; ++line) {
        engine_.Lines = {line == 0, line == 1, line == 2};
        for (size_t word = 0; word < 3; ++word)
            EXPECT_EQ(Search(words[word]), (line == word ? V{11} : V{0})) << line << word;
    }
    engine_.Lines = {false, true, false};
    EXPECT_EQ(Search("alpha"), (V{2}));
    EXPECT_EQ(Search("One Beta"), (V{0})); // the "No carts found." row
    EXPECT_EQ(engine_.Results[0].Cells[1], "No carts found.");
    engine_.SetLimitLines(false);
    EXPECT_EQ(Search("needle"), (V{0}));
    engine_.Notes = true;
    EXPECT_EQ(Search("needle"), (V{8})); // 10,001 bytes: only the first 10,000 are read
    engine_.Notes = false;
    engine_.SetTimeSearch(true);
    engine_.ToleranceIndex = 0; // 3 seconds around 03:00
    EXPECT_EQ(Search("*"), (V{1, 3, 5, 6}));
    engine_.Length = "00:30";
    EXPECT_EQ(Search("*"), (V{8, 9}));
}

TEST_F(FindCartTest, DirectionStartStopAndPick) {
    engine_.Direction = 1;
    engine_.SearchFromStart = true;
    EXPECT_EQ(Search("*"), (V{9, 8, 6, 5, 4, 3, 2, 1}));
    engine_.SearchFromStart = false;
    engine_.CartStartNumber = 1;
    EXPECT_EQ(Search("*"), (V{1}));
    engine_.Direction = 0;
    engine_.CartStartNumber = 13; // beyond the audiowall: nothing examined
    EXPECT_EQ(Search("*"), (V{0}));
    // Stop keeps the rows found so far and adds no "No carts found." row.
    engine_.CartStartNumber = 1;
    engine_.SearchText = "*";
    engine_.cmdFind_Click();
    for (int i = 0; i < 3; ++i)
        engine_.Step();
    engine_.cmdStop_Click();
    engine_.RunToEnd();
    ASSERT_EQ(engine_.Results.size(), 3u);
    EXPECT_TRUE(engine_.cmdFindEnabled || !engine_.Shown);
    // Picking a row hands its cart over and hides; the "No carts found." row does nothing.
    Search("zulu");
    engine_.SelectedResult = 0;
    engine_.Pick();
    EXPECT_EQ(receiver_.jumps, V{4});
    EXPECT_TRUE(engine_.WindowClosing);
    EXPECT_TRUE(engine_.JumpRequestForm.isNull());
}

TEST_F(FindCartTest, RecentTextsKeepSixNewestFirst) {
    for (const char* text : {"a", "b", "c", "d", "e", "f", "g"})
        Search(text);
    EXPECT_EQ(engine_.SearchTexts, (std::vector<std::string>{"g", "f", "e", "d", "c", "b"}));
    Search("f");
    EXPECT_EQ(engine_.SearchTexts.front(), "f");
    ASSERT_EQ(engine_.SearchTexts.size(), 6u);
    Search(""); // an empty text matches every cart with text and is not kept
    EXPECT_EQ(engine_.SearchTexts.front(), "f");
    EXPECT_EQ(engine_.Results.size(), 8u);
    engine_.Escape();
    EXPECT_EQ(receiver_.jumps, V{0});
    EXPECT_EQ(Browsing::LastSearches()[0], "f");
    EXPECT_EQ(Browsing::LastSearches()[5], "b");
}

TEST_F(FindCartTest, ColumnClicksSortAndFlip) {
    Describe(10, "Able", "", "", 5);
    Search("*");
    engine_.ColumnClick(2); // Line 1, ascending
    EXPECT_EQ(engine_.Results.front().Cells[1], "Able");
    EXPECT_EQ(engine_.Results.back().Cells[1], "Zulu");
    engine_.ColumnClick(2);
    EXPECT_EQ(engine_.Results.front().Cells[1], "Zulu");
    engine_.ColumnClick(1); // Cart: by the hidden six digits, so 10 sorts after 9
    EXPECT_EQ(engine_.Results.front().Cells[0], "10");
    engine_.ColumnClick(1);
    EXPECT_EQ(engine_.Results.front().Cells[0], "1");
    EXPECT_EQ(engine_.Results.back().Cells[0], "10");
    auto lengthsAscending = [&] {
        return std::is_sorted(engine_.Results.begin(), engine_.Results.end(),
                              [](const auto& a, const auto& b) { return a.Cells[4] < b.Cells[4]; });
    };
    engine_.ColumnClick(5); // Length, in text order, ascending order kept
    EXPECT_TRUE(lengthsAscending());
    Search("*"); // stays sorted for the next search
    EXPECT_TRUE(lengthsAscending());
    EXPECT_EQ(engine_.Results.size(), 9u);
}

TEST_F(FindCartTest, WindowKeepsEntriesAcrossPagesAndCloseDuringASearchHides) {
    Browsing::frmFindCart& window = Browsing::FindCart();
    window.Engine().JumpRequestForm = &receiver_;
    window.show();
    // The compact window shows every field of both pages and the two buttons whole.
    auto* tabs = window.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_TRUE(window.rect().contains(tabs->geometry()));
    for (QPushButton* button : window.findChildren<QPushButton*>())
        EXPECT_TRUE(window.rect().contains(button->geometry()))
            << button->text().toStdString() << " ends at " << button->geometry().bottom()
            << " in a window " << window.height() << " high";
    QCheckBox* notes = nullptr;
    for (int page = 0; page < 2; ++page) {
        tabs->setCurrentIndex(page);
        QApplication::processEvents();
        QWidget* fields = tabs->widget(page);
        for (QWidget* field : fields->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(fields->rect().contains(field->geometry())) << page;
            if (auto* box = qobject_cast<QCheckBox*>(field); box && box->text().contains("notes"))
                notes = box;
        }
    }
    ASSERT_NE(notes, nullptr);
    tabs->setCurrentIndex(0);
    // Ctrl+Tab switches pages and keeps what the user typed and ticked.
    window.cmbSearchText()->setFocus();
    window.cmbSearchText()->setEditText("typed");
    notes->setChecked(true);
    for (int page : {1, 0}) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
        QApplication::sendEvent(window.focusWidget(), &key);
        EXPECT_EQ(tabs->currentIndex(), page);
        EXPECT_EQ(window.cmbSearchText()->currentText(), "typed");
        EXPECT_TRUE(notes->isChecked());
    }

    window.cmbSearchText()->setEditText("*");
    window.cmdFind_Click();
    window.Engine().Step();
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.Engine().StopSearching);
    window.Engine().RunToEnd();
    EXPECT_FALSE(window.Engine().Searching());
    EXPECT_EQ(receiver_.jumps, V{0});
    Browsing::UnloadFindCart();
}

} // namespace

} // namespace BrowsingTest
