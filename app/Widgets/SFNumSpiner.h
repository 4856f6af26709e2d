// Number spinner interfaces.
#pragma once

#include "Widgets/SFTypes.h"

struct ImageNumSpinerStyle;

class ISFNumSpinerEvent {
public:
    virtual void OnCurrentNumChanged(UINT /*id*/, int /*value*/) {}
};

class CSFNumSpiner {
public:
    explicit CSFNumSpiner(ISFNumSpinerEvent* sink = nullptr) : m_pSink(sink) {}
    CSFNumSpiner(const CSFNumSpiner&) = default;
    CSFNumSpiner& operator=(const CSFNumSpiner&) = default;
    virtual ~CSFNumSpiner() {}

    virtual int Create(const wchar_t*, const RECT&, void*, UINT) { return 0; }
    virtual void SetRange(int, int) {}
    virtual void GetRange(int&, int&) {}
    virtual void SetStep(int) {}
    virtual int GetStep() { return 0; }
    virtual void SetCurrentNum(int) {}
    virtual int GetCurrentNum() { return 0; }
    virtual void StepUp() {}
    virtual void StepDown() {}
    virtual int SetSkin(ImageNumSpinerStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void EnableWindow(int) {}
    virtual void SetCircleStep(int) {}
    virtual void SetOriginStyle(int) {}

protected:
    ISFNumSpinerEvent* m_pSink;
};
