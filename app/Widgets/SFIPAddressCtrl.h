// IPv4 address edit interfaces.
#pragma once

#include "Widgets/SFTypes.h"

class ISFIPAddressCtrlEvent {
public:
    virtual void BTN_OnLButtonDown() {}
    virtual void BTN_OnLButtonUp() {}
    virtual void BTN_OnMouseMove() {}
    virtual void EDIT_OnIPTextChange(UINT /*id*/, wchar_t* /*text*/, UINT /*field*/) {}
};

class CSFIPAddressCtrl {
public:
    explicit CSFIPAddressCtrl(ISFIPAddressCtrlEvent* sink = nullptr) : m_pSink(sink) {}
    CSFIPAddressCtrl(const CSFIPAddressCtrl&) = default;
    CSFIPAddressCtrl& operator=(const CSFIPAddressCtrl&) = default;
    virtual ~CSFIPAddressCtrl() {}

    virtual int Create(DWORD, const RECT&, void*, UINT, bool) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    // First octet in the most significant byte.
    virtual void SetAddress(DWORD) {}
    virtual void SetAddress(BYTE, BYTE, BYTE, BYTE) {}
    virtual void SetAddressOnline(DWORD, UINT, int) {}
    virtual int GetAddress(DWORD&) { return 0; }
    virtual int GetAddress(BYTE&, BYTE&, BYTE&, BYTE&) { return 0; }
    virtual void ClearAddress() {}
    virtual void EnableWindow(int) {}

protected:
    ISFIPAddressCtrlEvent* m_pSink;
};
