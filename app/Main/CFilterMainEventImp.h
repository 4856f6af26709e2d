// The filter strip at the top of the device list page: IP version, device classes,
// initialisation state and a keyword. Its state lives in its controls only.
#pragma once

#include <memory>
#include <string>

#include "Common/DeviceInfo.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFView.h"

class CSearchDevEventImp;
class CSFPictureCtrl;

// The values the filter reads from the panel.
struct DeviceFilter {
    int ipType = 4;        // 4, 6, or 10 for any version
    int devTypes = 31;     // class bits: IPC 1, SD 2, DVR 4, NVR 8, others 16
    int initStates = 3;    // 1 uninitialised shown, 2 initialised shown
    std::string keyword;   // UTF-8, may be empty
};

// Whether a search record passes the filter.
bool MatchDeviceFilter(const DeviceFilter& filter, const DEVICE_NET_INFO_EX& info);

class CFilterMainEventImp : public ISFViewEvent,
                            public ISFRadioBoxEvent,
                            public ISFEditCtrlEvent,
                            public ISFComboBoxEvent,
                            public std::enable_shared_from_this<CFilterMainEventImp> {
    SF_DECLARE_MESSAGE_MAP(CFilterMainEventImp)

public:
    explicit CFilterMainEventImp(std::weak_ptr<CSearchDevEventImp> page);
    ~CFilterMainEventImp() override;

    int Create();
    CSFView* GetView() const { return m_pView; }

    int GetIpTypeFilter() const;
    int GetDevTypeFilter() const;
    int GetInitFilter() const;
    std::string GetKeyword() const;
    void ClearKeyword();
    DeviceFilter GetFilter() const;
    void ResetFilter();

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT, int, int) override {}
    void RADIO_OnClicked(int checked, int id, POINT point) override;
    void EDIT_OnEnterPressed(UINT id, wchar_t* text) override;
    void SelectChanged(int id, int index) override;
    using ISFComboBoxEvent::SelectChanged;
    void ApplyKeyword();

    // Box by control id (tests and the page); null for an unknown id.
    CSFRadioBox* GetBox(int id) const;
    CSFComboBox* GetIpTypeCombo() const { return m_pIpType; }
    CSFEditCtrl* GetKeywordEdit() const { return m_pKeyword; }

private:
    bool IsChecked(CSFRadioBox* box) const;
    void ShowWait(const wchar_t* text);

    CSFView* m_pView = nullptr;
    std::weak_ptr<CSearchDevEventImp> m_wpPage;
    CSFPictureCtrl* m_pSeparator1 = nullptr;
    CSFPictureCtrl* m_pSeparator2 = nullptr;
    CSFRadioBox* m_pIpv4 = nullptr;
    CSFRadioBox* m_pIpv6 = nullptr;
    CSFRadioBox* m_pAll = nullptr;
    CSFRadioBox* m_pIpc = nullptr;
    CSFRadioBox* m_pDvr = nullptr;
    CSFRadioBox* m_pSd = nullptr;
    CSFRadioBox* m_pNvr = nullptr;
    CSFRadioBox* m_pOthers = nullptr;
    CSFRadioBox* m_pUnInit = nullptr;
    CSFRadioBox* m_pInit = nullptr;
    CSFComboBox* m_pIpType = nullptr;
    CSFEditCtrl* m_pKeyword = nullptr;
    CSFButton* m_pFilterBtn = nullptr;
    int m_nLastIpType = 0;
};

std::shared_ptr<CFilterMainEventImp> CreateFilterMainView(std::shared_ptr<CSearchDevEventImp> page);
