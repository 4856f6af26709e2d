// Left panel of the system configuration page: a filter strip and a check-box tree of the found
// devices, grouped IPC, SD, DVR, NVR, Others. Device rows carry their device-list index.
#pragma once

#include <memory>
#include <string>

#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFMsgMap.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFView.h"

class CSFButton;
class CSFPictureCtrl;
class CSysConfigEventImp;

class CSysTreeEventImp : public ISFViewEvent, public ISFTreeCtrlEvent, public ISFEditCtrlEvent {
    SF_DECLARE_MESSAGE_MAP(CSysTreeEventImp)
public:
    explicit CSysTreeEventImp(std::weak_ptr<CSysConfigEventImp> owner);
    ~CSysTreeEventImp() override;
    static std::shared_ptr<CSysTreeEventImp> Create(std::weak_ptr<CSysConfigEventImp> owner);
    void Init();

    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;

    CSFView* GetView() const { return m_pView; }
    CSFTreeCtrl* GetTreeCtrl() const { return m_pTree; }
    CSFEditCtrl* GetFilterEdit() const { return m_pFilterEdit; }

    void AddDevice(const std::wstring& group, const std::string& rowText, int index);
    void DeleteAllItems();
    int GetCheckedCount() const;
    void ClearFilterText();
    void SetResultIcon(void* item, int result);
    void EnableRecorderGroups(bool enable);
    bool IsRecorderChecked() const;

    void OnItemCheckStateChanged(void* item, int state) override;
    void OnItemDbClick(void* item, POINT& point) override;
    void EDIT_OnEnterPressed(UINT id, wchar_t* text) override;
    void OnFilter();

private:
    CSFView* m_pView = nullptr;
    std::weak_ptr<CSysConfigEventImp> m_wpOwner;
    CSFPictureCtrl* m_pTitle = nullptr;
    CSFEditCtrl* m_pFilterEdit = nullptr;
    CSFButton* m_pFilterBtn = nullptr;
    CSFTreeCtrl* m_pTree = nullptr;
};
