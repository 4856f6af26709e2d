// Worker of the cloud upgrade: creation and posting; see the header.
#include "CloudUpgrade/CCloudUpgradeLogic.h"

#include <QtGlobal>

#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Main/ShellPost.h"
#include "devsdk/DevSdk.h"

CCloudUpgradeLogic::CCloudUpgradeLogic(const std::shared_ptr<CCloudUpgradeUILogic>& uiLogic) : m_pUILogic(uiLogic) {}

bool CCloudUpgradeLogic::PostToUI(const char* method, const char* caller,
                                  std::function<void(CCloudUpgradeUILogic&)> call)
{
    std::shared_ptr<CCloudUpgradeUILogic> ui = m_pUILogic.lock();
    if (!ui)
        return false;
    return ShellPostTask<CCloudUpgradeUILogic>(
        VeyraBase::ML_MAIN, ui, [ui, call] { call(*ui); }, __FILE__, __LINE__, method, caller);
}

void CCloudUpgradeLogic::Task_StopDownloadFile(LONG handle, int index, int flag, unsigned generation)
{
    const BOOL stopOk = SdkCloudDownloadStop(handle);
    qDebug("Task_StopDownloadFile handle: %ld, index: %d, ok: %d", long(handle), index, int(stopOk));
    (void)flag;
    (void)generation;
}
