// The filter panel along the top of the upgrade page: device classes, IP version and a text that
// must occur in the device's type, version or address. GUI thread only.
#pragma once

#include <memory>
#include <string>

#include "Widgets/SFButton.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFView.h"

class CUpgradeEventImp;

class CUpgradeFilterEventImp : public ISFViewEvent, public ISFRadioBoxEvent, public ISFEditCtrlEvent {
    SF_DECLARE_MESSAGE_MAP(CUpgradeFilterEventImp)

public:
    explicit CUpgradeFilterEventImp(std::weak_ptr<CUpgradeEventImp> page) : m_wpPage(std::move(page)) {}
    static std::shared_ptr<CUpgradeFilterEventImp> Create(std::weak_ptr<CUpgradeEventImp> page);
    void Init();

    CSFView* GetView() const { return m_pView; }
    int GetIPVersion() const;
    int GetDevTypeFlags() const;
    std::string GetFilterText() const;
    void ClearFilterText();

    int OnCreate() override;
    void RADIO_OnClicked(int checked, int id, POINT point) override;
    void EDIT_OnEnterPressed(UINT id, wchar_t* text) override;
    void OnBtnFilter();

    // The class boxes by id, for tests and screenshots.
    CSFRadioBox* GetBox(int id) const;
    CSFEditCtrl* GetTextBox() const { return m_pText; }

private:
    CSFView* m_pView = nullptr;
    std::weak_ptr<CUpgradeEventImp> m_wpPage;
    CSFPictureCtrl* m_pSeparator = nullptr;
    CSFRadioBox* m_pIPv4 = nullptr;
    CSFRadioBox* m_pIPv6 = nullptr;
    CSFRadioBox* m_pAll = nullptr;
    CSFRadioBox* m_pIPC = nullptr;
    CSFRadioBox* m_pSD = nullptr;
    CSFRadioBox* m_pDVR = nullptr;
    CSFRadioBox* m_pNVR = nullptr;
    CSFRadioBox* m_pOthers = nullptr;
    CSFEditCtrl* m_pText = nullptr;
    CSFButton* m_pFilterBtn = nullptr;
};
