// The program's peers of the device configuration logic: the main window's page and view.
#include "DevConfig/DevConfigPeers.h"

#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "Main/CMainFrameEventImp.h"

namespace {

class MainFramePeers : public IDevConfigPeers {
public:
    explicit MainFramePeers(std::weak_ptr<CMainFrameEventImp> main) : m_wpMain(std::move(main)) {}

    void Page_SetLoggingIn(int on) override
    {
        if (std::shared_ptr<CDevConfigEventImp> page = Page())
            page->m_bLoggingIn = on;
    }
    void Page_AddPendingQuery(int delta) override
    {
        if (std::shared_ptr<CDevConfigEventImp> page = Page())
            page->m_nPendingQuery += delta;
    }
    void View_SetDeviceAccount(const std::string& user, const std::string& password) override
    {
        if (std::shared_ptr<CDevConfigEventImp> page = Page())
            if (std::shared_ptr<CCodeVideoCfgEventImp> view = page->GetCodeVideoCfgPage())
                view->SetDeviceAccount(user, password);
    }
    void Main_OnModuleStopped(int module) override
    {
        if (std::shared_ptr<CMainFrameEventImp> main = m_wpMain.lock())
            main->OnModuleStopped(module);
    }

private:
    std::shared_ptr<CDevConfigEventImp> Page() const
    {
        std::shared_ptr<CMainFrameEventImp> main = m_wpMain.lock();
        return main ? main->GetDevConfigPage() : nullptr;
    }

    std::weak_ptr<CMainFrameEventImp> m_wpMain;
};

} // namespace

std::shared_ptr<IDevConfigPeers> CreateMainFrameDevConfigPeers(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    return std::make_shared<MainFramePeers>(std::move(mainFrame));
}
