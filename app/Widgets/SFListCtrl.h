// List control interfaces.
#pragma once

#include <set>
#include <string>

#include <QHeaderView>
#include <QString>

#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFTypes.h"


class ISFListCtrlEvent {
public:
    virtual void Selection_OnMouseRelease(int /*id*/) {}
    virtual void SelectChanged(int /*id*/, int /*row*/, void* /*data*/) {}
    virtual void OnButton(int /*controlId*/, int /*row*/) {}
    virtual void SetAlarmInfo(int*, int*, int*, int*, int*) {}
};

class CSFListCtrl {
public:
    explicit CSFListCtrl(ISFListCtrlEvent* sink = nullptr) : m_pSink(sink) {}
    CSFListCtrl(const CSFListCtrl&) = default;
    CSFListCtrl& operator=(const CSFListCtrl&) = default;
    virtual ~CSFListCtrl() {}

    virtual int Create(DWORD, const RECT&, void*, UINT, bool) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ListCtrlStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetCheck(int) const { return 0; }
    virtual int GetColumn(int, void*) const { return 0; }
    virtual int GetItemCount() const { return 0; }
    virtual DWORD GetItemData(int, int) const { return 0; }
    virtual int GetItemText(int, int, wchar_t*, int, int) const { return 0; }
    virtual int GetItemText(int, int, wchar_t*, int) const { return 0; }
    virtual void* GetFirstSelectedItemPosition() const { return nullptr; }
    virtual int GetNextSelectedItem(void*&) const { return 0; }
    virtual DWORD GetExtendedStyle() { return 0; }
    virtual int SetCheck(int, int) { return 0; }
    virtual int SetItemData(int, DWORD, int) { return 0; }
    virtual int SetItemText(int, int, const wchar_t*, int) { return 0; }
    virtual int SetItemText(int, int, const wchar_t*) { return 0; }
    virtual int SubItemHitTest(void*) { return 0; }
    virtual int InsertColumn(int, const wchar_t*, int, int, int) { return 0; }
    virtual int InsertColumnNew(int, const wchar_t*, int) { return 0; }
    virtual int InsertColumnCheck(int, ImageRadioBox&) { return 0; }
    virtual int InsertColumnBtn(int, int, const wchar_t*, ImageButtonStyle&, int) { return 0; }
    virtual int InsertItem(int, const wchar_t*) { return 0; }
    virtual DWORD SetExtendedStyle(DWORD) { return 0; }
    virtual int DeleteAllItems() { return 0; }
    virtual void DeleteSelectedItems(std::set<int>&) {}
    virtual void SetItemSelected(int*, int, bool) {}
    virtual int SetColumnWidth(int, int) { return 0; }
    virtual void SetColumnTextAlign(int, UINT) {}
    virtual void SetItemWidget(int, int, const wchar_t*, const wchar_t*, const wchar_t*, ImageButtonStyle&,
                               ImageButtonStyle&, ImageButtonStyle&)
    {
    }
    virtual void SetSingleItem(int, int, const wchar_t*, ImageButtonStyle&, int) {}
    virtual void SetItemProgress(int, int, UINT, ImageProgressCtrlStyle) {}
    virtual void SetItemCheckWidget(int, int, ImageRadioBox&) {}
    virtual void SetItemIcon(int, int, const wchar_t*) {}
    virtual void SetObjectName(const wchar_t*) {}
    virtual void SetHorizontalHeaderVisible(int) {}
    virtual void ScrollToBottom() {}
    virtual void SetToolTipText(int, int, const wchar_t*) {}
    virtual void SetShowGrid(int) {}
    virtual void SetColumnHeaderText(int, const wchar_t*) {}
    virtual void EnableWindow(int) {}
    virtual void SetSelectionStyle(UINT) {}
    virtual void EditorMode(int) {}
    virtual int IsSelected(int) { return 1; }
    virtual int IsCheck(int) { return 0; }
    virtual void GetSelectRow(std::set<int>&) {}
    virtual void SetHeaderSortEnable(int) {}
    virtual void SetColumnHidden(int, bool) {}
    virtual void SetVerticalHeaderHide() {}
    virtual void SetSortIndicatorShown(int) {}
    virtual void SetItemEditable(int, int) {}
    virtual void SetItemEdit(int, int) {}
    virtual void SetItemEditCtrl(int, int, int) {}
    virtual void SetRowColor(int) {}
    virtual void EmitHeadClickFun(int) {}
    virtual void AddOperateBtn(int, int, const wchar_t*, int, ImageButtonStyle&, int, int) {}
    virtual void SetBtnEnable(int, int, bool) {}
    virtual void SetBtnEnable(int, bool) {}
    virtual void SetRowEnable(int, bool) {}
    virtual void SetAllCheck(int) {}
    virtual void SetItemShow(int, int, UINT, bool) {}
    virtual void SetProgress(int, int, UINT) {}
    virtual void SetItemPicture(int, int, const wchar_t*) {}
    virtual void DeleteCheckedRows(std::set<int>&) {}
    virtual void AddOneOperateBtn(int, int, int, const wchar_t*, ImageButtonStyle&, int, int, int) {}
    virtual void DeleteOneOperateBtn(int, int, UINT) {}
    virtual void DeleteRow(int) {}
    virtual void SetCopyParas(const wchar_t*, const wchar_t*, int) {}
    virtual void ShowHorizontalScrollBar(int) {}
    virtual void SetRowCount(int) {}
    virtual int GetColCount() { return 0; }
    virtual void ResizeRowsToContents() {}
    virtual void SetTableColor() {}
    virtual void SetTableItemColor(int) {}
    virtual QString GetHoriazontalHeaderText(int) { return QString(); }
    virtual void DeleteColumn(int) {}
    virtual void SetHorHeaderResizeMode(QHeaderView::ResizeMode) {}
    virtual int DeleteAppointRows(int, int) { return 0; }
    virtual void SetItemExpand(int, int, UINT, ImageButtonStyle&, const wchar_t*) {}
    virtual void AddOperateBtnEx(int, int, const wchar_t*, int, ImageButtonStyle&, int, int, ImageButtonStyle&,
                                 const wchar_t*, int)
    {
    }
    virtual void SetOpeBtnText(int, int, const wchar_t*) {}
    virtual void AddOneOperateBtnEx(int, int, int, const wchar_t*, ImageButtonStyle&, int, int, int, int,
                                    const wchar_t*, ImageButtonStyle&)
    {
    }
    virtual void SetItemComboBox(int, int, int, int, ImageComboBoxStyle&, const wchar_t*, const wchar_t*,
                                 std::wstring*)
    {
    }
    virtual void GetAlarmInfo() {}
    virtual void SetAlarmInfomation(int*, int*, int*, int*, int*) {}

protected:
    ISFListCtrlEvent* m_pSink;
};
