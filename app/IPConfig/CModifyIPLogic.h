// The worker half of IP modification: one task per device on the device-call loop (loop 3),
// either through a login and the device's "Network" configuration or without login on its
// search record. Every outcome is posted back to CModifyIPUILogic on the GUI loop.
#pragma once

#include <memory>
#include <string>

#include "devsdk/DevSdkRecords.h"

class CModifyIPUILogic;

// Result codes of this feature besides the SDK's own (shown through GetSdkErrorText).
enum ModifyIpCode : unsigned {
    MODIFYIP_NO_MEMORY = 100,      // no text buffer
    MODIFYIP_NO_INTERFACE = 101,   // no interface entry carries the device's current address
    MODIFYIP_NOT_INITIALIZED = 102 // refused by the scheduler: the device has no password yet
};

class CModifyIPLogic {
public:
    explicit CModifyIPLogic(std::weak_ptr<CModifyIPUILogic> owner);

    // Set on the GUI thread while no task of this worker is queued (no batch runs).
    void SetStaticParam(std::string mask, std::string gateway);
    void SetDhcpMode();

    // Loop 3.
    void Task_StartModifyIP(std::string ip, std::string newIp, std::string user, std::string password, int port,
                            std::string mac, int p2p, int dhcp);
    void Task_StartModifyIPEx(DEVICE_NET_INFO_EX& info, std::string ip, std::string mac, bool dhcp);
    void Task_Stop();

private:
    void PostLogin(const std::string& ip, const std::string& mac, long handle);
    void PostModify(const std::string& ip, const std::string& mac, int result, unsigned code);
    void PostStartConfig(const std::string& ip, const std::string& mac);

    std::weak_ptr<CModifyIPUILogic> m_wpOwner;
    std::string m_strGateway;
    std::string m_strMask;
    int m_nDhcp = 0;
};

// The code reported for a failed step: the SDK's last error, or a generic failure when the SDK
// left none, so that a failed device never reads as "Success".
unsigned FailureCode(unsigned lastError);
