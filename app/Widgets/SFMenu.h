// Popup menu interfaces.
#pragma once

#include "Widgets/SFTypes.h"

class ISFMenuEvent {
public:
    virtual void Menu_OnAction(int /*commandId*/) {}
};

class CSFMenu {
public:
    explicit CSFMenu(ISFMenuEvent* sink = nullptr) : m_pSink(sink) {}
    CSFMenu(const CSFMenu&) = default;
    CSFMenu& operator=(const CSFMenu&) = default;
    virtual ~CSFMenu() {}

    virtual int Create(DWORD, const RECT&, void*, UINT) { return 0; }
    virtual int SetSkin(const wchar_t* /*image*/) { return 0; }
    virtual void* AddMenu(const wchar_t* /*title*/) { return nullptr; }
    virtual void Popup(int /*x*/, int /*y*/) {}
    virtual void* AddAction(const wchar_t* /*text*/, int /*commandId*/) { return nullptr; }
    virtual void AddSeparator() {}

protected:
    ISFMenuEvent* m_pSink;
};
