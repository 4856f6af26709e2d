// Idle stand-in of the cloud upgrade scheduler; see the header.
#include "CloudUpgrade/CCloudUpgradeUILogic.h"

#include "CloudUpgrade/CCloudUpgradeEventImp.h"
#include "Main/ShellPost.h"

CCloudUpgradeUILogic::CCloudUpgradeUILogic(std::weak_ptr<CCloudUpgradeEventImp> page) : m_pEventImp(std::move(page))
{
}

std::shared_ptr<CCloudUpgradeUILogic> CCloudUpgradeUILogic::Create(std::weak_ptr<CCloudUpgradeEventImp> page)
{
    return std::make_shared<CCloudUpgradeUILogic>(std::move(page));
}

void CCloudUpgradeUILogic::StopUpgrade()
{
    m_bStopUpgrade = 1;
    std::shared_ptr<CCloudUpgradeUILogic> self = shared_from_this();
    ShellPostTask<CCloudUpgradeUILogic>(
        VeyraBase::ML_SDK, self,
        [self] {
            ShellPostTask<CCloudUpgradeUILogic>(VeyraBase::ML_MAIN, self, [self] { self->Task_StopUpgrade_Ret(); },
                                                __FILE__, __LINE__, "&CCloudUpgradeUILogic::Task_StopUpgrade_Ret",
                                                "Task_StopUpgrade");
        },
        __FILE__, __LINE__, "&CCloudUpgradeLogic::Task_StopUpgrade", "CCloudUpgradeUILogic::StopUpgrade");
}

void CCloudUpgradeUILogic::Task_StopUpgrade_Ret()
{
    m_bUpgrading = 0;
    m_bStoppingUpgrade = 0;
    if (std::shared_ptr<CCloudUpgradeEventImp> page = m_pEventImp.lock())
        page->OnUpgradeButtonIdle();
}

void CCloudUpgradeUILogic::DisConnect(int index)
{
    if (index >= 0 && index < static_cast<int>(m_vecTask.size()) && m_vecTask[index]) {
        m_vecTask[index]->m_nUpgradeState = 2;
        m_vecTask[index]->m_bUpgradeSuccess = 0;
    }
}

void CCloudUpgradeUILogic::OnReconnect(LONG loginHandle, std::string)
{
    for (auto& task : m_vecTask) {
        if (task && task->m_nloginID == loginHandle) {
            task->m_nloginID = 0;
            return;
        }
    }
}

void CCloudUpgradeUILogic::ClearVecTask() { m_vecTask.clear(); }
