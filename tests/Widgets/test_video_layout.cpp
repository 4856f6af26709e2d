// Layout model of the video window: grid geometry, the predefined layouts, merging, text
// parse/format round trips, refusal of malformed texts, grid changes and divider runs.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "Widgets/CQTVideoWindowLayout.h"
#include "Widgets/SFVideoWindow.h"

namespace {

std::string Format(const CQTVideoWindowLayout& layout)
{
    std::string text;
    layout.FormatLayout(text);
    return text;
}

// What the window does with a text: parse, then fit to its canvas and rebuild.
CQTVideoWindowLayout Applied(const char* text, int width = 400, int height = 300)
{
    CQTVideoWindowLayout layout(1, 1, width, height);
    EXPECT_TRUE(layout.ParseLayout(text)) << text;
    if (!layout.SetSize(width, height))
        layout.RebuildCells();
    return layout;
}

bool SameRect(const RECT& r, int l, int t, int rr, int b)
{
    return r.left == l && r.top == t && r.right == rr && r.bottom == b;
}

std::set<int> SelectedKeys(const CQTVideoWindowLayout& layout)
{
    std::set<int> keys;
    for (const auto& entry : layout.Selected())
        keys.insert(entry.first);
    return keys;
}

}  // namespace

TEST(VideoLayout, SingleCellCanvasAndItsText)
{
    CQTVideoWindowLayout layout(1, 1, 400, 300);
    EXPECT_TRUE(layout.Dividers().empty());
    ASSERT_EQ(layout.Cells().size(), 1u);
    EXPECT_TRUE(SameRect(layout.Cells().at(0), 0, 0, 399, 299));
    EXPECT_EQ(layout.CellCount(), 1);
    EXPECT_EQ(Format(layout), "1/1/1/400:300//0:0:399:299");
}

TEST(VideoLayout, GridRemaindersGoToTheLastRowAndColumn)
{
    CQTVideoWindowLayout layout(3, 3, 400, 300);
    EXPECT_TRUE(SameRect(layout.Cells().at(0), 0, 0, 132, 99));
    EXPECT_TRUE(SameRect(layout.Cells().at(2), 266, 0, 399, 99));
    EXPECT_TRUE(SameRect(layout.Dividers().at(CQTVideoWindowLayout::VerticalKey(0, 0)).band, 128, 0, 137, 99));
    EXPECT_TRUE(SameRect(layout.Dividers().at(CQTVideoWindowLayout::HorizontalKey(1, 2)).band, 266, 195, 399, 204));
    EXPECT_EQ(layout.Dividers().size(), 12u);  // 3 x 2 vertical + 2 x 3 horizontal
}

TEST(VideoLayout, PredefinedLayoutsRebuildTheirCells)
{
    struct Case {
        int value, rows, columns, count, cells;
    } const cases[] = {
        {0, 1, 1, 1, 1},  {1, 2, 2, 4, 4},   {2, 3, 3, 6, 6},   {3, 4, 4, 8, 8},   {4, 3, 3, 9, 9},
        {5, 4, 4, 13, 13}, {6, 4, 4, 16, 16}, {7, 6, 6, 20, 20}, {8, 5, 5, 25, 25}, {9, 6, 6, 36, 36},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const char* text = CSFVideoWindow::GetDefaultLayout(static_cast<DEFAULT_LAYOUT>(c.value));
        ASSERT_NE(text, nullptr);
        const CQTVideoWindowLayout layout = Applied(text);
        EXPECT_EQ(layout.Rows(), c.rows);
        EXPECT_EQ(layout.Columns(), c.columns);
        EXPECT_EQ(layout.CellCount(), c.count);
        EXPECT_EQ(layout.Cells().size(), static_cast<size_t>(c.cells));
        // Every divider of the grid is listed.
        EXPECT_EQ(layout.Dividers().size(), static_cast<size_t>(c.rows * (c.columns - 1) + (c.rows - 1) * c.columns));
        // Text written and read back gives the same text.
        CQTVideoWindowLayout again(1, 1, 400, 300);
        ASSERT_TRUE(again.ParseLayout(Format(layout)));
        EXPECT_EQ(Format(again), Format(layout));
    }
    EXPECT_EQ(CSFVideoWindow::GetDefaultLayout(static_cast<DEFAULT_LAYOUT>(10)), nullptr);
    EXPECT_EQ(CSFVideoWindow::GetDefaultLayout(static_cast<DEFAULT_LAYOUT>(-1)), nullptr);
}

TEST(VideoLayout, MergedBlocksTakeTheirBoundingRectangle)
{
    // Six cells: the 2 x 2 block first, then the five single positions in row-major order.
    const CQTVideoWindowLayout six = Applied(CSFVideoWindow::GetDefaultLayout(DEFAULT_LAYOUT_6));
    EXPECT_TRUE(SameRect(six.Cells().at(0), 0, 0, 265, 199));
    EXPECT_TRUE(SameRect(six.Cells().at(1), 266, 0, 399, 99));
    EXPECT_TRUE(SameRect(six.Cells().at(2), 266, 100, 399, 199));
    EXPECT_TRUE(SameRect(six.Cells().at(3), 0, 200, 132, 299));
    EXPECT_TRUE(SameRect(six.Cells().at(5), 266, 200, 399, 299));
    // Thirteen: the centre block is number 5.
    const CQTVideoWindowLayout thirteen = Applied(CSFVideoWindow::GetDefaultLayout(DEFAULT_LAYOUT_13));
    EXPECT_TRUE(SameRect(thirteen.Cells().at(5), 100, 75, 299, 224));
    // Twenty: two 3 x 3 blocks side by side.
    const CQTVideoWindowLayout twenty = Applied(CSFVideoWindow::GetDefaultLayout(DEFAULT_LAYOUT_20));
    EXPECT_TRUE(SameRect(twenty.Cells().at(0), 0, 0, 197, 149));
    EXPECT_TRUE(SameRect(twenty.Cells().at(1), 198, 0, 399, 149));
}

TEST(VideoLayout, AnLShapedMergeHandsOutMoreNumbersThanCellsRemain)
{
    // 2 x 2 with the divider under the top right and the one between the bottom two removed.
    CQTVideoWindowLayout layout(2, 2, 400, 300);
    ASSERT_TRUE(layout.ParseLayout("2/2/4/400:300/1:0:200:145:399:154-65792:0:195:150:204:299/"));
    layout.RebuildCells();
    EXPECT_EQ(layout.CellCount(), 3);
    ASSERT_EQ(layout.Cells().size(), 2u);
    EXPECT_TRUE(SameRect(layout.Cells().at(1), 200, 0, 399, 299));
    EXPECT_EQ(Format(layout), "2/2/3/400:300/1:0:200:145:399:154-65792:0:195:150:204:299/0:0:199:149-200:0:399:299");
}

TEST(VideoLayout, MalformedTextsAreRefusedAndTheLayoutKept)
{
    const char* const refused[] = {
        "1/1/1/400:300/",                                  // five fields
        "1/1/1/400:300//0:0:400:300/",                     // seven fields
        "0/1/1/400:300//",                                 // no rows: the grid would divide by zero
        "1/0/1/400:300//",                                 // no columns
        "256/1/1/400:300//",                               // divider keys would collide
        "1/300/1/400:300//",
        "x/1/1/400:300//",                                 // not a number
        "1/1/1/400300//",                                  // canvas without ":"
        "1/1/1/400:300:5//",
        "1/1/1/:300//",
        "2/1/2/400:300/0:1:0:145:399:154-/",               // empty item at the end
        "2/1/2/400:300/0:1:0:145:399/",                    // divider with five numbers
        "2/1/2/400:300/0:1:0:-5:399:154/",                 // negative number
        "2/1/2/400:300/65536:1:0:145:399:154/",            // key of no divider in this grid
        "1/1/1/400:300//0:0:400",                          // cell with three numbers
        "1/1/1/400:300//0:0:400:300-0:0:1:1",              // more cells than grid positions
        "1/1/1/400:300//0:0:400:3000000000",               // number out of range
        "",
    };
    CQTVideoWindowLayout layout(3, 3, 400, 300);
    const std::string before = Format(layout);
    for (const char* text : refused) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(layout.ParseLayout(text));
        EXPECT_EQ(Format(layout), before);
    }
}

TEST(VideoLayout, TextWithoutDividersOrCellsIsAGridOfSeparateCells)
{
    CQTVideoWindowLayout layout(1, 1, 400, 300);
    ASSERT_TRUE(layout.ParseLayout("2/2/4/400:300//"));
    EXPECT_TRUE(layout.Dividers().empty());
    layout.RebuildCells();
    EXPECT_EQ(layout.Cells().size(), 4u);
    EXPECT_EQ(layout.CellCount(), 4);
}

TEST(VideoLayout, RowAndColumnChangesKeepStatesWhereDividersRemain)
{
    CQTVideoWindowLayout layout(2, 2, 400, 300);
    EXPECT_TRUE(layout.SetRows(3));
    EXPECT_EQ(layout.Cells().size(), 6u);
    EXPECT_EQ(layout.Dividers().size(), 3u * 1 + 2u * 2);

    // A merge survives growth; shrinking to one row drops its horizontal dividers.
    CQTVideoWindowLayout merged = Applied(CSFVideoWindow::GetDefaultLayout(DEFAULT_LAYOUT_6));
    EXPECT_TRUE(merged.SetColumns(4));
    EXPECT_EQ(merged.Dividers().at(CQTVideoWindowLayout::VerticalKey(0, 0)).state, 0);
    EXPECT_EQ(merged.Cells().size(), 9u);
    EXPECT_TRUE(merged.SetRows(1));
    for (const auto& entry : merged.Dividers())
        EXPECT_TRUE(CQTVideoWindowLayout::IsVerticalKey(entry.first)) << entry.first;
    EXPECT_EQ(merged.Dividers().size(), 3u);

    struct Case {
        int n;
        bool rows;
    } const refused[] = {{0, true}, {-1, true}, {1, true}, {256, true}, {0, false}, {4, false}, {256, false}};
    for (const Case& c : refused) {
        SCOPED_TRACE(c.n);
        const std::string before = Format(merged);
        EXPECT_FALSE(c.rows ? merged.SetRows(c.n) : merged.SetColumns(c.n));
        EXPECT_EQ(Format(merged), before);
    }
}

TEST(VideoLayout, NewCanvasRedividesTheGrid)
{
    CQTVideoWindowLayout layout = Applied(CSFVideoWindow::GetDefaultLayout(DEFAULT_LAYOUT_4));
    EXPECT_FALSE(layout.SetSize(400, 300));
    EXPECT_TRUE(layout.SetSize(801, 601));
    EXPECT_TRUE(SameRect(layout.Cells().at(3), 400, 300, 800, 600));
    EXPECT_TRUE(SameRect(layout.Dividers().at(CQTVideoWindowLayout::VerticalKey(0, 0)).band, 395, 0, 404, 299));

    // Assign takes grid and states, keeps its own canvas.
    CQTVideoWindowLayout target(1, 1, 800, 600);
    target.Assign(Applied(CSFVideoWindow::GetDefaultLayout(DEFAULT_LAYOUT_6)));
    EXPECT_EQ(target.Size(), std::make_pair(800, 600));
    EXPECT_EQ(target.Cells().size(), 6u);
    EXPECT_TRUE(SameRect(target.Cells().at(0), 0, 0, 531, 399));
}

TEST(VideoLayout, DividerRunsAreSelectedUpToTheNextCrossing)
{
    using L = CQTVideoWindowLayout;
    struct Case {
        const char* what;
        DEFAULT_LAYOUT layout;
        int x, y;
        std::set<int> keys;
    } const cases[] = {
        {"full crossing stops at once", DEFAULT_LAYOUT_4, 200, 50, {L::VerticalKey(0, 0)}},
        {"T junction follows the arm", DEFAULT_LAYOUT_6, 266, 50,
         {L::VerticalKey(0, 1), L::VerticalKey(1, 1), L::HorizontalKey(0, 2)}},
        {"removed run up to a present divider", DEFAULT_LAYOUT_6, 50, 100,
         {L::HorizontalKey(0, 0), L::HorizontalKey(0, 1)}},
        {"outside every band", DEFAULT_LAYOUT_4, 50, 50, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CQTVideoWindowLayout layout = Applied(CSFVideoWindow::GetDefaultLayout(c.layout));
        EXPECT_EQ(layout.SelectDividerAt(c.x, c.y), !c.keys.empty());
        EXPECT_EQ(SelectedKeys(layout), c.keys);
    }
}

TEST(VideoLayout, ToggleMergesAndRestoresTheSelectedRun)
{
    CQTVideoWindowLayout layout = Applied(CSFVideoWindow::GetDefaultLayout(DEFAULT_LAYOUT_4));
    EXPECT_FALSE(layout.ToggleSelectedDividers());
    ASSERT_TRUE(layout.SelectDividerAt(200, 50));  // upper vertical divider
    EXPECT_TRUE(layout.ToggleSelectedDividers());
    EXPECT_EQ(layout.Cells().size(), 3u);
    EXPECT_TRUE(SameRect(layout.Cells().at(0), 0, 0, 399, 149));
    EXPECT_TRUE(layout.ToggleSelectedDividers());
    EXPECT_EQ(layout.Cells().size(), 4u);
}

TEST(VideoLayout, LargestGridParsesRebuildsAndFollowsLongRuns)
{
    CQTVideoWindowLayout layout(255, 255, 1280, 1280);
    EXPECT_EQ(layout.Cells().size(), 255u * 255u);
    CQTVideoWindowLayout copy(1, 1, 1280, 1280);
    ASSERT_TRUE(copy.ParseLayout(Format(layout)));
    copy.RebuildCells();
    EXPECT_EQ(Format(copy), Format(layout));

    // Every vertical divider removed: a horizontal divider's run is its whole grid line.
    std::string text = "255/255/1/1280:1280/";
    for (const auto& [key, divider] : layout.Dividers()) {
        const RECT& b = divider.band;
        text += std::to_string(key) + (CQTVideoWindowLayout::IsVerticalKey(key) ? ":0:" : ":1:") +
                std::to_string(b.left) + ":" + std::to_string(b.top) + ":" + std::to_string(b.right) + ":" +
                std::to_string(b.bottom) + "-";
    }
    text.back() = '/';
    CQTVideoWindowLayout rows(1, 1, 1280, 1280);
    ASSERT_TRUE(rows.ParseLayout(text));
    rows.RebuildCells();
    EXPECT_EQ(rows.Cells().size(), 255u);
    ASSERT_TRUE(rows.SelectDividerAt(12, 5));  // horizontal (0, 2)
    EXPECT_EQ(rows.Selected().size(), 255u);
    EXPECT_TRUE(rows.ToggleSelectedDividers());
    EXPECT_EQ(rows.Cells().size(), 254u);
}
