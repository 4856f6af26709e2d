// Idle stand-in of the device configuration logic; see the header.
#include "DevConfig/CLoginUILogic.h"

#include "Main/CMainFrameEventImp.h"
#include "Main/ShellPost.h"

CLoginUILogic::CLoginUILogic(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(std::move(mainFrame)) {}

std::shared_ptr<CLoginUILogic> CLoginUILogic::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto logic = std::make_shared<CLoginUILogic>(std::move(mainFrame));
    logic->Init();
    return logic;
}

void CLoginUILogic::LogoutDev()
{
    std::shared_ptr<CLoginUILogic> self = shared_from_this();
    ShellPostTask<CLoginUILogic>(
        VeyraBase::ML_SDK, self,
        [self] {
            ShellPostTask<CLoginUILogic>(VeyraBase::ML_MAIN, self, [self] { self->Task_LogoutDev_Ret(); }, __FILE__,
                                         __LINE__, "&CLoginUILogic::Task_LogoutDev_Ret", "Task_LogoutDev");
        },
        __FILE__, __LINE__, "&CLoginLogic::Task_LogoutDev", "CLoginUILogic::LogoutDev");
}

void CLoginUILogic::Task_LogoutDev_Ret()
{
    m_lLoginID = 0;
    if (std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock())
        main->OnModuleStopped(MAINFRAME_MODULE_DEVCONFIG_LOGIN);
}
