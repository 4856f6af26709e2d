// List control on screen: only the cell controls of the rows in view are shown, and they follow
// scrolling and sorting to their rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>

#include <functional>

#include "ControlTestSupport.h"
#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTListCtrl.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

namespace {

struct ClickSink : ISFListCtrlEvent {
    std::vector<int> rows;
    void OnButton(int, int row) override { rows.push_back(row); }
};

// Rows whose button is shown, and whether each shown button sits in its own row's cell.
struct Shown {
    std::vector<int> rows;
    bool placed = true;
};

Shown ShownButtons(CSFQTListCtrl* list)
{
    Shown shown;
    for (int r = 0; r < list->rowCount(); ++r) {
        if (!list->RowLive(r))
            continue;
        const std::vector<QWidget*> buttons = list->CellControls(r, CSFQTListCtrl::KindButton);
        if (buttons.empty() || !buttons[0]->isVisibleTo(list))
            continue;
        shown.rows.push_back(r);
        QWidget* cell = buttons[0]->parentWidget();
        if (cell->geometry().top() != list->rowViewportPosition(r))
            shown.placed = false;
    }
    return shown;
}

} // namespace

TEST(ListView, OnlyRowsInViewShowTheirCellControlsWhereverTheViewGoes)
{
    constexpr int kRows = 300;
    RecordingPage page;
    ClickSink sink;
    auto* list = static_cast<CSFQTListCtrl*>(CreateSFListCtrl(&sink));
    list->Create(0, RECT{0, 0, 900, 400}, &page, 1000, false);
    for (int c = 0; c < 3; ++c)
        list->InsertColumnNew(c, L"h", c == 2);
    list->SetHeaderSortEnable(1);
    page.resize(900, 400);
    page.show();
    QApplication::processEvents();
    ImageButtonStyle style;
    // Appended while shown, as search results arrive; row texts sort in reverse.
    for (int r = 0; r < kRows; ++r) {
        list->InsertItem(r, L"");
        list->SetItemText(r, 1, std::to_wstring(100000 - r).c_str());
        list->AddOneOperateBtn(r, 2, 5, L"tip", style, 16, 16, 0);
    }
    page.grab();
    const int perPage = list->viewport()->height() / list->rowHeight(0);

    struct Step {
        const char* name;
        std::function<void()> act;
    } steps[] = {
        {"after the append", [] {}},
        {"scrolled to the end", [&] { list->scrollToBottom(); }},
        {"scrolled to row 120", [&] { list->scrollTo(list->model()->index(120, 0), QAbstractItemView::PositionAtTop); }},
        {"sorted by text", [&] { list->EmitHeadClickFun(1); list->scrollToTop(); }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        page.grab();
        const Shown shown = ShownButtons(list);
        ASSERT_FALSE(shown.rows.empty());
        const int last = list->rowAt(list->viewport()->height() - 1);
        EXPECT_EQ(shown.rows.front(), list->rowAt(0));
        EXPECT_EQ(shown.rows.back(), last < 0 ? kRows - 1 : last);
        EXPECT_LE(shown.rows.size(), static_cast<size_t>(perPage + 2));
        EXPECT_TRUE(shown.placed);
        // A click on the last shown button names its row.
        sink.rows.clear();
        static_cast<CSFQTButton*>(list->CellControls(shown.rows.back(), CSFQTListCtrl::KindButton)[0])->click();
        EXPECT_EQ(sink.rows, std::vector<int>{shown.rows.back()});
    }
}
