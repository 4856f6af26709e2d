// Tree control interfaces. Items are opaque handles; SF_TVI_ROOT and SF_TVI_LAST stand for
// the invisible root and the last position.
#pragma once

#include <cstdint>

#include "Widgets/SFTypes.h"

struct UITreeCtrlStyle;

#define SF_TVI_ROOT (reinterpret_cast<void*>(static_cast<uintptr_t>(0xFFFF0000u)))
#define SF_TVI_LAST (reinterpret_cast<void*>(static_cast<uintptr_t>(0xFFFF0002u)))

class ISFTreeCtrlEvent {
public:
    virtual void OnItemDbClick(void* /*item*/, POINT&) {}
    virtual int OnItemClick(void* /*item*/, UINT) { return 1; }
    virtual void OnItemCheckStateChanged(void* /*item*/, int /*state*/) {}
    virtual void OnItemCheckBoxClick(void* /*item*/, UINT) {}
    virtual void OnDlgKeyDown(UINT /*modifiers*/, UINT /*key*/) {}
};

class CSFTreeCtrl {
public:
    explicit CSFTreeCtrl(ISFTreeCtrlEvent* sink = nullptr) : m_pSink(sink) {}
    CSFTreeCtrl(const CSFTreeCtrl&) = default;
    CSFTreeCtrl& operator=(const CSFTreeCtrl&) = default;
    virtual ~CSFTreeCtrl() {}

    virtual int Create(DWORD, const RECT&, void*, UINT, int, int) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(UITreeCtrlStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void* GetChildItem(void*) const { return nullptr; }
    virtual UINT GetCount() const { return 0; }
    virtual UINT GetChildrenCount(void*) const { return 0; }
    virtual void* GetImageList(UINT) const { return nullptr; }
    virtual DWORD GetItemData(void*) const { return 0; }
    virtual int GetTreeItemText(void*, wchar_t*, int) { return 0; }
    virtual void* GetNextItem(void*, UINT) const { return nullptr; }
    virtual void* GetNextSiblingItem(void*) const { return nullptr; }
    virtual void* GetParentItem(void*) const { return nullptr; }
    virtual void* GetPrevSiblingItem(void*) const { return nullptr; }
    virtual void* GetRootItem() const { return nullptr; }
    virtual void ExpandTreeItem(void*, UINT) {}
    virtual void* FindChildItem(const wchar_t*, void*) const { return nullptr; }
    virtual void* SetImageList(void*, int) { return nullptr; }
    virtual int SetItemData(void*, DWORD) { return 0; }
    virtual int DeleteAllItems() { return 0; }
    virtual void SetItemImage(void*, int, int) {}
    virtual int GetItemImage(void*, int&, int&) const { return 0; }
    virtual int DeleteItem(void*) { return 0; }
    virtual void* InsertItem(const wchar_t*, void* /*parent*/, void* /*after*/) { return nullptr; }
    virtual UINT GetItemState(void*, UINT) const { return 0; }
    virtual int SetCheck(void*, int) { return 0; }
    virtual int GetCheck(void*) const { return 0; }
    virtual void SetItemHilight(void*, int) {}
    virtual int IsItemHilight(void*) { return 0; }
    virtual int IsAnyChildItemHilight(void*) { return 0; }
    virtual void SetAllItemCheck(int) {}
    virtual int IsAllItemCheck() { return 0; }
    virtual int ItemHasChildren(void*) const { return 0; }
    virtual int SetItemIcon(void*, const wchar_t*) { return 0; }
    virtual int SetItemIcon(DWORD, int) { return 0; }
    virtual void GetClientRect(RECT*) {}
    virtual void SetEnable(int) {}
    virtual void SetUserCheckable(int) {}
    virtual void SetItemUserCheckable(void*, int) {}
    virtual void SetToolTipText(void*, const wchar_t*) {}
    virtual void SetObjectName(const wchar_t*) {}
    virtual void SetItemIconBack(void*, const wchar_t*) {}
    virtual void ExpangAll() {}
    virtual int SetItemEnable(void*, int) { return 0; }

protected:
    ISFTreeCtrlEvent* m_pSink;
};
