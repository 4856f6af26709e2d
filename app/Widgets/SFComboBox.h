// Combo box, list box and group box interfaces.
#pragma once

#include "Widgets/SFTypes.h"

struct ImageComboBoxStyle;

class ISFComboBoxEvent {
public:
    virtual void SelectChanged(int /*id*/, int /*index*/, void* /*data*/) {}
    virtual void SelectChanged(int /*id*/, int /*index*/) {}
};

class CSFComboBox {
public:
    explicit CSFComboBox(ISFComboBoxEvent* sink = nullptr) : m_pSink(sink) {}
    CSFComboBox(const CSFComboBox&) = default;
    CSFComboBox& operator=(const CSFComboBox&) = default;
    virtual ~CSFComboBox() {}

    virtual int Create(DWORD, const RECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageComboBoxStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int AddString(const wchar_t*) { return 0; }
    virtual int DeleteString(UINT) { return 0; }
    // Copies the item text without a size check; prefer the bounded form below.
    virtual int GetLBText(int, wchar_t*) const { return 0; }
    virtual int GetCurSel() const { return -1; }
    virtual int SetCurSel(int) { return 0; }
    virtual int GetCount() const { return 0; }
    virtual void EnableWindow(int) {}
    virtual void SetOriginStyle(int) {}
    virtual void Clear() {}
    virtual void ResetContent() {}
    // Copies at most count - 1 units of the item text and a terminating zero.
    virtual int GetLBText(int, wchar_t*, int /*count*/) const { return 0; }

protected:
    ISFComboBoxEvent* m_pSink;
};

class ISFListBoxEvent {
public:
    virtual void LB_OnSelChange() = 0;
    virtual void LB_OnDblClick() = 0;
    virtual void LB_OnMouseMove() = 0;
};

class CSFListBox {
public:
    explicit CSFListBox(ISFListBoxEvent* sink = nullptr) : m_pSink(sink) {}
    CSFListBox(const CSFListBox&) = default;
    CSFListBox& operator=(const CSFListBox&) = default;
    virtual ~CSFListBox() {}

    virtual int Create(DWORD, const RECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetCount() const { return 0; }
    virtual int GetText(int, wchar_t*) const { return 0; }
    virtual int GetCurSel() const { return 0; }
    virtual int SetCurSel(int) { return 0; }
    virtual int AddString(const wchar_t*) { return 0; }
    virtual int DeleteString(UINT) { return 0; }

protected:
    ISFListBoxEvent* m_pSink;
};

class ISFGroupBoxEvent {
public:
    virtual void GB_OnLButtonDown() = 0;
    virtual void GB_OnLButtonUp() = 0;
    virtual void GB_OnMouseMove() = 0;
};

class CSFGroupBox {
public:
    explicit CSFGroupBox(ISFGroupBoxEvent* sink = nullptr) : m_pSink(sink) {}
    CSFGroupBox(const CSFGroupBox&) = default;
    CSFGroupBox& operator=(const CSFGroupBox&) = default;
    virtual ~CSFGroupBox() {}

    virtual int Create(const wchar_t*, DWORD, const RECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetWindowTextW(const wchar_t*) {}
    virtual int GetWindowTextW(wchar_t*, int) const { return 0; }

protected:
    ISFGroupBoxEvent* m_pSink;
};
