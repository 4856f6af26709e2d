// Tree control: handles and insertion order, navigation, check propagation (also below the
// second and later top-level items), highlight, reports to the sink, bounded text getter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QKeyEvent>
#include <QMouseEvent>

#include "ControlTestSupport.h"
#include "Widgets/CSFQTTreeCtrl.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

namespace {
struct TreeSink : ISFTreeCtrlEvent {
    int boxClicks = 0;
    int itemClicks = 0;
    int stateChanges = 0;
    std::vector<UINT> keys;
    void OnItemCheckBoxClick(void*, UINT) override { ++boxClicks; }
    int OnItemClick(void*, UINT) override { return ++itemClicks; }
    void OnItemCheckStateChanged(void*, int) override { ++stateChanges; }
    void OnDlgKeyDown(UINT, UINT key) override { keys.push_back(key); }
};

struct Tree {
    explicit Tree(int checkBoxes = 1)
    {
        tree = static_cast<CSFQTTreeCtrl*>(CreateSFTreeCtrl(&sink));
        tree->Create(WS_VISIBLE, RECT{0, 0, 400, 600}, &page, 12, 0, checkBoxes);
        tree->setIconSize(QSize(16, 16));
    }
    void* Add(const wchar_t* text, void* parent = SF_TVI_ROOT) { return tree->InsertItem(text, parent, SF_TVI_LAST); }
    std::wstring Text(void* item)
    {
        wchar_t buf[32] = {};
        tree->GetTreeItemText(item, buf, 32);
        return buf;
    }
    std::wstring TopOrder()
    {
        std::wstring out;
        for (void* it = tree->GetRootItem(); it; it = tree->GetNextSiblingItem(it))
            out += Text(it);
        return out;
    }
    // A user click on the item's check box: Qt toggles the state, the tree propagates it.
    void ClickCheck(void* handle)
    {
        auto* item = static_cast<QTreeWidgetItem*>(handle);
        tree->scrollToItem(item);
        const QRect r = tree->visualItemRect(item);
        const QPointF at(r.left() + 8, r.center().y());
        QWidget* vp = tree->viewport();
        QMouseEvent press(QEvent::MouseButtonPress, at, vp->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, vp->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(vp, &press);
        QCoreApplication::sendEvent(vp, &release);
    }
    Qt::CheckState State(void* item) { return static_cast<QTreeWidgetItem*>(item)->checkState(0); }

    QWidget page;
    TreeSink sink;
    CSFQTTreeCtrl* tree;
};
}  // namespace

TEST(TreeCtrl, InsertionOrder)
{
    Tree t;
    void* a = t.Add(L"A");
    t.Add(L"B");
    EXPECT_EQ(t.TopOrder(), L"BA");
    t.tree->InsertItem(L"C", SF_TVI_ROOT, a);
    EXPECT_EQ(t.TopOrder(), L"BAC");
    EXPECT_EQ(t.tree->InsertItem(L"X", nullptr, SF_TVI_LAST), nullptr);

    void* p = t.tree->GetRootItem();
    void* c1 = t.Add(L"1", p);
    t.Add(L"2", p);
    t.tree->InsertItem(L"3", p, c1);
    t.tree->InsertItem(L"0", p, a);  // not a child of p: first position
    std::wstring children;
    for (void* it = t.tree->GetChildItem(p); it; it = t.tree->GetNextSiblingItem(it))
        children += t.Text(it);
    EXPECT_EQ(children, L"0132");
    EXPECT_EQ(t.tree->GetParentItem(c1), p);
    EXPECT_EQ(t.tree->GetParentItem(p), nullptr);
    EXPECT_EQ(t.tree->ItemHasChildren(SF_TVI_ROOT), 3);
    EXPECT_EQ(t.tree->GetChildrenCount(p), 4u);
    EXPECT_EQ(t.tree->FindChildItem(L"3", p), t.tree->GetNextSiblingItem(t.tree->GetNextSiblingItem(t.tree->GetChildItem(p))));
    EXPECT_EQ(t.tree->FindChildItem(L"c", SF_TVI_ROOT), nullptr);
    EXPECT_EQ(t.sink.stateChanges, 0) << "insertion reports nothing";
}

TEST(TreeCtrl, CountsThreeLevelsAndDataLookups)
{
    Tree t;
    void* top = t.Add(L"top");
    void* child = t.Add(L"child", top);
    void* grand = t.Add(L"grand", child);
    t.Add(L"deep", grand);
    EXPECT_EQ(t.tree->GetCount(), 3u);
    EXPECT_EQ(t.tree->FindChildItem(L"grand", top), grand);
    EXPECT_EQ(t.tree->FindChildItem(L"deep", top), nullptr);
    EXPECT_EQ(t.tree->SetItemData(child, 42), 1);
    EXPECT_EQ(t.tree->GetItemData(child), 42u);
    EXPECT_EQ(t.tree->GetItemData(nullptr), static_cast<DWORD>(-1));
    EXPECT_EQ(t.tree->SetItemIcon(42, 1), 1);
    EXPECT_EQ(t.tree->SetItemData(grand, 43), 1);
    EXPECT_EQ(t.tree->SetItemIcon(43, 1), 0) << "grandchildren are not searched";
    EXPECT_EQ(t.tree->DeleteItem(child), 1);
    EXPECT_EQ(t.tree->GetCount(), 1u);
    EXPECT_EQ(t.tree->DeleteAllItems(), 1);
    EXPECT_EQ(t.tree->GetRootItem(), nullptr);
}

TEST(TreeCtrl, TextGetterIsBounded)
{
    Tree t;
    void* item = t.Add(L"abcdef");
    wchar_t buf[6] = {L'#', L'#', L'#', L'#', L'#', L'#'};
    EXPECT_EQ(t.tree->GetTreeItemText(item, buf, 4), 3);
    EXPECT_EQ(std::wstring(buf), L"abc");
    EXPECT_EQ(buf[4], L'#');
    EXPECT_EQ(t.tree->GetTreeItemText(SF_TVI_ROOT, buf, 6), 5);
    EXPECT_EQ(t.tree->GetTreeItemText(nullptr, buf, 6), -1);
}

TEST(TreeCtrl, CheckPropagationUpAndDown)
{
    Tree t;
    // Several top-level groups, as device trees have; propagation runs below the last one.
    t.Add(L"first group");
    void* group = t.Add(L"group");
    void* p = t.Add(L"P", group);
    void* x = t.Add(L"X", p);
    void* y = t.Add(L"Y", p);
    t.tree->ExpangAll();
    ASSERT_TRUE(ShowActive(&t.page));

    t.ClickCheck(x);
    ASSERT_EQ(t.State(x), Qt::Checked);
    EXPECT_EQ(t.State(p), Qt::Unchecked);
    EXPECT_EQ(t.sink.boxClicks, 1);
    EXPECT_EQ(t.sink.itemClicks, 0);
    t.ClickCheck(y);
    EXPECT_EQ(t.State(p), Qt::Checked);
    EXPECT_EQ(t.State(group), Qt::Checked);
    EXPECT_GE(t.sink.stateChanges, 4);

    // Unchecking a grandchild of a fully checked chain unchecks its parent and grandparent.
    t.ClickCheck(x);
    EXPECT_EQ(t.State(p), Qt::Unchecked);
    EXPECT_EQ(t.State(group), Qt::Unchecked);
    EXPECT_EQ(t.State(y), Qt::Checked);
}

TEST(TreeCtrl, CheckingAParentReachesAllDescendants)
{
    Tree t;
    void* top = t.Add(L"top");
    void* a = t.Add(L"a", top);
    void* b = t.Add(L"b", top);
    void* b1 = t.Add(L"b1", b);
    static_cast<QTreeWidgetItem*>(b)->setCheckState(0, Qt::PartiallyChecked);
    t.tree->ExpangAll();
    ASSERT_TRUE(ShowActive(&t.page));
    t.ClickCheck(top);
    EXPECT_EQ(t.State(a), Qt::Checked);
    EXPECT_EQ(t.State(b), Qt::Checked);
    EXPECT_EQ(t.State(b1), Qt::Checked);
    static_cast<QTreeWidgetItem*>(b)->setCheckState(0, Qt::PartiallyChecked);
    t.ClickCheck(top);
    EXPECT_EQ(t.State(a), Qt::Unchecked);
    EXPECT_EQ(t.State(b), Qt::PartiallyChecked);
    EXPECT_EQ(t.State(b1), Qt::Unchecked);
}

TEST(TreeCtrl, QuietAndReportedChanges)
{
    Tree t;
    void* item = t.Add(L"item");
    EXPECT_EQ(t.tree->SetCheck(item, 1), 1);
    t.tree->SetItemHilight(item, 1);
    EXPECT_EQ(t.tree->IsItemHilight(item), 1);
    EXPECT_EQ(t.tree->IsAnyChildItemHilight(SF_TVI_ROOT), 1);
    EXPECT_EQ(t.tree->SetItemEnable(item, 1), 1);
    EXPECT_EQ(static_cast<QTreeWidgetItem*>(item)->foreground(0).color(), QColor(0, 255, 0));
    EXPECT_FALSE(static_cast<QTreeWidgetItem*>(item)->flags() & Qt::ItemIsEnabled);
    t.tree->SetUserCheckable(0);
    EXPECT_EQ(t.sink.stateChanges, 0);
    t.tree->SetToolTipText(item, L"tip");
    EXPECT_EQ(t.sink.stateChanges, 1);
    t.tree->SetAllItemCheck(0);
    EXPECT_EQ(t.sink.stateChanges, 2);
    EXPECT_EQ(t.tree->IsAllItemCheck(), 0);
    t.tree->DeleteItem(item);
    EXPECT_EQ(t.tree->IsAnyChildItemHilight(SF_TVI_ROOT), 0);
    EXPECT_EQ(t.tree->IsAllItemCheck(), 0) << "an empty tree is not all checked";
}

TEST(TreeCtrl, WithoutCheckBoxes)
{
    Tree t(0);
    void* item = t.Add(L"item");
    EXPECT_FALSE(static_cast<QTreeWidgetItem*>(item)->flags() & Qt::ItemIsUserCheckable);
    EXPECT_EQ(t.tree->SetCheck(item, 1), 1);
    EXPECT_EQ(t.tree->GetCheck(item), 0);
}

TEST(TreeCtrl, KeysGoToTheSinkOnly)
{
    Tree t;
    t.Add(L"a");
    void* b = t.Add(L"b");
    t.tree->setCurrentItem(static_cast<QTreeWidgetItem*>(b));
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(t.tree, &down);
    EXPECT_EQ(t.sink.keys, std::vector<UINT>{static_cast<UINT>(Qt::Key_Down)});
    EXPECT_EQ(t.tree->currentItem(), static_cast<QTreeWidgetItem*>(b));
}

TEST(TreeCtrl, SkinColours)
{
    Tree t;
    UITreeCtrlStyle style{};
    style.strTextColor = L"112233";
    style.strHighlightColor = L"bad";
    t.tree->SetSkin(&style);
    EXPECT_EQ(t.tree->NormalColour(), QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(t.tree->HighlightColour(), QColor(0, 0, 0));
    void* item = t.Add(L"x");
    EXPECT_EQ(static_cast<QTreeWidgetItem*>(item)->foreground(0).color(), QColor(0x11, 0x22, 0x33));
}
