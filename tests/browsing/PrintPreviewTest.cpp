// The text preview: the rich-text reader, rich and plain files, saving, printing to PDF, the
// folder list and the keys passed on.
#include "BrowsingReceiver.h"
#include "support/TestSupport.h"

#include "browsing/PrintTarget.h"
#include "browsing/RtfReader.h"
#include "browsing/frmPrintPreview.h"

#include <QPrinter>
#include <QProcess>
#include <gtest/gtest.h>

namespace BrowsingTest {

namespace {

const char kNotes[] = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}"
                      "{\\*\\generator Notes 1.0;}\\pard\\f0 Plain \\b bold\\b0  and "
                      "{\\i italic}\\par\r\nCaf\\'e9 \\u8364? \\{x\\}\\tab end\\par}";

int PdfPages(const std::string& pdf) {
    QProcess info;
    info.start("pdfinfo", {QString::fromStdString(pdf)});
    info.waitForFinished();
    for (const QString& line : QString(info.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -1;
}

class PrintPreviewTest : public ::testing::Test {
protected:
    ~PrintPreviewTest() override {
        Browsing::SetPrintFile("");
        Browsing::SetPrintDialogHook({});
        Browsing::SetSaveDialogHook({});
    }
    TestSupport::ScratchDir dir_;
    TestSupport::ScriptedBoxes boxes_;
};

TEST_F(PrintPreviewTest, ReaderKeepsTextRunsAndSkipsTables) {
    auto doc = Browsing::ReadRtf(kNotes);
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->paragraphs.size(), 2u);
    const auto& first = doc->paragraphs[0];
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(first[0].text, "Plain ");
    EXPECT_TRUE(first[1].bold);
    EXPECT_EQ(first[1].text, "bold");
    EXPECT_TRUE(first[3].italic);
    EXPECT_FALSE(first[3].bold);
    EXPECT_EQ(doc->PlainText(),
              QString::fromUtf8("Plain bold and italic\nCaf\u00e9 \u20ac {x}\tend"));
    EXPECT_FALSE(Browsing::ReadRtf("plain text"));
    // Unbalanced, truncated and deeply nested input reads without failing.
    EXPECT_TRUE(Browsing::ReadRtf("{\\rtf1 }}}} \\'4"));
    EXPECT_TRUE(Browsing::ReadRtf("{\\rtf1 " + std::string(100000, '{') + "x"));
}

TEST_F(PrintPreviewTest, LoadsRichAndPlainFilesSavesAndPrints) {
    const std::string rich = dir_.File("VNT00001.RTF"), plain = dir_.File("VNT00002.TXT");
    TestSupport::WriteBytes(rich, kNotes);
    TestSupport::WriteBytes(plain, "{not rich}\r\nSecond line");
    Browsing::frmPrintPreview preview;
    preview.SetText("caller's text");
    preview.Activate(); // no file: the caller's text stays
    EXPECT_EQ(preview.Text(), "caller's text");
    preview.LoadFile(plain);
    EXPECT_EQ(preview.Text(), "{not rich}\r\nSecond line");
    preview.LoadFile(rich);
    EXPECT_EQ(preview.Text(), "Plain bold and italic\r\nCaf\xE9 \x80 {x}\tend");
    // Save: as plain text; cancel and blank names are silent; a failure is reported.
    std::optional<std::string> answer = dir_.File("saved.txt");
    Browsing::SetSaveDialogHook([&](const std::string&) { return answer; });
    preview.cmdSave_Click();
    EXPECT_EQ(TestSupport::ReadBytes(dir_.File("saved.txt")), preview.Text());
    answer = dir_.File("missing/folder/x.txt");
    preview.cmdSave_Click();
    ASSERT_EQ(boxes_.Count(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].prompt.rfind("There was a problem ", 0), 0u);
    answer.reset();
    preview.cmdSave_Click();
    EXPECT_EQ(boxes_.Count(), 1u);
    // Print to a PDF: the whole text; a printer that cannot start is reported.
    const std::string pdf = dir_.File("notes.pdf");
    Browsing::SetPrintFile(pdf);
    Browsing::SetPrintDialogHook(
        [](QPrinter&, bool& selectionOnly) { return !(selectionOnly = false); });
    preview.cmdPrint_Click();
    EXPECT_EQ(PdfPages(pdf), 1);
    Browsing::SetPrintFile(dir_.File("missing/notes.pdf"));
    preview.cmdPrint_Click();
    ASSERT_EQ(boxes_.Count(), 2u);
    EXPECT_NE(boxes_.Shown()[1].prompt.find("while printing."), std::string::npos);
}

TEST_F(PrintPreviewTest, FolderListAndKeysPassedOn) {
    TestSupport::WriteBytes(dir_.File("one.TXT"), "first");
    Browsing::frmPrintPreview preview;
    preview.DisplayFolder(dir_.Path(), "TXT");
    EXPECT_FALSE(preview.cmdSave()->isVisibleTo(&preview));
    ASSERT_EQ(preview.listFiles()->count(), 1);
    EXPECT_EQ(preview.Text(), "first");
    EXPECT_GT(preview.rtfFile()->x(), preview.listFiles()->x() + preview.listFiles()->width());
    preview.HideFolder();
    EXPECT_EQ(preview.rtfFile()->x(), 4);
    Receiver owner;
    EXPECT_FALSE(preview.Form_KeyDown(112, 0)); // no owner: nothing passed on
    preview.ParentForm = &owner;
    EXPECT_TRUE(preview.Form_KeyDown(112, 0));
    EXPECT_FALSE(preview.Form_KeyDown(13, 0));
    EXPECT_FALSE(preview.Form_KeyDown(40, 0));
    EXPECT_FALSE(preview.Form_KeyDown('P', 2));
    EXPECT_EQ(owner.keys, (std::vector<int16_t>{112}));
}

} // namespace

} // namespace BrowsingTest
