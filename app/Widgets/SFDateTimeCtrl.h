// Date/time edit interfaces.
#pragma once

#include "Widgets/SFTypes.h"

struct ImageDateTimeStyle;

class ISFDateTimeCtrlEvent {
public:
    virtual void DTN_DropDownMonthCal(UINT /*id*/) {}
    virtual void DTN_DateTimeChange(UINT /*id*/, _SF_SYSTEMTIME) {}
};

class CSFDateTimeCtrl {
public:
    explicit CSFDateTimeCtrl(ISFDateTimeCtrlEvent* sink = nullptr) : m_pSink(sink) {}
    CSFDateTimeCtrl(const CSFDateTimeCtrl&) = default;
    CSFDateTimeCtrl& operator=(const CSFDateTimeCtrl&) = default;
    virtual ~CSFDateTimeCtrl() {}

    virtual int Create(DWORD, const RECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageDateTimeStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void EnableWindow(int) {}
    virtual void GetWindowRect(RECT*) {}
    virtual int GetTime(_SF_SYSTEMTIME*) const { return 0; }
    virtual int GetDate(_SF_SYSTEMTIME*) const { return 0; }
    virtual int SetTime(_SF_SYSTEMTIME*) { return 0; }
    virtual int SetDate(_SF_SYSTEMTIME*) { return 0; }
    virtual void SetOriginStyle(int) {}
    virtual void SetDateRange(_SF_SYSTEMTIME* const& /*min*/, _SF_SYSTEMTIME* const& /*max*/) {}

protected:
    ISFDateTimeCtrlEvent* m_pSink;
};
