// Static message maps of event sinks: rows of (message, code, id range, signature, handler)
// ended by a row with signature 0. Declare a map with SF_DECLARE_MESSAGE_MAP in the sink
// class and define it with SF_BEGIN_MESSAGE_MAP ... SF_END_MESSAGE_MAP in its source:
//
//   SF_BEGIN_MESSAGE_MAP(CMyDlg)
//       SF_ON_COMMAND(1001, OnBtnSave)              // void OnBtnSave();
//       SF_ON_NOTIFY(2, 1020, OnListClick)          // void OnListClick(void* data, LRESULT word);
//       SF_ON_UIMESSAGE(1117, OnShowMessage)        // void OnShowMessage(WPARAM data, LPARAM id);
//   SF_END_MESSAGE_MAP()
#pragma once

#include "os/WinTypes.h"

class CSFEventBase;

enum {
    SF_MSG_NOTIFY = 78,
    SF_MSG_COMMAND = 273,
    SF_MSG_UIMESSAGE = 275,
};

// Handler shapes by signature.
enum {
    SFSig_end = 0,
    SFSig_v = 1,   // void handler()
    SFSig_pw = 2,  // void handler(void* data, LRESULT word)
    SFSig_ww = 3,  // void handler(WPARAM data, LPARAM id)
};

typedef void (CSFEventBase::*SF_PMSG)();
typedef void (CSFEventBase::*SF_PMSG_PW)(void*, LRESULT);
typedef void (CSFEventBase::*SF_PMSG_WW)(WPARAM, LPARAM);

struct SF_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    UINT nSig;
    // The handler, in the member that its signature names.
    SF_PMSG pfn;
    SF_PMSG_PW pfnPW;
    SF_PMSG_WW pfnWW;
};

struct SF_MSGMAP {
    const SF_MSGMAP_ENTRY* lpEntries;
};

// First row that matches (message, code, id), or null. Stops at the end row.
const SF_MSGMAP_ENTRY* SFFindMessageEntry(const SF_MSGMAP_ENTRY* entries, UINT message, UINT code,
                                          UINT id);

// Calls the handler of a found row on the sink with (data, value) as its signature asks.
// Answers true when a handler ran.
bool SFCallMessageEntry(CSFEventBase* sink, const SF_MSGMAP_ENTRY* entry, void* data, intptr_t value);

// Looks (message, code, value) up in the sink's map and calls the row's handler.
bool SFDispatchMessage(CSFEventBase* sink, UINT message, UINT code, void* data, intptr_t value);

#define SF_DECLARE_MESSAGE_MAP(theClass)                         \
public:                                                          \
    typedef theClass SFThisClass;                                \
    const SF_MSGMAP* GetSFMessageMap() const override;           \
    int* GetThisMessageIDs() override;                           \
                                                                 \
private:                                                         \
    static const SF_MSGMAP_ENTRY _sfMessageEntries[];            \
    static const SF_MSGMAP sfMessageMap;                         \
                                                                 \
public:

#define SF_BEGIN_MESSAGE_MAP(theClass)                                                          \
    const SF_MSGMAP* theClass::GetSFMessageMap() const { return &theClass::sfMessageMap; }      \
    int* theClass::GetThisMessageIDs() { return SFBuildMessageIDs(); }                          \
    const SF_MSGMAP theClass::sfMessageMap = {&theClass::_sfMessageEntries[0]};                 \
    const SF_MSGMAP_ENTRY theClass::_sfMessageEntries[] = {

#define SF_END_MESSAGE_MAP()            \
    {0, 0, 0, 0, SFSig_end, nullptr, nullptr, nullptr} \
    }                                   \
    ;

#define SF_PMSG_CAST_V(fn) static_cast<SF_PMSG>(&SFThisClass::fn), nullptr, nullptr
#define SF_PMSG_CAST_PW(fn) nullptr, static_cast<SF_PMSG_PW>(&SFThisClass::fn), nullptr
#define SF_PMSG_CAST_WW(fn) nullptr, nullptr, static_cast<SF_PMSG_WW>(&SFThisClass::fn)

#define SF_ON_COMMAND(id, fn) {SF_MSG_COMMAND, 0, (UINT)(id), (UINT)(id), SFSig_v, SF_PMSG_CAST_V(fn)},
#define SF_ON_COMMAND_RANGE(id, idLast, fn) \
    {SF_MSG_COMMAND, 0, (UINT)(id), (UINT)(idLast), SFSig_v, SF_PMSG_CAST_V(fn)},
#define SF_ON_NOTIFY(code, id, fn) \
    {SF_MSG_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), SFSig_pw, SF_PMSG_CAST_PW(fn)},
#define SF_ON_NOTIFY_RANGE(code, id, idLast, fn) \
    {SF_MSG_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(idLast), SFSig_pw, SF_PMSG_CAST_PW(fn)},
#define SF_ON_UIMESSAGE(id, fn) \
    {SF_MSG_UIMESSAGE, SF_MSG_UIMESSAGE, (UINT)(id), (UINT)(id), SFSig_ww, SF_PMSG_CAST_WW(fn)},
