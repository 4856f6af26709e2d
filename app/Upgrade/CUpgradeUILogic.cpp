// Idle stand-in of the local upgrade scheduler; see the header.
#include "Upgrade/CUpgradeUILogic.h"

#include "Main/ShellPost.h"
#include "Upgrade/CUpgradeEventImp.h"

CUpgradeUILogic::CUpgradeUILogic(std::weak_ptr<CUpgradeEventImp> page) : m_wpPage(std::move(page)) {}

std::shared_ptr<CUpgradeUILogic> CUpgradeUILogic::Create(std::weak_ptr<CUpgradeEventImp> page)
{
    return std::make_shared<CUpgradeUILogic>(std::move(page));
}

void CUpgradeUILogic::Stop()
{
    m_bStop = 1;
    std::shared_ptr<CUpgradeUILogic> self = shared_from_this();
    ShellPostTask<CUpgradeUILogic>(
        VeyraBase::ML_SDK, self,
        [self] {
            ShellPostTask<CUpgradeUILogic>(VeyraBase::ML_MAIN, self, [self] { self->Task_Stop_Ret(); }, __FILE__,
                                           __LINE__, "&CUpgradeUILogic::Task_Stop_Ret", "Task_Stop");
        },
        __FILE__, __LINE__, "&CUpgradeLogic::Task_Stop", "CUpgradeUILogic::Stop");
}

void CUpgradeUILogic::Task_Stop_Ret()
{
    m_bUpgrading = 0;
    if (std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock())
        page->EnableBatchUpgrade(true);
}

void CUpgradeUILogic::StartUpgrade(LONG loginHandle, int restartOne)
{
    m_bStop = 0;
    if (!restartOne)
        return;
    for (auto& task : m_vecTask) {
        if (task && task->m_lLoginID == loginHandle) {
            task->m_lLoginID = 0;
            return;
        }
    }
}

void CUpgradeUILogic::DisConnect(int index)
{
    if (index >= 0 && index < static_cast<int>(m_vecTask.size()) && m_vecTask[index])
        m_vecTask[index]->m_nUpgradeState = 2;
}

void CUpgradeUILogic::ClearVecTask()
{
    m_vecTask.clear();
    m_nCurIndex = -1;
}
