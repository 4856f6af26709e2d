// The main window's template page. Two modes, chosen by two buttons across its top: "Template
// Manager" shows the editor shell, "Template Application" the apply panel. The page owns both and
// is the door through which the main window and the device list reach the template side: devices
// found by the device list go through it into the apply panel's tree. GUI thread only.
#pragma once

#include <memory>

#include "Common/DeviceInfo.h"
#include "Template/TemplateUsingHost.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFView.h"

class CMainFrameEventImp;
class CTemplateEditEventImp;
class CTemplateUsingEventImp;

class CTemplateEventImp : public ISFViewEvent,
                          public ISFRadioBoxEvent,
                          public ITemplateUsingHost,
                          public std::enable_shared_from_this<CTemplateEventImp> {
public:
    enum : int { ID_MANAGER = 1083, ID_APPLICATION = 1084 };

    explicit CTemplateEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CTemplateEventImp() override;
    static std::shared_ptr<CTemplateEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);
    int Init();

    CSFView* GetView() const { return m_pView; }
    std::shared_ptr<CTemplateEditEventImp> GetEditPage() const { return m_pEditPage; }
    std::shared_ptr<CTemplateUsingEventImp> GetUsingPage() const { return m_pUsingPage; }
    std::weak_ptr<CMainFrameEventImp> GetMainFrame() const { return m_wpMainFrame; }
    // true: the apply panel; false: the template manager.
    void SwitchMode(bool application) override;
    bool IsApplyMode() const;

    // What the apply panel asks of its page.
    std::weak_ptr<ITemplateEditShell> GetEditShell() override;
    int GetEditMode() override;
    void AskSaveCurrent() override;
    std::shared_ptr<CDeviceListUILogic> GetDeviceListUILogic() override;

    // Devices handed out by the device list.
    bool MatchTemplateType(DEVICE_NET_INFO_EX* info);
    void AddDeviceToTree(DEVICE_NET_INFO_EX* info, bool unused, int position);
    void ClearDevices();

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;
    void RADIO_OnClicked(int checked, int id, POINT pt) override;

    CSFRadioBox* GetManagerButton() const { return m_pManagerBtn; }
    CSFRadioBox* GetApplicationButton() const { return m_pApplicationBtn; }

private:
    CSFRadioBox* MakeModeButton(const wchar_t* key, const wchar_t* image, UINT id);

    CSFView* m_pView = nullptr;
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    CSFRadioBox* m_pManagerBtn = nullptr;
    CSFRadioBox* m_pApplicationBtn = nullptr;
    std::shared_ptr<CTemplateEditEventImp> m_pEditPage;
    std::shared_ptr<CTemplateUsingEventImp> m_pUsingPage;
};
