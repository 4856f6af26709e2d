// Stand-in of the template export page until the export feature is built: a plain page in the
// editor shell's export screen; it keeps none of the devices handed to it and exports nothing.
#pragma once

#include <memory>

#include "Common/DeviceInfo.h"
#include "Main/IdlePageView.h"
#include "Widgets/SFView.h"

class CTemplateEditEventImp;

class CTemplateLoadEventImp : public ISFViewEvent {
public:
    static std::shared_ptr<CTemplateLoadEventImp> Create(std::weak_ptr<ISFViewEvent> shell)
    {
        auto page = std::make_shared<CTemplateLoadEventImp>();
        std::shared_ptr<ISFViewEvent> owner = shell.lock();
        page->m_pView = CreateIdlePageView(page.get(), owner ? owner->GetUIWnd() : nullptr, L"TemplateLoad",
                                           L"Export Template");
        return page;
    }
    CSFView* GetView() const { return m_pView; }
    void StartExport() {}
    void ClearDevices() {}

    bool IsSupportedDevice(DEVICE_NET_INFO_EX*) { return false; }
    void AddDeviceToTree(std::shared_ptr<DEVICE_INFO>) {}
    bool MatchFilter(const char*, int, const char*) { return false; }
    void ExpandDeviceTree() {}

private:
    CSFView* m_pView = nullptr;
};
