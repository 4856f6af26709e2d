// Device picker of the template export page: a filter box and button over a check-box tree of
// the found devices, grouped by class ("IPC", "PTZ", "DVR", "NVR"). One device row, the last one
// clicked, is the selection. GUI thread only.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "Common/DeviceInfo.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFMsgMap.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFView.h"

class CSFButton;
class CSFPictureCtrl;
class CTemplateLoadEventImp;

class CTemplateTreeEventImp : public ISFViewEvent, public ISFTreeCtrlEvent, public ISFEditCtrlEvent {
    SF_DECLARE_MESSAGE_MAP(CTemplateTreeEventImp)
public:
    enum : int { ID_TREE = 1061, ID_FILTER_EDIT = 1062, ID_FILTER_BTN = 1063, ID_VIEW = 112 };
    enum : int { kMaxFilterChars = 63 };

    explicit CTemplateTreeEventImp(std::weak_ptr<CTemplateLoadEventImp> owner);
    ~CTemplateTreeEventImp() override;
    static std::shared_ptr<CTemplateTreeEventImp> Create(std::weak_ptr<CTemplateLoadEventImp> owner);
    void Init(void* parent);

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;

    CSFView* GetView() const { return m_pView; }
    CSFTreeCtrl* GetTree() const { return m_pTree; }
    CSFEditCtrl* GetFilterEdit() const { return m_pFilterEdit; }

    void AddDevice(const std::wstring& group, std::shared_ptr<DEVICE_INFO> device);
    std::shared_ptr<DEVICE_INFO> GetSelectedDevice() const;
    void ClearDevices();
    void ClearFilter();
    int GetCheckedCount() const;
    void SetResultIcon(void* row, int result);

    int OnItemClick(void* item, UINT flags) override;
    void EDIT_OnEnterPressed(UINT id, wchar_t* text) override;
    void OnBtnFilter();

private:
    CSFView* m_pView = nullptr;
    std::weak_ptr<CTemplateLoadEventImp> m_wpOwner;
    CSFPictureCtrl* m_pTitle = nullptr;
    CSFEditCtrl* m_pFilterEdit = nullptr;
    CSFButton* m_pFilterBtn = nullptr;
    CSFTreeCtrl* m_pTree = nullptr;
    std::map<void*, std::shared_ptr<DEVICE_INFO>> m_mapDevices;
    void* m_pSelected = nullptr;
};
