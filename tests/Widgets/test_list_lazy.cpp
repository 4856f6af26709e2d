// List control with many rows: cell controls exist only for the rows in or near the view. States
// set through the list, or by the user, on rows that scroll out are kept and shown again when the
// rows scroll back in, and a click always names the button's current row.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include <QApplication>
#include <QMouseEvent>
#include <QProgressBar>

#include "ControlTestSupport.h"
#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTListCtrl.h"
#include "Widgets/CSFQTRadioBox.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

namespace {

struct ClickSink : ISFListCtrlEvent {
    std::vector<std::pair<int, int>> clicks; // (control id, row)
    void OnButton(int id, int row) override { clicks.emplace_back(id, row); }
};

void Click(QWidget* w)
{
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

struct ShownList {
    explicit ShownList(int rows)
    {
        list = static_cast<CSFQTListCtrl*>(CreateSFListCtrl(&sink));
        list->Create(0, RECT{0, 0, 900, 400}, &page, 1000, false);
        for (int c = 0; c < 9; ++c)
            list->InsertColumnNew(c, L"h", c == 8);
        list->SetHeaderSortEnable(1);
        list->InsertColumnCheck(0, checkStyle);
        page.resize(900, 400);
        page.show();
        QApplication::processEvents();
        for (int r = 0; r < rows; ++r)
            AddRow(r);
        Settle();
    }
    void AddRow(int r)
    {
        list->InsertItem(r, L"");
        list->SetItemText(r, 1, std::to_wstring(900000 - r).c_str()); // sorts in reverse
        list->SetItemCheckWidget(r, 0, checkStyle);
        list->SetItemWidget(r, 2, L"a", L"b", L"c", style, style, style);
        list->AddOperateBtn(r, 7, L"Go", 32, style, 60, 20);
        list->AddOneOperateBtn(r, 8, 5, L"details", style, 16, 16, 0);
    }
    // Layout, paint, and the deletion of released controls.
    void Settle()
    {
        QApplication::processEvents();
        page.grab();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void ScrollTo(int row)
    {
        list->scrollTo(list->model()->index(row, 0), QAbstractItemView::PositionAtTop);
        Settle();
    }
    CSFQTButton* Button(int row, UINT id)
    {
        for (QWidget* w : list->CellControls(row, CSFQTListCtrl::KindButton)) {
            auto* b = static_cast<CSFQTButton*>(w);
            if (b->Id() == id)
                return b;
        }
        return nullptr;
    }
    CSFQTRadioBox* Check(int row)
    {
        const auto all = list->CellControls(row, CSFQTListCtrl::KindCheck);
        return all.empty() ? nullptr : static_cast<CSFQTRadioBox*>(all[0]);
    }
    QProgressBar* Bar(int row)
    {
        const auto all = list->CellControls(row, CSFQTListCtrl::KindProgress);
        return all.empty() ? nullptr : static_cast<QProgressBar*>(all[0]);
    }
    // Rows whose controls may exist: the view and a few rows around it.
    int MaxLive() const { return list->viewport()->height() / list->rowHeight(0) + 2 * 4 + 2; }
    int ClickedRow(CSFQTButton* button)
    {
        sink.clicks.clear();
        button->click();
        return sink.clicks.empty() ? -2 : sink.clicks.back().second;
    }

    RecordingPage page;
    ClickSink sink;
    CSFQTListCtrl* list = nullptr;
    ImageButtonStyle style;
    ImageRadioBox checkStyle;
};

} // namespace

TEST(ListLazyRows, ControlsExistOnlyNearTheViewWhileRowsAreAppended)
{
    ShownList f(0);
    for (int r = 0; r < 3000; ++r) {
        f.AddRow(r);
        if (r % 500 == 0)
            f.Settle();
    }
    f.Settle();
    EXPECT_LE(f.list->LiveRowCount(), f.MaxLive());
    EXPECT_FALSE(f.list->RowLive(2999));
    const auto buttonsNow = [&f] { return f.list->viewport()->findChildren<CSFQTButton*>().size(); };
    EXPECT_LE(buttonsNow(), static_cast<size_t>(f.MaxLive() * 5));

    f.list->scrollToBottom();
    f.Settle();
    EXPECT_TRUE(f.list->RowLive(2999));
    EXPECT_FALSE(f.list->RowLive(0));
    EXPECT_LE(f.list->LiveRowCount(), f.MaxLive());
    EXPECT_LE(buttonsNow(), static_cast<size_t>(f.MaxLive() * 5)) << "rows scrolled out give their controls up";
    EXPECT_EQ(f.ClickedRow(f.Button(2999, 5)), 2999);
}

TEST(ListLazyRows, StatesAndClicksFollowRowsScrolledOutSortedAndDeleted)
{
    constexpr int kRows = 200;
    constexpr int kFar = 150;
    ShownList f(kRows);
    ASSERT_FALSE(f.list->RowLive(kFar));

    // Set through the list while the row has no controls: nothing is made for it.
    f.list->SetCheck(kFar, 1);
    f.list->SetBtnEnable(kFar, CSFQTListCtrl::IdWidgetBtn2, false);
    f.list->SetItemShow(kFar, 8, 5, false);
    f.list->SetProgress(kFar, 40, CSFQTListCtrl::IdProgress);
    f.list->SetOpeBtnText(kFar, 32, L"Stop");
    f.list->SetItemExpand(kFar, 2, CSFQTListCtrl::IdWidgetBtn3, f.style, L"expanded");
    EXPECT_EQ(f.list->IsCheck(kFar), 1);
    EXPECT_EQ(f.list->IsCheck(kFar + 1), 0);
    EXPECT_FALSE(f.list->RowLive(kFar));

    // Ticked by the user, then scrolled out.
    Click(f.Check(1));
    EXPECT_EQ(f.list->IsCheck(1), 1);
    f.Button(1, CSFQTListCtrl::IdWidgetBtn1)->setEnabled(false);
    f.list->scrollToBottom();
    f.Settle();
    ASSERT_FALSE(f.list->RowLive(1));
    EXPECT_EQ(f.list->IsCheck(1), 1);

    const auto expectFarStates = [&f](int row, int check) {
        ASSERT_TRUE(f.list->RowLive(row));
        EXPECT_EQ(f.Check(row)->GetCheck(), check);
        EXPECT_TRUE(f.Button(row, CSFQTListCtrl::IdWidgetBtn1)->isEnabled());
        EXPECT_FALSE(f.Button(row, CSFQTListCtrl::IdWidgetBtn2)->isEnabled());
        EXPECT_TRUE(f.Button(row, 5)->isHidden());
        EXPECT_FALSE(f.Button(row, 32)->isHidden());
        EXPECT_EQ(f.Bar(row)->value(), 40);
        EXPECT_EQ(f.Button(row, 32)->text(), "Stop");
        EXPECT_EQ(f.Button(row, CSFQTListCtrl::IdWidgetBtn3)->toolTip(), "expanded");
        EXPECT_FALSE(f.list->SkinPending(f.Button(row, CSFQTListCtrl::IdWidgetBtn3)));
    };
    f.ScrollTo(kFar);
    {
        SCOPED_TRACE("scrolled in");
        expectFarStates(kFar, 1);
    }
    EXPECT_EQ(f.ClickedRow(f.Button(kFar, CSFQTListCtrl::IdWidgetBtn1)), kFar);
    f.ScrollTo(0);
    EXPECT_EQ(f.Check(1)->GetCheck(), 1) << "the user's tick is back";
    EXPECT_FALSE(f.Button(1, CSFQTListCtrl::IdWidgetBtn1)->isEnabled());

    // Sorted while the row is out of view: the reverse order puts it at kRows - 1 - kFar.
    f.list->EmitHeadClickFun(1);
    f.Settle();
    const int sorted = kRows - 1 - kFar;
    EXPECT_EQ(f.list->IsCheck(sorted), 1);
    EXPECT_EQ(f.list->IsCheck(kRows - 2), 1) << "old row 1";
    f.ScrollTo(sorted);
    {
        SCOPED_TRACE("sorted");
        expectFarStates(sorted, 1);
    }
    EXPECT_EQ(f.ClickedRow(f.Button(sorted, CSFQTListCtrl::IdWidgetBtn1)), sorted);

    // Rows deleted above it, while it is in view and while it is not.
    f.list->DeleteRow(0);
    f.Settle();
    EXPECT_EQ(f.ClickedRow(f.Button(sorted - 1, 32)), sorted - 1);
    f.list->scrollToBottom();
    f.Settle();
    f.list->DeleteAppointRows(0, 10);
    f.Settle();
    EXPECT_EQ(f.list->IsCheck(sorted - 11), 0) << "a range deletion gives every row the header box's state";
    f.ScrollTo(sorted - 11);
    {
        SCOPED_TRACE("rows deleted above");
        expectFarStates(sorted - 11, 0);
    }
    EXPECT_EQ(f.ClickedRow(f.Button(sorted - 11, CSFQTListCtrl::IdWidgetBtn1)), sorted - 11);

    // The header box ticks rows without controls too.
    f.list->ScrollToBottom();
    f.Settle();
    const int last = f.list->GetItemCount() - 1;
    ASSERT_FALSE(f.list->RowLive(0));
    Click(f.list->HeaderCheck());
    for (int r : {0, 1, sorted - 11, last})
        EXPECT_EQ(f.list->IsCheck(r), f.list->HeaderCheck()->GetCheck()) << r;
    std::set<int> removed;
    f.list->DeleteCheckedRows(removed);
    EXPECT_EQ(f.list->GetItemCount(), 0);
}

TEST(ListLazyRows, DeletedColumnTakesItsCellsAndMovesTheOthersLeft)
{
    ShownList f(60);
    f.list->SetCheck(50, 1);
    f.list->DeleteColumn(2); // the three-button cells
    f.Settle();
    EXPECT_EQ(f.list->CellControls(0, CSFQTListCtrl::KindButton).size(), 2u);
    f.ScrollTo(50);
    ASSERT_TRUE(f.list->RowLive(50));
    EXPECT_EQ(f.list->cellWidget(50, 7)->findChild<CSFQTButton*>(), f.Button(50, 5));
    EXPECT_EQ(f.Button(50, CSFQTListCtrl::IdWidgetBtn1), nullptr);
    EXPECT_EQ(f.Check(50)->GetCheck(), 1);
    EXPECT_EQ(f.ClickedRow(f.Button(50, 5)), 50);
}
