// List control: columns, header sorting and its notifications, cell texts, selection, cell
// controls with their ids, row check boxes, deletions (registries keep addressing the right
// rows), alarm combo boxes and the copy menu.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QProgressBar>
#include <QMouseEvent>
#include <QScrollBar>

#include "ControlTestSupport.h"
#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTComboBox.h"
#include "Widgets/CSFQTListCtrl.h"
#include "Widgets/CSFQTRadioBox.h"
#include "Widgets/ListItemHelpers.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

namespace {
constexpr int kListId = 1000;

struct ListSink : ISFListCtrlEvent {
    std::vector<std::pair<int, int>> buttons;  // (control id, row)
    std::vector<int> releases;
    std::vector<std::vector<int>> alarms;
    void OnButton(int id, int row) override { buttons.emplace_back(id, row); }
    void Selection_OnMouseRelease(int any) override { releases.push_back(any); }
    void SetAlarmInfo(int* t0, int* t1, int* t2, int*, int*) override { alarms.push_back({t0[0], t1[0], t2[0]}); }
};

struct Fixture {
    explicit Fixture(int rows, int cols = 9)
    {
        list = static_cast<CSFQTListCtrl*>(CreateSFListCtrl(&sink));
        list->Create(0, RECT{0, 0, 900, 400}, &page, kListId, false);
        for (int c = 0; c < cols; ++c)
            list->InsertColumnNew(c, L"h", c == cols - 1);
        for (int r = 0; r < rows; ++r) {
            list->InsertItem(r, Text(r).c_str());
            list->SetItemText(r, 1, (L"one-" + Text(r)).c_str());
        }
    }
    static std::wstring Text(int r) { return L"row" + std::to_wstring(r); }
    std::wstring TextAt(int r, int c = 0) const
    {
        wchar_t buf[64] = {};
        list->GetItemText(r, c, buf, 64);
        return buf;
    }
    CSFQTButton* Button(int row, size_t which = 0) const
    {
        const auto all = list->CellControls(row, CSFQTListCtrl::KindButton);
        return which < all.size() ? static_cast<CSFQTButton*>(all[which]) : nullptr;
    }
    CSFQTRadioBox* Check(int row) const
    {
        const auto all = list->CellControls(row, CSFQTListCtrl::KindCheck);
        return all.empty() ? nullptr : static_cast<CSFQTRadioBox*>(all[0]);
    }
    // Row that a click of the row's first button reports.
    int ClickedRow(CSFQTButton* button)
    {
        sink.buttons.clear();
        button->click();
        return sink.buttons.empty() ? -2 : sink.buttons.back().second;
    }

    RecordingPage page;
    ListSink sink;
    CSFQTListCtrl* list;
    ImageButtonStyle buttonStyle;
    ImageRadioBox checkStyle;
};

void Click(QWidget* w, Qt::MouseButton button = Qt::LeftButton)
{
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), button, button, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), button, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

void ReleaseOverCell(CSFQTListCtrl* list, int row, int col, Qt::MouseButton button)
{
    const QPointF at = list->visualRect(list->model()->index(row, col)).center();
    QMouseEvent release(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at), button, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &release);
}
}  // namespace

TEST(ListCtrl, InsertColumnRangeAndWidths)
{
    RecordingPage page;
    auto* list = static_cast<CSFQTListCtrl*>(CreateSFListCtrl(nullptr));
    list->Create(0, RECT{0, 0, 300, 200}, &page, kListId, false);
    EXPECT_EQ(list->InsertColumn(0, L"a", 0, 50, 0), 0);
    EXPECT_EQ(list->InsertColumn(1, L"b", 0, 50, 0), 1);
    EXPECT_EQ(list->InsertColumn(3, L"x", 0, 50, 0), -1);
    EXPECT_EQ(list->InsertColumn(-1, L"x", 0, 50, 0), -1);
    EXPECT_EQ(list->InsertColumn(2, L"c", 1, 50, 0), 2);
    EXPECT_EQ(list->GetColCount(), 3);
    EXPECT_EQ(list->columnWidth(0), 100);
    EXPECT_TRUE(list->isColumnHidden(2));
    EXPECT_EQ(list->GetHoriazontalHeaderText(1), "b");
    EXPECT_TRUE(list->GetHoriazontalHeaderText(7).isEmpty());
}

TEST(ListCtrl, RowsTextsAndBoundedGetter)
{
    Fixture f(3);
    EXPECT_EQ(f.list->InsertItem(5, L"x"), -1);
    EXPECT_EQ(f.list->InsertItem(0, L"zero"), 0);
    EXPECT_EQ(f.list->GetItemCount(), 4);
    EXPECT_EQ(f.TextAt(0), L"zero");
    EXPECT_EQ(f.list->SetItemText(9, 0, L"x"), 0);
    EXPECT_EQ(f.list->SetItemText(1, 2, L"abcdef"), 1);
    wchar_t buf[6] = {L'#', L'#', L'#', L'#', L'#', L'#'};
    EXPECT_EQ(f.list->GetItemText(1, 2, buf, 4), 3);
    EXPECT_EQ(std::wstring(buf), L"abc");
    EXPECT_EQ(buf[4], L'#');
    EXPECT_EQ(f.list->GetItemText(1, 99, buf, 4), -1);
    EXPECT_EQ(f.list->SetItemData(1, 77, 0), 1);
    EXPECT_EQ(f.list->GetItemData(1, 0), 77u);
    EXPECT_EQ(f.list->GetItemData(10, 0), static_cast<DWORD>(-1));

    SetListItemTextUtf8(f.list, 2, 3, "gr\xC3\xBC\xC3\x9F");
    SetListItemInt(f.list, 2, 4, -42);
    SetListItemText(nullptr, 0, 0, L"ignored");
    EXPECT_EQ(f.TextAt(2, 3), L"gr\u00FC\u00DF");
    EXPECT_EQ(f.TextAt(2, 4), L"-42");
}

TEST(ListCtrl, SelectionOperations)
{
    Fixture f(40);
    f.list->SetItemSelected(nullptr, 1, true);
    EXPECT_FALSE(f.list->selectionModel()->hasSelection());
    f.list->verticalScrollBar()->setValue(0);
    int rows[3] = {5, 7, 9};
    f.list->SetItemSelected(rows, 3, true);
    std::set<int> selected;
    f.list->GetSelectRow(selected);
    EXPECT_EQ(selected, std::set<int>{5});
    EXPECT_EQ(f.list->IsSelected(5), 1);
    EXPECT_EQ(f.list->verticalScrollBar()->value(), 0);
    f.list->SetSelectionStyle(7);
    EXPECT_EQ(f.list->selectionMode(), QAbstractItemView::SingleSelection);
    f.list->SetSelectionStyle(2);
    EXPECT_EQ(f.list->selectionMode(), QAbstractItemView::MultiSelection);
}

TEST(ListCtrl, HeaderSortTogglesAndNotifies)
{
    Fixture f(0);
    const wchar_t* keys[] = {L"b", L"c", L"a"};
    for (int r = 0; r < 3; ++r) {
        f.list->InsertItem(r, Fixture::Text(r).c_str());
        f.list->SetItemText(r, 2, keys[r]);
        f.list->SetItemText(r, 3, keys[2 - r]);
    }
    f.list->SetHeaderSortEnable(1);
    f.list->SetHeaderSortEnable(1);
    QHeaderView* header = f.list->horizontalHeader();

    emit header->sectionClicked(0);
    EXPECT_FALSE(header->isSortIndicatorShown());
    EXPECT_TRUE(f.page.Of(78, 9).empty());

    emit header->sectionClicked(2);
    EXPECT_EQ(f.TextAt(0, 2) + f.TextAt(1, 2) + f.TextAt(2, 2), L"cba");
    ASSERT_EQ(f.page.Of(78, 9).size(), 1u);
    EXPECT_EQ(f.page.Of(78, 9)[0].row, 2);
    EXPECT_EQ(f.page.Of(78, 9)[0].value, kListId);

    emit header->sectionClicked(3);
    EXPECT_EQ(f.TextAt(0, 3) + f.TextAt(1, 3) + f.TextAt(2, 3), L"abc");

    f.list->EmitHeadClickFun(2);
    EXPECT_EQ(f.TextAt(0, 2) + f.TextAt(1, 2) + f.TextAt(2, 2), L"abc");
    // The forced ascending sort leaves the toggle alone: the next click sorts descending.
    emit header->sectionClicked(2);
    EXPECT_EQ(f.TextAt(0, 2) + f.TextAt(1, 2) + f.TextAt(2, 2), L"cba");
    EXPECT_EQ(f.page.Of(78, 9).size(), 4u);
}

TEST(ListCtrl, ControlColumnsSortOnlyWhenMarked)
{
    Fixture f(3);
    f.list->SetHeaderSortEnable(1);
    for (int r = 0; r < 3; ++r) {
        f.list->SetItemText(r, 4, L"x");
        f.list->SetItemCheckWidget(r, 4, f.checkStyle);
        f.list->SetItemText(r, 5, Fixture::Text(2 - r).c_str());
        f.list->AddOneOperateBtn(r, 5, 9, L"tip", f.buttonStyle, 16, 16, 0);
    }
    emit f.list->horizontalHeader()->sectionClicked(4);
    EXPECT_TRUE(f.page.Of(78, 9).empty());
    emit f.list->horizontalHeader()->sectionClicked(5);
    EXPECT_EQ(f.page.Of(78, 9).size(), 1u);
}

TEST(ListCtrl, ClickAndReleaseNotifications)
{
    Fixture f(3);
    f.list->SetCopyParas(L"", L"Copy", 2);
    f.list->SetItemText(1, 2, L"copied text");
    f.list->SetItemText(1, 3, L"other");
    f.list->setCurrentCell(1, 3);
    ReleaseOverCell(f.list, 1, 3, Qt::RightButton);
    EXPECT_EQ(f.sink.releases, std::vector<int>{1});
    ASSERT_EQ(f.page.Of(78, 2).size(), 1u);
    EXPECT_EQ(f.page.Of(78, 2)[0].row, 1);
    EXPECT_EQ(f.page.Of(78, 2)[0].column, 3);
    EXPECT_TRUE(f.list->CopyMenu() == nullptr || !f.list->CopyMenu()->isVisible());

    f.list->setCurrentCell(1, 2);
    ReleaseOverCell(f.list, 1, 2, Qt::RightButton);
    ASSERT_NE(f.list->CopyMenu(), nullptr);
    EXPECT_TRUE(f.list->CopyMenu()->isVisible());
    f.list->CopyAction()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "copied text");
    f.list->CopyMenu()->hide();
}

TEST(ListCtrl, DoubleClickOpensEditorInEditorColumns)
{
    Fixture f(2);
    f.list->EditorMode(1);
    emit f.list->itemDoubleClicked(f.list->item(1, 1));
    EXPECT_TRUE(f.list->isPersistentEditorOpen(f.list->item(1, 1)));
    emit f.list->itemDoubleClicked(f.list->item(0, 0));
    EXPECT_FALSE(f.list->isPersistentEditorOpen(f.list->item(1, 1)));
    ASSERT_EQ(f.page.Of(78, 3).size(), 2u);
    EXPECT_EQ(f.page.Of(78, 3)[1].row, 0);
}

TEST(ListCtrl, CellButtonsByIdAndClick)
{
    Fixture f(5);
    f.list->AddOneOperateBtnEx(3, 8, 5, L"first", f.buttonStyle, 16, 16, 0, 6, L"second", f.buttonStyle);
    f.list->AddOneOperateBtn(4, 7, 11, L"details", f.buttonStyle, 16, 16, 0);
    ASSERT_NE(f.Button(3, 1), nullptr);
    f.list->SetBtnEnable(3, 6, false);
    EXPECT_TRUE(f.Button(3, 0)->isEnabled());
    EXPECT_FALSE(f.Button(3, 1)->isEnabled());
    f.list->SetBtnEnable(3, false);
    EXPECT_FALSE(f.Button(3, 0)->isEnabled());
    EXPECT_EQ(f.list->GetItemData(4, 7), 0u) << "no item in the cell, nothing stored";

    f.Button(4)->click();
    ASSERT_EQ(f.page.Of(78, 2).size(), 1u);
    EXPECT_EQ(f.page.Of(78, 2)[0].row, 4);
    EXPECT_EQ(f.page.Of(78, 2)[0].column, 1);
    EXPECT_EQ(f.list->IsSelected(4), 1);
    EXPECT_EQ(f.sink.buttons, (std::vector<std::pair<int, int>>{{11, 4}}));
    ASSERT_EQ(f.page.Of(273, 0).size(), 1u);
    EXPECT_EQ(f.page.Of(273, 0)[0].value, 11);

    // A second button with the same id replaces the row's registration.
    f.list->AddOneOperateBtn(4, 7, 11, L"details", f.buttonStyle, 16, 16, 0);
    EXPECT_EQ(f.list->CellControls(4, CSFQTListCtrl::KindButton).size(), 1u);
    f.list->DeleteOneOperateBtn(4, 7, 11);
    EXPECT_TRUE(f.list->CellControls(4, CSFQTListCtrl::KindButton).empty());
    EXPECT_EQ(f.list->indexWidget(f.list->model()->index(4, 7)), nullptr);
}

TEST(ListCtrl, FixedIdsOfCellControls)
{
    Fixture f(2, 10);
    ImageProgressCtrlStyle bar;
    f.list->SetItemWidget(0, 2, L"a", nullptr, L"c", f.buttonStyle, f.buttonStyle, f.buttonStyle);
    f.list->AddOperateBtnEx(0, 8, L"Up", 31, f.buttonStyle, 60, 20, f.buttonStyle, L"small", 4);
    f.list->AddOperateBtn(1, 7, L"Go", 32, f.buttonStyle, 60, 20);
    f.list->SetItemProgress(1, 3, 77, bar);
    f.list->SetItemEditCtrl(1, 4, 0);
    std::vector<UINT> ids;
    for (QWidget* w : f.list->CellControls(0, CSFQTListCtrl::KindButton))
        ids.push_back(static_cast<CSFQTButton*>(w)->Id());
    EXPECT_EQ(ids, (std::vector<UINT>{2137, 2135, 31, 1156}));
    EXPECT_EQ(f.list->CellControls(0, CSFQTListCtrl::KindProgress).size(), 1u);
    EXPECT_EQ(f.list->CellControls(1, CSFQTListCtrl::KindProgress).size(), 2u);

    f.list->SetProgress(1, 40, 77);
    f.list->SetProgress(1, 60, 1113);
    const auto bars = f.list->CellControls(1, CSFQTListCtrl::KindProgress);
    EXPECT_EQ(static_cast<QProgressBar*>(bars[0])->value(), 60);
    EXPECT_EQ(static_cast<QProgressBar*>(bars[1])->value(), 40);

    f.list->SetItemText(1, 4, L"123", 0);
    wchar_t buf[8] = {};
    EXPECT_EQ(f.list->GetItemText(1, 4, buf, 8, 0), 3);
    EXPECT_EQ(std::wstring(buf), L"123");
    f.list->SetItemShow(1, 7, 32, false);
    EXPECT_TRUE(f.Button(1)->isHidden());
}

TEST(ListCtrl, RowAndHeaderCheckBoxes)
{
    Fixture f(3);
    f.list->InsertColumnCheck(0, f.checkStyle);
    for (int r = 0; r < 3; ++r)
        f.list->SetItemCheckWidget(r, 0, f.checkStyle);
    Click(f.Check(0));
    Click(f.Check(1));
    EXPECT_EQ(f.list->HeaderCheck()->GetCheck(), 0);
    Click(f.Check(2));
    EXPECT_EQ(f.list->HeaderCheck()->GetCheck(), 1);
    EXPECT_EQ(f.page.Of(273, 0).size(), 3u);
    EXPECT_EQ(f.page.Of(273, 0).back().value, 2133);

    f.Check(1)->setEnabled(false);
    f.Check(1)->SetCheck(0);
    Click(f.list->HeaderCheck());
    EXPECT_EQ(f.list->IsCheck(0) + f.list->IsCheck(1) + f.list->IsCheck(2), 0 + 0 + 0);
    EXPECT_EQ(f.page.Of(273, 0).back().value, 2132);
    Click(f.list->HeaderCheck());
    EXPECT_EQ(f.list->IsCheck(0), 1);
    EXPECT_EQ(f.list->IsCheck(1), 0) << "disabled boxes keep their state";
    EXPECT_EQ(f.list->IsCheck(2), 1);

    EXPECT_EQ(f.list->SetCheck(2, 0), 1);
    EXPECT_EQ(f.list->SetCheck(7, 1), 0);
    f.list->SetRowEnable(2, false);
    EXPECT_EQ(f.list->item(2, 0)->foreground().color(), QColor(127, 127, 127));
}

TEST(ListCtrl, RegistriesFollowDeletedRows)
{
    Fixture f(4);
    for (int r = 0; r < 4; ++r)
        f.list->AddOneOperateBtn(r, 8, 5, L"tip", f.buttonStyle, 16, 16, 0);
    CSFQTButton* second = f.Button(2);
    f.list->DeleteRow(1);
    EXPECT_EQ(f.ClickedRow(second), 1);
    EXPECT_EQ(f.list->GetItemCount(), 3);

    CSFQTButton* last = f.Button(2);
    f.list->DeleteAppointRows(0, 2);
    EXPECT_EQ(f.list->GetItemCount(), 1);
    EXPECT_EQ(f.ClickedRow(last), 0);
    EXPECT_EQ(f.TextAt(0), L"row3");
}

TEST(ListCtrl, DeleteSelectedFromTheHighestRow)
{
    Fixture f(5);
    f.list->SetSelectionStyle(2);
    f.list->selectionModel()->select(f.list->model()->index(1, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    f.list->selectionModel()->select(f.list->model()->index(3, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    std::set<int> rows;
    f.list->DeleteSelectedItems(rows);
    EXPECT_EQ(rows, (std::set<int>{1, 3}));
    EXPECT_EQ(f.TextAt(0) + f.TextAt(1) + f.TextAt(2), L"row0row2row4");
}

TEST(ListCtrl, DeleteCheckedRowsDeletesExactlyTheCheckedRows)
{
    // Few scattered rows and many scattered rows take different removal paths.
    for (int rows : {6, 90}) {
        Fixture f(rows);
        for (int r = 0; r < rows; ++r) {
            f.list->SetItemCheckWidget(r, 0, f.checkStyle);
            f.list->AddOneOperateBtnEx(r, 8, 5, L"a", f.buttonStyle, 16, 16, 0, 6, L"b", f.buttonStyle);
            f.list->SetItemText(r, 2, std::to_wstring(r).c_str());
        }
        std::vector<int> kept;
        for (int r = 0; r < rows; ++r) {
            if (r % 3 == 1)
                f.list->SetCheck(r, 1);
            else
                kept.push_back(r);
        }
        std::set<int> removed;
        f.list->DeleteCheckedRows(removed);
        EXPECT_EQ(removed.size(), static_cast<size_t>(rows - static_cast<int>(kept.size())));
        ASSERT_EQ(f.list->GetItemCount(), static_cast<int>(kept.size()));
        for (int r = 0; r < f.list->GetItemCount(); ++r) {
            EXPECT_EQ(f.TextAt(r, 2), std::to_wstring(kept[static_cast<size_t>(r)])) << rows << " rows, row " << r;
            EXPECT_EQ(f.list->IsCheck(r), 0);
            CSFQTButton* button = f.Button(r);
            EXPECT_EQ(f.list->indexWidget(f.list->model()->index(r, 8))->findChild<CSFQTButton*>(), button);
            EXPECT_EQ(f.ClickedRow(f.Button(r, 1)), r);
        }
        EXPECT_EQ(f.list->horizontalHeader()->count(), 9);
    }
}

TEST(ListCtrl, RegistriesFollowSortedRows)
{
    Fixture f(3);
    f.list->SetHeaderSortEnable(1);
    const wchar_t* keys[] = {L"m", L"z", L"a"};
    for (int r = 0; r < 3; ++r) {
        f.list->SetItemText(r, 2, keys[r]);
        f.list->SetItemCheckWidget(r, 0, f.checkStyle);
        f.list->AddOneOperateBtn(r, 8, 5, L"tip", f.buttonStyle, 16, 16, 0);
    }
    f.list->SetCheck(1, 1);  // "z"
    CSFQTButton* zButton = f.Button(1);
    f.list->EmitHeadClickFun(2);
    EXPECT_EQ(f.TextAt(2, 2), L"z");
    EXPECT_EQ(f.list->IsCheck(2), 1);
    EXPECT_EQ(f.list->IsCheck(1), 0);
    EXPECT_EQ(f.ClickedRow(zButton), 2);
}

TEST(ListCtrl, AlarmComboInterlocks)
{
    Fixture f(6);
    ImageComboBoxStyle style;
    std::wstring items[8] = {L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7"};
    for (int type : {0, 1, 2, 3, 4})
        f.list->SetItemComboBox(5, type + 1, type, 100, style, nullptr, nullptr, items);
    auto combo = [&f](int type) {
        return static_cast<CSFQTComboBox*>(f.list->CellControls(5, CSFQTListCtrl::KindCombo0 + type)[0]);
    };
    EXPECT_EQ(combo(0)->GetCount(), 8);
    EXPECT_EQ(combo(1)->GetCurSel(), 1);
    EXPECT_FALSE(combo(3)->isEnabled());
    EXPECT_EQ(combo(2)->Id(), 100u + 0x50000000u);

    combo(2)->setCurrentIndex(1);  // as the user: delays become available at index 2
    EXPECT_TRUE(combo(3)->isEnabled());
    EXPECT_EQ(combo(4)->GetCurSel(), 2);
    combo(0)->setCurrentIndex(7);
    for (int type : {2, 3, 4}) {
        EXPECT_FALSE(combo(type)->isEnabled()) << type;
        EXPECT_EQ(combo(type)->GetCurSel(), 0) << type;
    }
    f.list->GetAlarmInfo();
    ASSERT_EQ(f.sink.alarms.size(), 1u);
    EXPECT_EQ(f.sink.alarms[0], (std::vector<int>{7, 1, 0}));
}

TEST(ListCtrl, CellsAreSkinnedWhenFirstPainted)
{
    Fixture f(60);
    for (int r = 0; r < 60; ++r)
        f.list->AddOneOperateBtn(r, 8, 5, L"tip", f.buttonStyle, 16, 16, 0);
    EXPECT_TRUE(f.list->SkinPending(f.Button(0)));
    f.list->ShowWindow(1);
    f.page.resize(900, 400);
    f.page.grab();
    EXPECT_FALSE(f.list->SkinPending(f.Button(0)));
    EXPECT_TRUE(f.list->SkinPending(f.Button(59))) << "rows out of view wait";
    f.list->SetItemExpand(59, 8, 5, f.buttonStyle, L"now");
    EXPECT_FALSE(f.list->SkinPending(f.Button(59)));
    EXPECT_EQ(f.Button(59)->toolTip(), "now");
}

TEST(ListCtrl, TextWiderThanItsColumnStaysOnOneLine)
{
    // A dotted version text would break at its dots if cells wrapped; it is cut on one line instead.
    for (const wchar_t* text : {L"2.640.2215000.18.R", L"IPC VX2431 outdoor bullet camera"}) {
        Fixture f(1, 3);
        f.list->SetColumnWidth(1, 70);
        f.list->SetItemText(0, 1, text);
        f.list->ShowWindow(1);
        f.page.resize(900, 400);
        const QRect cell = f.list->visualItemRect(f.list->item(0, 1));
        const QImage shot = f.list->viewport()->grab(cell).toImage();
        int top = shot.height(), bottom = -1;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (qGray(shot.pixel(x, y)) < 128) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        ASSERT_GE(bottom, top) << "the text is drawn";
        EXPECT_LE(bottom - top + 1, f.list->fontMetrics().height()) << "one line of text";
    }
}
