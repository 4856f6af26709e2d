// Idle stand-in of the IP modification logic until the network settings feature is built: it
// modifies no device, and answers a stop as an idle logic does, through a round trip over the
// device-call loop.
#pragma once

#include <memory>
#include <string>

#include "Common/DeviceInfo.h"

class CSearchDevEventImp;

class CModifyIPUILogic : public std::enable_shared_from_this<CModifyIPUILogic> {
public:
    explicit CModifyIPUILogic(std::weak_ptr<CSearchDevEventImp> page);
    static std::shared_ptr<CModifyIPUILogic> Create(std::shared_ptr<CSearchDevEventImp> page);

    int IsModifying() const { return m_bModifying; }
    void SetModifyParam(std::string, std::string, std::string, int, int) {}
    void ClearDevices() {}
    void AddDevice(std::shared_ptr<DEVICE_INFO>, int) {}
    void StartModifyIP() {}
    void Stop();
    void Task_Stop_Ret();

private:
    std::weak_ptr<CSearchDevEventImp> m_wpPage;
    int m_bModifying = 0;
};
