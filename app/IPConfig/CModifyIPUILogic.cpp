// Idle stand-in of the IP modification logic; see the header.
#include "IPConfig/CModifyIPUILogic.h"

#include "Main/CMainFrameEventImp.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/ShellPost.h"

CModifyIPUILogic::CModifyIPUILogic(std::weak_ptr<CSearchDevEventImp> page) : m_wpPage(std::move(page)) {}

std::shared_ptr<CModifyIPUILogic> CModifyIPUILogic::Create(std::shared_ptr<CSearchDevEventImp> page)
{
    return std::make_shared<CModifyIPUILogic>(page);
}

void CModifyIPUILogic::Stop()
{
    std::shared_ptr<CModifyIPUILogic> self = shared_from_this();
    ShellPostTask<CModifyIPUILogic>(
        VeyraBase::ML_SDK, self,
        [self] {
            ShellPostTask<CModifyIPUILogic>(VeyraBase::ML_MAIN, self, [self] { self->Task_Stop_Ret(); }, __FILE__,
                                            __LINE__, "&CModifyIPUILogic::Task_Stop_Ret", "Task_Stop");
        },
        __FILE__, __LINE__, "&CModifyIPLogic::Task_Stop", "CModifyIPUILogic::Stop");
}

void CModifyIPUILogic::Task_Stop_Ret()
{
    m_bModifying = 0;
    std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
    std::shared_ptr<CMainFrameEventImp> main = page ? page->GetMainFrame() : nullptr;
    if (main)
        main->OnModuleStopped(MAINFRAME_MODULE_MODIFYIP);
}
