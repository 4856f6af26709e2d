// Line edit interfaces.
#pragma once

#include <string>

#include "Widgets/SFTypes.h"

class ISFEditCtrlEvent {
public:
    virtual void EDIT_OnTextChange(UINT /*id*/, wchar_t* /*text*/) {}
    virtual void EDIT_OnEnterPressed(UINT /*id*/, wchar_t* /*text*/) {}
};

class CSFEditCtrl {
public:
    explicit CSFEditCtrl(ISFEditCtrlEvent* sink = nullptr) : m_pSink(sink) {}
    CSFEditCtrl(const CSFEditCtrl&) = default;
    CSFEditCtrl& operator=(const CSFEditCtrl&) = default;
    virtual ~CSFEditCtrl() {}

    virtual int Create(DWORD /*style*/, const RECT&, void* /*parent*/, UINT /*id*/, bool /*password*/) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(const wchar_t* /*image*/) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetWindowTextW(wchar_t*, int) const { return 0; }
    virtual void SetWindowTextW(const wchar_t*) {}
    virtual void EnableWindow(int) {}
    virtual void SetReadOnly(int) {}
    virtual void GetEditCtrolPos(RECT&) {}
    virtual void SetRegExp(std::string) {}
    virtual void SetRegExp() {}
    virtual void SetEditFocus() {}
    virtual void SetObjectName(const wchar_t*) {}
    virtual void SetTextColor(DWORD) {}
    virtual void SetNumType(int) {}
    virtual void SetEmailType() {}
    virtual bool CheckEmailMatch() { return false; }
    virtual void SetMaxLength(int) {}
    virtual void SetIntValidator(int, int) {}
    virtual void SetDoubleValidator(double, double) {}

protected:
    ISFEditCtrlEvent* m_pSink;
};
