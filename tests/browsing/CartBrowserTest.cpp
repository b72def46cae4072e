// The cart browser on a fixture audiowall: layout, scrolling, jumping, picking, keys, dragging
// and audition on real players.
#include "BrowsingFixture.h"

#include "browsing/CartBrowserEngine.h"
#include "browsing/KeyCodes.h"
#include "browsing/frmCartBrowser.h"
#include "browsing/frmJumptoCart.h"
#include "carts/PlayerWindows.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

using Browsing::CartBrowserEngine;

namespace BrowsingTest {

namespace {

constexpr int32_t kRowsHeight = 30 + 315 * 10; // exactly ten rows

class CartBrowserTest : public BrowsingTest {
protected:
    void SetUp() override {
        BrowsingTest::SetUp();
        Settings().Audio.NoCarts = 40;
        for (int32_t cart = 1; cart <= 40; ++cart)
            if (cart != 7) Describe(cart, "Cart " + std::to_string(cart), "second", "third");
        engine_.Load();
        engine_.LayoutRows(3000, kRowsHeight);
        engine_.RedrawRows();
    }
    int32_t Shown(int row) const {
        const auto& r = engine_.Rows.at(static_cast<size_t>(row - 1));
        return r.Visible ? std::stoi(r.NumberCaption) : 0;
    }
    CartBrowserEngine engine_;
};

TEST_F(CartBrowserTest, RowsFollowTheHeightTheDoubleViewAndTheAudiowallSize) {
    EXPECT_EQ(engine_.RowCount, 10);
    EXPECT_EQ(engine_.Rows[0].Caption, "Cart 1 second third");
    EXPECT_EQ(engine_.Rows[0].Tag, "1");
    EXPECT_EQ(engine_.Rows[0].BackColor, 0x00FF00);
    EXPECT_EQ(engine_.Rows[6].Tag, ""); // an empty cart cannot be dragged
    EXPECT_TRUE(engine_.Rows[6].Visible);
    EXPECT_EQ(engine_.Rows[6].BackColor, Settings().Audio.EmptyCartBackColor);
    EXPECT_EQ(engine_.Rows[6].ForeColor, Settings().Audio.EmptyCartForeColor);
    EXPECT_EQ(engine_.Rows[0].NumberBackColor, Browsing::kSelectedNumberColour);
    EXPECT_EQ(engine_.Rows[1].NumberBackColor, Browsing::kButtonFaceColour);
    engine_.LayoutRows(3000, kRowsHeight + 1); // a partly visible row counts
    EXPECT_EQ(engine_.RowCount, 11);
    engine_.SetDoubleView(true);
    engine_.LayoutRows(3000, kRowsHeight);
    engine_.RedrawRows();
    EXPECT_EQ(engine_.RowCount, 5);
    EXPECT_EQ(engine_.Rows[0].Caption, "Cart 1\nsecond\nthird");
    Settings().Audio.NoCarts = 4;
    engine_.SetDoubleView(false);
    engine_.LayoutRows(3000, kRowsHeight);
    EXPECT_EQ(engine_.RowCount, 4);
}

TEST_F(CartBrowserTest, ScrollingStopsAtBothEnds) {
    engine_.OneCartUp();
    EXPECT_EQ(engine_.SelectedCart(), 1);
    EXPECT_EQ(engine_.TopCartOffset, 0);
    for (int i = 0; i < 10; ++i)
        engine_.OneCartDown();
    EXPECT_EQ(engine_.SelectedCart(), 11);
    EXPECT_EQ(engine_.SelectedRow, 10);
    EXPECT_EQ(Shown(1), 2);
    engine_.PageDown();
    engine_.PageDown();
    engine_.PageDown();
    EXPECT_EQ(engine_.SelectedCart(), 40);
    EXPECT_EQ(Shown(10), 40);
    engine_.OneCartDown();
    EXPECT_EQ(engine_.SelectedCart(), 40);
    for (int i = 0; i < 5; ++i)
        engine_.PageUp();
    EXPECT_EQ(engine_.TopCartOffset, 0);
    EXPECT_EQ(engine_.SelectedCart(), 1);
}

TEST_F(CartBrowserTest, JumpToCartInsideOutsideAndOutOfRange) {
    engine_.JumpToCart(5);
    EXPECT_EQ(engine_.SelectedRow, 5);
    EXPECT_EQ(engine_.TopCartOffset, 0);
    engine_.JumpToCart(25);
    EXPECT_EQ(Shown(1), 25);
    EXPECT_EQ(engine_.txtCartNumber, "25");
    engine_.JumpToCart(0);
    engine_.JumpToCart(-3);
    EXPECT_EQ(engine_.SelectedCart(), 25);
    // Past the end: the last cart, still shown, and a pick returns a cart that exists.
    engine_.JumpToCart(500);
    EXPECT_EQ(engine_.SelectedCart(), 40);
    EXPECT_EQ(Shown(1), 40);
    engine_.LayoutRows(3000, kRowsHeight);
    EXPECT_GE(engine_.RowCount, 1);
    engine_.PickRow(1);
    EXPECT_EQ(engine_.Tag, "40");
    // The next showing starts at the cart in Tag, limited to the audiowall.
    engine_.Tag = "9999";
    EXPECT_TRUE(engine_.Activate());
    EXPECT_EQ(engine_.SelectedCart(), 40);
    EXPECT_EQ(engine_.Tag, "");
    EXPECT_FALSE(engine_.Activate());
}

TEST_F(CartBrowserTest, PickCancelAndTheJumpCommand) {
    Receiver receiver;
    int hides = 0;
    QObject::connect(&engine_, &CartBrowserEngine::HideRequested, [&] { ++hides; });
    engine_.UpdateRequestForm = &receiver;
    engine_.SetCartNumberText("12");
    EXPECT_TRUE(engine_.cmdJumpCartEnabled);
    engine_.JumpCommand();
    EXPECT_EQ(engine_.SelectedCart(), 12);
    EXPECT_EQ(hides, 0);
    engine_.JumpCommand(); // the second Enter picks
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(engine_.Tag, "12");
    EXPECT_EQ(receiver.updates, std::vector<int32_t>{12});
    EXPECT_TRUE(engine_.UpdateRequestForm.isNull());
    EXPECT_FALSE(engine_.PositionApplied);
    engine_.CancelCommand();
    EXPECT_EQ(engine_.Tag, "0");
    EXPECT_EQ(receiver.updates.size(), 1u); // the receiver was released
    // The J key obeys the Jump button: nothing for 0, empty or above the audiowall.
    for (const char* text : {"", "0", "41"}) {
        engine_.SetCartNumberText(text);
        EXPECT_FALSE(engine_.cmdJumpCartEnabled) << text;
        EXPECT_TRUE(engine_.KeyDown('J', 0));
        EXPECT_EQ(engine_.SelectedCart(), 12) << text;
    }
    engine_.SetCartNumberText("30");
    engine_.KeyDown('J', 0);
    EXPECT_EQ(engine_.SelectedCart(), 30);
}

TEST_F(CartBrowserTest, DragStartsBeyondFivePixelsAndNeverAlsoPicks) {
    int hides = 0;
    QObject::connect(&engine_, &CartBrowserEngine::HideRequested, [&] { ++hides; });
    engine_.RowPress(3, 1, 100, 100);
    EXPECT_TRUE(engine_.DragArmed);
    EXPECT_FALSE(engine_.RowMove(3, 1, 200, 100, 15)); // dragging not allowed
    engine_.AllowDragging = true;
    EXPECT_FALSE(engine_.RowMove(3, 1, 175, 25, 15)); // 5 pixels is still near
    EXPECT_TRUE(engine_.RowMove(3, 1, 176, 100, 15));
    engine_.DragFinished();
    engine_.RowRelease(3, 1);
    EXPECT_EQ(hides, 0);
    // Right button: selects, neither arms nor picks; an empty cart never arms.
    engine_.RowPress(4, 2, 0, 0);
    EXPECT_FALSE(engine_.DragArmed);
    engine_.RowRelease(4, 2);
    EXPECT_EQ(engine_.SelectedCart(), 4);
    engine_.RowPress(7, 1, 0, 0);
    EXPECT_FALSE(engine_.DragArmed);
    engine_.RowRelease(7, 1); // a plain click picks
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(engine_.Tag, "7");
}

TEST_F(CartBrowserTest, SpaceAuditionsAndAltFunctionKeysPassTheSelectedCart) {
    MakeCart(3, 2.0, "Tone three");
    MakeCart(5, 2.0, "Tone five");
    engine_.JumpToCart(3);
    EXPECT_FALSE(engine_.KeyDown(Browsing::kKeySpace, 0));
    Run(100);
    EXPECT_EQ(Player(1).CartNumber, 3);
    EXPECT_EQ(Player(1).Status, CartPlayers::Playing);
    engine_.JumpToCart(5);
    engine_.KeyDown(Browsing::kKeySpace, 0); // player 1 is busy: the next empty one
    Run(100);
    EXPECT_EQ(Player(2).CartNumber, 5);
    EXPECT_EQ(Player(2).Status, CartPlayers::Playing);
    engine_.KeyDown(Browsing::kKeySpace, 0); // no player empty: nothing
    EXPECT_EQ(Player(1).CartNumber, 3);
    // Alt+F4 ejects player 1, Alt+F1 plays the selected cart on it.
    EXPECT_TRUE(engine_.KeyDown(Browsing::kKeyF1 + 3, 0));
    Run(200);
    EXPECT_TRUE(engine_.KeyDown(Browsing::kKeyF1, 4));
    Run(100);
    EXPECT_EQ(Player(1).CartNumber, 5);
}

TEST_F(CartBrowserTest, WindowMirrorsRowsHidesOnCloseAndHandsBackPicks) {
    Browsing::frmCartBrowser browser;
    browser.resize(300, 400);
    browser.show();
    ASSERT_NE(browser.pnlCart(1), nullptr);
    EXPECT_EQ(browser.pnlCart(1)->text().toStdString(), "Cart 1 second third");
    EXPECT_EQ(browser.pnlCart(1)->property("Tag").toString(), "1");
    // An empty cart's row is drawn in the button face, not black.
    const QImage empty = browser.pnlCart(7)->grab().toImage();
    EXPECT_EQ(empty.pixelColor(empty.width() / 2, empty.height() / 2),
              QApplication::palette().color(QPalette::Button));
    // The selected number reads white on blue, the others in the button text colour.
    auto inks = [](QPushButton* button, QColor ink) {
        const QImage image = button->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == ink ? 1 : 0;
        return count;
    };
    EXPECT_GT(inks(browser.cmdCartNumber(1), Qt::white), 0);
    EXPECT_GT(inks(browser.cmdCartNumber(2), QApplication::palette().color(QPalette::ButtonText)),
              0);
    // The jump label shows its whole caption, clear of the number box.
    for (QLabel* label : browser.findChildren<QLabel*>())
        if (label->text() == "Jump to &Cart:") {
            EXPECT_GE(label->width(), label->sizeHint().width());
            EXPECT_LT(label->geometry().right(), browser.txtCartNumber()->geometry().left());
        }

    // A key acts once wherever the focus is, though the focused control passes it on.
    int reports = 0;
    QObject::connect(&browser.Engine(), &CartBrowserEngine::ReportRequested, [&] { ++reports; });
    auto press = [&](Qt::Key key, const QString& text = {}) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(browser.focusWidget(), &event);
    };
    const int16_t page = browser.Engine().RowCount;
    ASSERT_LT(2 * page, 40);
    browser.txtCartNumber()->setFocus();
    press(Qt::Key_PageDown);
    EXPECT_EQ(browser.Engine().TopCartOffset, page);
    press(Qt::Key_L, "l");
    browser.cmdJumpCart()->setFocus();
    press(Qt::Key_L, "L");
    press(Qt::Key_PageUp);
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(browser.Engine().TopCartOffset, 0);
    std::vector<std::string> dragged;
    browser.StartDrag = [&](int, const std::string& cart) { dragged.push_back(cart); };
    browser.Engine().AllowDragging = true;
    browser.PanelPress(2, Qt::LeftButton, {10, 10});
    browser.PanelMove(2, Qt::LeftButton, {30, 10});
    browser.PanelRelease(2, Qt::LeftButton);
    EXPECT_EQ(dragged, std::vector<std::string>{"2"});
    EXPECT_TRUE(browser.isVisible());
    browser.close(); // the close box hides
    EXPECT_FALSE(browser.isVisible());
    browser.show();
    browser.PanelPress(4, Qt::LeftButton, {10, 10});
    browser.PanelRelease(4, Qt::LeftButton);
    EXPECT_FALSE(browser.isVisible());
    EXPECT_EQ(browser.Engine().Tag, "4");
    browser.AllowUnload();
}

TEST_F(CartBrowserTest, JumpDialogRefusesNonNumbersAndHandsOverTheNumber) {
    Receiver receiver;
    Browsing::frmJumptoCart dialog;
    dialog.JumpRequestForm = &receiver;
    for (const char* text : {"0", "-4", "word", ""}) {
        dialog.txtCartNo()->setText(text);
        dialog.cmdOK_Click();
    }
    ASSERT_EQ(boxes_.Count(), 4u);
    EXPECT_EQ(boxes_.Shown()[0].prompt, "You must enter a number");
    dialog.txtCartNo()->setText("12abc");
    dialog.cmdOK_Click();
    EXPECT_EQ(receiver.jumps, std::vector<int32_t>{12});
    EXPECT_TRUE(dialog.JumpRequestForm.isNull());
}

} // namespace

} // namespace BrowsingTest
