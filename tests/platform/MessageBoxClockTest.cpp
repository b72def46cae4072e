#include "support/TestSupport.h"

#include "platform/Text1252.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Platform;

namespace {

std::vector<QMessageBox*> BoxesOnScreen(const QString& text) {
    std::vector<QMessageBox*> found;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(window);
            box && box->isVisible() && box->text() == text)
            found.push_back(box);
    return found;
}

// Presses a button of the box with this text once the event loop runs again.
void PressLater(const QString& text, QMessageBox::StandardButton button, bool& pressed) {
    QTimer::singleShot(0, [text, button, &pressed] {
        std::vector<QMessageBox*> boxes = BoxesOnScreen(text);
        ASSERT_EQ(boxes.size(), 1u);
        boxes[0]->button(button)->click();
        pressed = true;
    });
}

} // namespace

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

TEST(MessageBox, OkBoxInTheEventLoopReturnsAtOnceQuestionsBlock) {
    ClearShownBoxes();
    ShowBoxesWhenHeadless(true);
    QPointer<QMessageBox> card;
    bool engineWentOn = false, answered = false, downPressed = false, latePressed = false;
    int question = 0, late = 0;
    QEventLoop loop;
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(MsgBox("Card failed", vbOKOnly | vbExclamation, "Hardware"), vbOK);
        engineWentOn = true;
        std::vector<QMessageBox*> shown = BoxesOnScreen("Card failed");
        ASSERT_EQ(shown.size(), 1u);
        card = shown[0];
        EXPECT_EQ(card->windowModality(), Qt::NonModal);
        EXPECT_EQ(card->windowTitle(), "Hardware");
        // The engine repeats its error every tick: still one box.
        EXPECT_EQ(MsgBox("Card failed", vbOKOnly | vbExclamation, "Hardware"), vbOK);
        EXPECT_EQ(BoxesOnScreen("Card failed").size(), 1u);

        // A question waits for its answer; an OK box raised meanwhile returns at once and can
        // be pressed over it.
        QTimer::singleShot(0, [&] {
            late = MsgBox("Late", vbOKOnly);
            std::vector<QMessageBox*> over = BoxesOnScreen("Late");
            ASSERT_EQ(over.size(), 1u);
            EXPECT_EQ(over[0]->windowModality(), Qt::ApplicationModal);
            PressLater("Late", QMessageBox::Ok, latePressed);
            PressLater("Stop?", QMessageBox::No, answered);
        });
        question = MsgBox("Stop?", vbYesNo | vbQuestion);
        EXPECT_TRUE(answered);

        // On the way down an OK box waits to be read.
        {
            BlockingBoxes down;
            PressLater("Going down", QMessageBox::Ok, downPressed);
            EXPECT_EQ(MsgBox("Going down"), vbOK);
            EXPECT_TRUE(downPressed);
        }
        loop.quit();
    });
    loop.exec();
    ShowBoxesWhenHeadless(false);
    EXPECT_TRUE(engineWentOn);
    EXPECT_EQ(question, vbNo);
    EXPECT_EQ(late, vbOK);
    EXPECT_TRUE(latePressed);
    ASSERT_EQ(ShownBoxes().size(), 5u);
    EXPECT_EQ(ShownBoxes()[2].prompt, "Late");
    ASSERT_TRUE(card && card->isVisible());
    card->button(QMessageBox::Ok)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(card.isNull());
    EXPECT_TRUE(BoxesOnScreen("Late").empty());
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

TEST(Text1252, HostPathsBesideCodePageTextKeepTheirCharacters) {
    // A UTF-8 path, then code-page text: a lone é, a euro sign, a cut and an overlong sequence
    // and an encoded surrogate, none of them UTF-8.
    const std::string mixed = "/Stati\xC3\xB3n_\xC5\x8D/\xF0\x9F\x93\xBB "
                              "Caf\xE9 \x80 \xC3 \xC0\xAF \xED\xA0\x80";
    EXPECT_EQ(FromHostOrWindows1252(mixed),
              QString::fromUtf8("/Stati\xC3\xB3n_\xC5\x8D/\xF0\x9F\x93\xBB "
                                "Caf\xC3\xA9 \xE2\x82\xAC \xC3\x83 \xC3\x80\xC2\xAF "
                                "\xC3\xAD\xC2\xA0\xE2\x82\xAC"));
    EXPECT_EQ(FromHostOrWindows1252("plain \x81"), QString::fromUtf8("plain \xC2\x81"));
}

TEST(Text1252, EachSequenceIsItsOwnCharacterAtTheEdgesOfItsRanges) {
    struct Case {
        std::string bytes;
        std::u16string text; // kept as it stands: a leading U+FEFF too
    };
    const Case cases[] = {
        // A byte-order mark is a character wherever it stands, first and alone too.
        {"a\xEF\xBB\xBF"
         "b",
         u"a\uFEFFb"},
        {"\xEF\xBB\xBF/x", u"\uFEFF/x"},
        {"\xEF\xBB\xBF", u"\uFEFF"},
        {"Stat\xEF\xBB\xBFi\xC3\xB3n", u"Stat\uFEFFi\u00F3n"},
        // Sequences that end the text.
        {"Estaci\xC3\xB3", u"Estaci\u00F3"},
        {"x\xE2\x82\xAC", u"x\u20AC"},
        {"x\xF0\x9F\x93\xBB", u"x\U0001F4FB"},
        // The first and last of each range, and one past: the bytes one past read as the code
        // page (0x8F and 0x90 are undefined there and map straight through).
        {"\xC2\x80|\xDF\xBF|\xC1\xBF", u"\u0080|\u07FF|\u00C1\u00BF"},
        {"\xE0\xA0\x80|\xE0\x9F\xBF", u"\u0800|\u00E0\u0178\u00BF"},
        {"\xED\x9F\xBF|\xED\xA0\x80|\xEF\xBF\xBF", u"\uD7FF|\u00ED\u00A0\u20AC|\uFFFF"},
        {"\xF0\x90\x80\x80|\xF0\x8F\xBF\xBF", u"\U00010000|\u00F0\u008F\u00BF\u00BF"},
        {"\xF4\x8F\xBF\xBF|\xF4\x90\x80\x80", u"\U0010FFFF|\u00F4\u0090\u20AC\u20AC"},
        {"\xF5\x80|\xE2\x82", u"\u00F5\u20AC|\u00E2\u201A"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FromHostOrWindows1252(c.bytes), QStringView(c.text).toString()) << c.bytes;
}
