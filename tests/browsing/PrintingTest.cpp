// List printing on the recording surface: scaling, hidden columns, events, page breaks, the
// column limit, empty lists and failures.
#include "browsing/cPrinting.h"

#include <gtest/gtest.h>

namespace BrowsingTest {

namespace {

using Browsing::cPrinting;
using Browsing::PrintList;
using Browsing::RecordingSurface;

PrintList MakeList(int columns, int rows) {
    PrintList list;
    for (int c = 0; c < columns; ++c)
        list.Columns.push_back({"H" + std::to_string(c + 1), 1000.0 * (c + 1)});
    for (int r = 0; r < rows; ++r) {
        Browsing::PrintItem item{{"r" + std::to_string(r + 1), r == 0}, {}, r % 2 == 0};
        for (int c = 1; c < columns; ++c)
            item.SubItems.push_back({"c" + std::to_string(c + 1), false});
        list.Items.push_back(item);
    }
    return list;
}

const RecordingSurface::Item* Find(const RecordingSurface& s, const std::string& text, int n = 1) {
    for (const auto& item : s.Items)
        if (item.text == text && --n == 0) return &item;
    return nullptr;
}

TEST(PrintingTest, ScalesColumnsRaisesEventsAndBreaksPages) {
    RecordingSurface surface;
    cPrinting printing(surface);
    PrintList list = MakeList(3, 120);
    std::vector<std::string> events;
    printing.CheckColWidth = [&](PrintList&, int16_t col, int32_t& width) {
        if (col == 2) width = 0; // hidden
    };
    printing.CheckPrintRow = [&](PrintList&, int16_t row, bool& printIt, int32_t) {
        if (row == 2) printIt = true;  // an unselected row printed
        if (row == 3) printIt = false; // a selected row left out
    };
    printing.CheckPrintCell = [&](PrintList&, int16_t row, int16_t col, std::string& text,
                                  int32_t) {
        if (row == 1 && col == 3) text = "two\r\nlines";
    };
    std::vector<std::pair<int16_t, int32_t>> progress;
    printing.PrintProgress = [&](PrintList&, int16_t percent, int32_t lines) {
        progress.emplace_back(percent, lines);
    };
    ASSERT_TRUE(printing.PrintListView(&list, "Title", true));
    EXPECT_TRUE(surface.Ended);
    // Title: bold, underlined, size 14 at 10 pixels down; page one only.
    const auto& title = surface.Items[0];
    EXPECT_EQ(title.text, "Title");
    EXPECT_TRUE(title.underline && title.bold);
    EXPECT_EQ(title.size, 14);
    EXPECT_EQ(title.y, 24);
    EXPECT_EQ(title.x, 72);
    // Columns 1 and 3 share 72 .. page width - 48 in proportion to width + spacing.
    const auto* h1 = Find(surface, "H1");
    const auto* h3 = Find(surface, "H3");
    ASSERT_TRUE(h1 && h3);
    EXPECT_EQ(Find(surface, "H2"), nullptr);
    const double scale = (11906 - 48 - 72) / (1060.0 + 3060.0);
    EXPECT_NEAR(h3->x, 72 + scale * 1060, 1);
    EXPECT_EQ(Find(surface, "c2"), nullptr);
    EXPECT_NE(Find(surface, "two  lines"), nullptr);
    // Rows: every selected one but row 3, plus row 2 = 60 rows; progress counts all items.
    int rows = 0, headers = 0;
    for (const auto& item : surface.Items) {
        rows += item.text.rfind("r", 0) == 0;
        headers += item.text == "H1";
    }
    EXPECT_EQ(rows, 60);
    EXPECT_TRUE(Find(surface, "r2") && !Find(surface, "r3"));
    EXPECT_EQ(progress.front(), std::make_pair(int16_t{0}, int32_t{0}));
    EXPECT_EQ(progress[1].second, 1);
    EXPECT_EQ(progress.back(), std::make_pair(int16_t{100}, int32_t{60}));
    // Later pages start with the header row at the top edge.
    ASSERT_GE(surface.Pages, 2);
    EXPECT_EQ(headers, surface.Pages);
    const auto* h1page2 = Find(surface, "H1", 2);
    EXPECT_EQ(h1page2->page, 2);
    EXPECT_EQ(h1page2->y, 0);
    for (const auto& item : surface.Items)
        EXPECT_LE(item.y, surface.PageHeight) << item.text;
}

TEST(PrintingTest, LimitsEmptyListsAndFailures) {
    RecordingSurface surface;
    cPrinting printing(surface);
    PrintList wide = MakeList(99, 2);
    EXPECT_TRUE(printing.PrintListView(&wide, "Wide", false));
    wide.Columns.push_back({"H100", 10});
    RecordingSurface second;
    cPrinting again(second);
    EXPECT_FALSE(again.PrintListView(&wide, "Wide", false));
    EXPECT_FALSE(again.GetLastError().empty());
    EXPECT_TRUE(second.Killed); // the job is given up, not left open

    RecordingSurface empty;
    cPrinting none(empty);
    PrintList list = MakeList(2, 0);
    std::vector<int32_t> progress;
    none.PrintProgress = [&](PrintList&, int16_t percent, int32_t lines) {
        progress.push_back(percent * 1000 + lines);
    };
    EXPECT_TRUE(none.PrintListView(&list, "Empty", true));
    EXPECT_EQ(progress, std::vector<int32_t>{100000});
    EXPECT_FALSE(none.PrintListView(nullptr, "None", true));
    none.CheckColWidth = [](PrintList&, int16_t, int32_t& width) { width = 0; };
    EXPECT_FALSE(none.PrintListView(&list, "Hidden", true));

    RecordingSurface failing;
    failing.FailAfter = 5;
    cPrinting broken(failing);
    PrintList rows = MakeList(2, 10);
    EXPECT_FALSE(broken.PrintListView(&rows, "Broken", false));
    EXPECT_EQ(broken.GetLastError(), "Printer error");
    EXPECT_TRUE(failing.Killed);
    EXPECT_FALSE(failing.Ended);
}

} // namespace

} // namespace BrowsingTest
