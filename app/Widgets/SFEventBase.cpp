#include "Widgets/SFEventBase.h"

#include <map>
#include <mutex>
#include <vector>

const SF_MSGMAP_ENTRY* SFFindMessageEntry(const SF_MSGMAP_ENTRY* entries, UINT message, UINT code, UINT id)
{
    if (!entries)
        return nullptr;
    for (const SF_MSGMAP_ENTRY* e = entries; e->nSig != SFSig_end; ++e) {
        if (e->nMessage == message && e->nCode == code && e->nID <= id && id <= e->nLastID)
            return e;
    }
    return nullptr;
}

bool SFCallMessageEntry(CSFEventBase* sink, const SF_MSGMAP_ENTRY* entry, void* data, intptr_t value)
{
    if (!sink || !entry)
        return false;
    switch (entry->nSig) {
    case SFSig_v:
        if (!entry->pfn)
            return false;
        (sink->*(entry->pfn))();
        return true;
    case SFSig_pw:
        if (!entry->pfnPW)
            return false;
        (sink->*(entry->pfnPW))(data, static_cast<LRESULT>(value));
        return true;
    case SFSig_ww:
        if (!entry->pfnWW)
            return false;
        (sink->*(entry->pfnWW))(reinterpret_cast<WPARAM>(data), static_cast<LPARAM>(value));
        return true;
    default:
        return false;
    }
}

bool SFDispatchMessage(CSFEventBase* sink, UINT message, UINT code, void* data, intptr_t value)
{
    if (!sink)
        return false;
    const SF_MSGMAP* map = sink->GetSFMessageMap();
    if (!map)
        return false;
    const SF_MSGMAP_ENTRY* entry = SFFindMessageEntry(map->lpEntries, message, code, static_cast<UINT>(value));
    return SFCallMessageEntry(sink, entry, data, value);
}

CSFEventBase::CSFEventBase() : m_pMessageIDs(nullptr) {}

CSFEventBase::CSFEventBase(const CSFEventBase& other) : m_pMessageIDs(other.m_pMessageIDs) {}

CSFEventBase& CSFEventBase::operator=(const CSFEventBase& other)
{
    m_pMessageIDs = other.m_pMessageIDs;
    return *this;
}

CSFEventBase::~CSFEventBase() {}

int* CSFEventBase::GetThisMessageIDs()
{
    return nullptr;
}

int* CSFEventBase::SFBuildMessageIDs()
{
    if (m_pMessageIDs)
        return m_pMessageIDs;
    const SF_MSGMAP* map = GetSFMessageMap();
    if (!map || !map->lpEntries)
        return nullptr;
    // One list per map, shared by every sink of the class and kept for the whole run (the
    // maps themselves are static), so copies of a sink never own it.
    static std::mutex lock;
    static std::map<const SF_MSGMAP*, std::vector<int>> lists;
    std::lock_guard<std::mutex> guard(lock);
    auto found = lists.find(map);
    if (found == lists.end()) {
        std::vector<int> ids;
        for (const SF_MSGMAP_ENTRY* e = map->lpEntries; e->nSig != SFSig_end; ++e) {
            if (e->nMessage == SF_MSG_UIMESSAGE)
                ids.push_back(static_cast<int>(e->nID));
        }
        if (ids.empty())
            return nullptr;
        ids.push_back(-1);
        found = lists.emplace(map, std::move(ids)).first;
    }
    m_pMessageIDs = found->second.data();
    return m_pMessageIDs;
}

void CSFEventBase::Dlg_OnCommand(UINT id)
{
    const SF_MSGMAP* map = GetSFMessageMap();
    if (!map)
        return;
    const SF_MSGMAP_ENTRY* e = SFFindMessageEntry(map->lpEntries, SF_MSG_COMMAND, 0, id);
    if (e && e->nSig == SFSig_v)
        SFCallMessageEntry(this, e, nullptr, 0);
}

void CSFEventBase::OnNotifyClick(UINT code, UINT id, NMHDR* record, LONG* result)
{
    const SF_MSGMAP* map = GetSFMessageMap();
    if (!map)
        return;
    const SF_MSGMAP_ENTRY* e = SFFindMessageEntry(map->lpEntries, SF_MSG_NOTIFY, code & 0xFFFFu, id);
    if (e && (e->nSig == SFSig_v || e->nSig == SFSig_pw))
        SFCallMessageEntry(this, e, record, reinterpret_cast<intptr_t>(result));
}

void CSFEventBase::OnUIMessage(UINT code, UINT id, UINT wParam, LONG lParam)
{
    const SF_MSGMAP* map = GetSFMessageMap();
    if (!map)
        return;
    const SF_MSGMAP_ENTRY* e = SFFindMessageEntry(map->lpEntries, SF_MSG_UIMESSAGE, code & 0xFFFFu, id);
    if (e && e->nSig == SFSig_ww)
        SFCallMessageEntry(this, e, reinterpret_cast<void*>(static_cast<uintptr_t>(wParam)), lParam);
}
