// Left panel of the device configuration page: a filter strip and a tree of the IPv4 devices
// found, grouped IPC, SD, DVR, NVR, Others. Keeps every device handed to it and the ones shown;
// a device row's item data is its place among the shown devices. GUI thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Common/DeviceInfo.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFMsgMap.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFView.h"

class CDevConfigEventImp;
class CSFButton;
class CSFPictureCtrl;

class CDevTreeEventImp : public ISFViewEvent, public ISFTreeCtrlEvent, public ISFEditCtrlEvent {
    SF_DECLARE_MESSAGE_MAP(CDevTreeEventImp)
public:
    explicit CDevTreeEventImp(std::weak_ptr<CDevConfigEventImp> page);
    ~CDevTreeEventImp() override;
    static std::shared_ptr<CDevTreeEventImp> Create(std::weak_ptr<CDevConfigEventImp> page, void* parent);

    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;

    CSFView* GetView() const { return m_pView; }
    CSFTreeCtrl* GetTreeCtrl() const { return m_pTree; }
    CSFEditCtrl* GetFilterEdit() const { return m_pFilterEdit; }
    CSFButton* GetFilterButton() const { return m_pFilterBtn; }

    // Group of a device type: "IPC", "SD", "DVR", "NVR" or "Others".
    static std::wstring GroupOf(const std::string& type);
    void AddDevice(std::shared_ptr<DEVICE_INFO> device, const std::wstring& group, const std::string& ip, int all);
    void ClearDevices(int all);
    // A device already listed under the same address and MAC takes the new record; false when none.
    bool ReplaceDevice(const std::shared_ptr<DEVICE_INFO>& device);
    std::shared_ptr<DEVICE_INFO> GetSelectedDevice() const;
    void SetSelectedAccount(const std::string& user, const std::string& password);
    size_t ShownCount() const { return m_shown.size(); }
    size_t AllCount() const { return m_all.size(); }
    // Selects the shown device at `index` as a click on its row does.
    void SelectShown(int index);
    int SelectedIndex() const { return m_nSelected; }
    // Group texts and, under each, the device texts, in tree order ("IPC:127.0.0.1").
    std::vector<std::wstring> Rows() const;

    int OnItemClick(void* item, UINT flags) override;
    void OnItemDbClick(void* item, POINT& point) override;
    void EDIT_OnEnterPressed(UINT id, wchar_t* text) override;
    void OnFilter();

private:
    void Filter(std::string text);
    void* ItemOfShown(int index) const;

    std::weak_ptr<CDevConfigEventImp> m_wpPage;
    CSFView* m_pView = nullptr;
    CSFPictureCtrl* m_pTitle = nullptr;
    CSFEditCtrl* m_pFilterEdit = nullptr;
    CSFButton* m_pFilterBtn = nullptr;
    CSFTreeCtrl* m_pTree = nullptr;
    std::vector<std::shared_ptr<DEVICE_INFO>> m_shown, m_all;
    int m_nSelected = -1;
    void* m_pHilight = nullptr;
};
