// What the batch scheduler tells the system configuration page. The page implements it and
// hands the scheduler a weak pointer; every call comes on the GUI thread (loop 1).
#pragma once

#include <string>
#include <vector>

#include "SysConfig/SysConfigRecords.h"

class ISysConfigView {
public:
    virtual ~ISysConfigView() = default;

    // A device of the run has its result: the tree row shows "/ok.png" for code 1, else "/error.png".
    virtual void SetResultIcon(int treeItem, int code) = 0;
    // The reset description of the one device of the QR-code way; result nonzero on success,
    // error the SDK's last error after the call.
    virtual void OnGetDescriptionRet(const PWD_DESCRIPTION& description, int result, DWORD error) = 0;
    // The security-code check of the QR-code way; result nonzero when the code was accepted.
    virtual void OnCheckSecurityCodeRet(int result) = 0;
    // End of a description run: the texts that came back, in arrival order.
    virtual void OnGetPwdDescriptionResult(std::vector<std::string> descriptions) = 0;
    // A run (operation, reset or description collection) has ended; IsConfiguring is 0 again.
    virtual void OnConfigFinished() {}
};
