// Idle stand-in of the template page until the template feature is built: an empty page that
// shows its name, with an idle editor; it keeps none of the devices handed to it.
#pragma once

#include <memory>

#include "Common/DeviceInfo.h"
#include "Widgets/SFView.h"

class CMainFrameEventImp;
class CTemplateEditEventImp;

class CTemplateEventImp : public ISFViewEvent, public std::enable_shared_from_this<CTemplateEventImp> {
public:
    explicit CTemplateEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    static std::shared_ptr<CTemplateEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);

    CSFView* GetView() const { return m_pView; }
    std::shared_ptr<CTemplateEditEventImp> GetEditPage() const { return m_pEditPage; }
    // true: the application panel; false: the template manager.
    void SwitchMode(bool apply) { m_bApplyMode = apply; }
    bool IsApplyMode() const { return m_bApplyMode; }

    // Devices handed out by the device list.
    void ClearDevices() {}
    bool MatchTemplateType(DEVICE_NET_INFO_EX*) { return false; }
    void AddDeviceToTree(DEVICE_NET_INFO_EX*, bool, int) {}

private:
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    CSFView* m_pView = nullptr;
    std::shared_ptr<CTemplateEditEventImp> m_pEditPage;
    bool m_bApplyMode = false;
};
