// Worker of the local upgrade (loop 3): the blocking device calls of one device at a time. It
// keeps no per-device state: what identifies a device travels in the arguments and comes back
// unchanged in the results, which are posted to the scheduler on loop 1.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "os/WinTypes.h"

class CUpgradeUILogic;

class CUpgradeLogic : public std::enable_shared_from_this<CUpgradeLogic> {
public:
    explicit CUpgradeLogic(std::weak_ptr<CUpgradeUILogic> scheduler) : m_wpScheduler(std::move(scheduler)) {}

    // Logs in and starts the transfer of the file. taskId names the scheduler's record: results
    // of a record that is no longer listed are recognised by it.
    void Task_StartUpgrade(std::string ip, std::string user, std::string password, int port, std::string mac,
                           std::string file, int index, int p2p, unsigned taskId);
    // Ends a transfer and the login behind it (logout is decided on loop 1). Always answered.
    void Task_StopUpgrade(LONG loginHandle, LONG upgradeHandle, bool automatic, bool logout);
    // Answers once every task posted before it has run.
    void Task_Stop();
    // A login that no record needs any more.
    void Task_Logout(LONG loginHandle);

    // Progress of a transfer, on an SDK thread: forwarded unchanged to loop 1.
    static void BatchUpgradeCallBackFunc(LONG loginHandle, LONG upgradeHandle, int total, int sent, void* user);

private:
    void Post(const char* task, const char* caller, std::function<void(CUpgradeUILogic&)> call);

    std::weak_ptr<CUpgradeUILogic> m_wpScheduler;
};
