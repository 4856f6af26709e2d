// Worker of the cloud upgrade: its Task_ methods run on loop 2 (update checks of devices reached
// directly) or loop 3 (remote checks, downloads, firmware transfers), make every SDK call of the
// feature and post each result to the scheduler on loop 1. It keeps no state between tasks.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "CloudUpgrade/CloudUpgradeRecords.h"
#include "os/WinTypes.h"

class CCloudUpgradeUILogic;

// Result values of an update check besides the login error.
enum {
    CLOUD_CHECK_STOPPED = 11,
    CLOUD_CHECK_TIMEOUT = 12,
    CLOUD_CHECK_FAILED = 13,
};

class CCloudUpgradeLogic : public std::enable_shared_from_this<CCloudUpgradeLogic> {
public:
    explicit CCloudUpgradeLogic(const std::shared_ptr<CCloudUpgradeUILogic>& uiLogic);

    // Download stop (loop 3): answers Task_StopDownloadFile_Ret(stopOk, handle, index, flag).
    void Task_StopDownloadFile(LONG handle, int index, int flag, unsigned generation);

protected:
    // Posts a call of the scheduler to loop 1; false when the scheduler is gone.
    bool PostToUI(const char* method, const char* caller, std::function<void(CCloudUpgradeUILogic&)> call);

    std::weak_ptr<CCloudUpgradeUILogic> m_pUILogic;
};
