// Common base of dialog and view sinks: the message map and the UI-message id cache.
#pragma once

#include "Widgets/SFMsgMap.h"
#include "Widgets/SFTypes.h"

class CSFEventBase {
public:
    CSFEventBase();
    CSFEventBase(const CSFEventBase& other);
    CSFEventBase& operator=(const CSFEventBase& other);
    virtual ~CSFEventBase();

    virtual const SF_MSGMAP* GetSFMessageMap() const = 0;
    // Ids of the map's UI-message rows ended by -1, or null when there are none.
    virtual int* GetThisMessageIDs();

    // Dispatchers from explicit arguments.
    void Dlg_OnCommand(UINT id);
    void OnNotifyClick(UINT code, UINT id, NMHDR* record, LONG* result);
    void OnUIMessage(UINT code, UINT id, UINT wParam, LONG lParam);

    // Forgets the cached id list (facades call it when they take the sink).
    void SFResetMessageIDs() { m_pMessageIDs = nullptr; }

protected:
    // Builds (once per map) and caches the id list of the 275 rows of this sink's map.
    int* SFBuildMessageIDs();

private:
    int* m_pMessageIDs;
};
