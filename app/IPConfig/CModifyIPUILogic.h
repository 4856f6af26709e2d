// The GUI-side half of IP modification: the settings of one batch, one work record per selected
// device, at most five devices at the worker at a time, the result button in each device's row,
// and the end of the batch. Everything here runs on the GUI loop (loop 1).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Common/DeviceInfo.h"

class CSearchDevEventImp;
class CModifyIPLogic;

struct MODIFYIP_INFO {
    DEVICE_NET_INFO_EX stNetInfo;  // copy of the search record; in a static batch with the new address
    int nPort = 0;                 // 0 stands for 37777
    std::string strIp;             // current address: first key of every result
    std::string strMac;            // second key of every result
    std::string strUser;
    std::string strPassword;
    std::string strNewIp;          // empty in a DHCP batch
    int nLoginHandle = 0;
    int bFinished = 0;
    int bSucceeded = 0;
    int nRow = 0;
    int bSameIp = 0;               // another listed device shows the same address
    int bBroadcast = 0;            // 1: changed without login
    int bInitialized = 1;          // 0: refused with "Not initialized"
    int bP2P = 0;
};

class CModifyIPUILogic : public std::enable_shared_from_this<CModifyIPUILogic> {
public:
    enum { kMaxAtWorker = 5, kResultButtonId = 2138, kIpColumn = 5 };

    explicit CModifyIPUILogic(std::weak_ptr<CSearchDevEventImp> page);
    static std::shared_ptr<CModifyIPUILogic> Create(std::shared_ptr<CSearchDevEventImp> page);

    int IsModifying() const { return m_bModifying; }
    void SetModifyParam(std::string ip, std::string mask, std::string gateway, int sameIp, int dhcp);
    void ClearDevices() { m_vecDevices.clear(); }
    void AddDevice(std::shared_ptr<DEVICE_INFO> device, int row);
    void StartModifyIP();
    void ConfigNext();
    void Stop();
    int FindRecord(std::string ip, std::string mac);

    // Answers of the worker.
    void Task_Login_Ret(std::string ip, std::string mac, long handle);
    void Task_Modify_Ret(std::string ip, std::string mac, int result, unsigned code);
    void Task_StartConfig_Ret(std::string ip, std::string mac);
    void Task_Stop_Ret();

    const std::vector<std::shared_ptr<MODIFYIP_INFO>>& Records() const { return m_vecDevices; }
    // Settings of the last hand-over.
    const std::string& GetStartIp() const { return m_strStartIp; }
    const std::string& GetMask() const { return m_strMask; }
    const std::string& GetGateway() const { return m_strGateway; }
    int GetSameIp() const { return m_bSameIp; }
    int GetDhcp() const { return m_bDhcp; }
    // Index of the last record examined for dispatch.
    int GetCursor() const { return m_nCursor; }
    std::shared_ptr<CModifyIPLogic> GetWorker() const { return m_pWorker; }

private:
    void Refuse(MODIFYIP_INFO& record);
    void Dispatch(const MODIFYIP_INFO& record, const char* caller);
    void EndBatch();

    std::weak_ptr<CSearchDevEventImp> m_wpPage;
    std::shared_ptr<CModifyIPLogic> m_pWorker;
    int m_bModifying = 0;
    int m_bStop = 0;
    int m_nCursor = 0;
    std::vector<std::shared_ptr<MODIFYIP_INFO>> m_vecDevices;
    std::string m_strStartIp;
    std::string m_strGateway;
    std::string m_strMask;
    int m_bSameIp = 0;
    int m_bDhcp = 0;
};
