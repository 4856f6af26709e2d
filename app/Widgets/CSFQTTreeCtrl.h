// Tree behind CSFTreeCtrl: items handed out as opaque handles, check boxes that propagate
// between parents and children, highlighted items and icons. Reports to its sink only.
#pragma once

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QTreeWidget>

#include "Widgets/SFTreeCtrl.h"

class CSFQTTreeCtrl : public QTreeWidget, public CSFTreeCtrl {
    Q_OBJECT
public:
    explicit CSFQTTreeCtrl(ISFTreeCtrlEvent* sink);

    int Create(DWORD style, const RECT& rect, void* parent, UINT id, int, int checkBoxes) override;
    void SetCursor() override {}
    int SetSkin(UITreeCtrlStyle* style) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void GetClientRect(RECT* rect) override;
    void SetEnable(int enable) override;
    void SetObjectName(const wchar_t* name) override;

    void* InsertItem(const wchar_t* text, void* parent, void* after) override;
    int DeleteItem(void* item) override;
    int DeleteAllItems() override;
    int SetItemData(void* item, DWORD data) override;
    DWORD GetItemData(void* item) const override;
    // Copies at most size - 1 units and a terminating zero; answers the units copied, -1 for null.
    int GetTreeItemText(void* item, wchar_t* buffer, int size) override;
    void SetToolTipText(void* item, const wchar_t* text) override;
    int SetItemIcon(void* item, const wchar_t* name) override;
    int SetItemIcon(DWORD data, int which) override;
    void SetItemIconBack(void* item, const wchar_t* name) override;
    int SetItemEnable(void* item, int flag) override;
    void SetItemHilight(void* item, int on) override;
    int IsItemHilight(void* item) override;
    int IsAnyChildItemHilight(void* item) override;
    void SetItemImage(void*, int, int) override {}
    int GetItemImage(void*, int&, int&) const override { return 1; }
    void* GetImageList(UINT) const override { return nullptr; }
    void* SetImageList(void*, int) override { return nullptr; }
    void* GetNextItem(void*, UINT) const override { return nullptr; }

    void* GetRootItem() const override;
    void* GetChildItem(void* item) const override;
    void* GetNextSiblingItem(void* item) const override;
    void* GetPrevSiblingItem(void* item) const override;
    void* GetParentItem(void* item) const override;
    UINT GetChildrenCount(void* item) const override;
    int ItemHasChildren(void* item) const override;
    UINT GetCount() const override;
    void* FindChildItem(const wchar_t* text, void* parent) const override;
    void ExpandTreeItem(void* item, UINT code) override;
    void ExpangAll() override { expandAll(); }
    UINT GetItemState(void* item, UINT mask) const override;

    int SetCheck(void* item, int check) override;
    int GetCheck(void* item) const override;
    void SetAllItemCheck(int check) override;
    int IsAllItemCheck() override;
    void SetUserCheckable(int on) override;
    void SetItemUserCheckable(void* item, int on) override;

    UINT Id() const { return m_nId; }
    QColor NormalColour() const { return m_normal; }
    QColor HighlightColour() const { return m_highlight; }
    bool HasCheckBoxes() const { return m_bCheckBoxes; }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void OnItemChanged(QTreeWidgetItem* item, int column);
    void OnItemClick(QTreeWidgetItem* item, int column);
    void OnCurItemChanged(QTreeWidgetItem*, QTreeWidgetItem*) {}

private:
    // Counts nested changes whose item-change reports are not passed on.
    struct Quiet {
        explicit Quiet(CSFQTTreeCtrl* tree) : m_tree(tree) { ++m_tree->m_nQuiet; }
        ~Quiet() { --m_tree->m_nQuiet; }
        CSFQTTreeCtrl* m_tree;
    };

    static QTreeWidgetItem* Item(void* handle);
    bool IsCheckBoxArea(QTreeWidgetItem* item, const QPoint& pos) const;
    void CheckDown(QTreeWidgetItem* item, bool checked);
    void CheckUp(QTreeWidgetItem* item, bool checked);
    void Propagate(QTreeWidgetItem* item);
    void ForgetHighlights(QTreeWidgetItem* item);
    void SetSubtreeUserCheckable(QTreeWidgetItem* item, bool on);
    static void SetCheckableFlag(QTreeWidgetItem* item, bool on);

    bool m_bCheckBoxes = true;
    bool m_bUserCheckable = true;
    UINT m_nId = static_cast<UINT>(-1);
    QTreeWidgetItem* m_pLastCheckItem = nullptr;
    QColor m_normal = QColor(255, 255, 255);
    QColor m_highlight = QColor(0, 255, 0);
    QIcon m_iconA;
    QIcon m_iconB;
    QHash<QTreeWidgetItem*, QColor> m_highlighted;
    int m_nQuiet = 0;
};
