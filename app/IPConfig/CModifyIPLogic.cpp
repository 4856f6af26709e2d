#include "IPConfig/CModifyIPLogic.h"

#include <cstring>
#include <new>

#include "Common/StrHelpers.h"
#include "IPConfig/CModifyIPUILogic.h"
#include "Main/ShellPost.h"
#include "devsdk/CfgSdk.h"
#include "devsdk/DevSdk.h"

namespace {

constexpr DWORD kReadBufferSize = 32768;
constexpr DWORD kPackSize = 10240;
constexpr int kDefaultPort = 37777;
constexpr int kConnectThroughProxy = 19;

void CopyText(char* dest, size_t size, const std::string& text)
{
    SafeStrCopy(dest, size, text.c_str());
}

} // namespace

unsigned FailureCode(unsigned lastError) { return lastError != 0 ? lastError : SDK_ERROR; }

CModifyIPLogic::CModifyIPLogic(std::weak_ptr<CModifyIPUILogic> owner) : m_wpOwner(std::move(owner)) {}

void CModifyIPLogic::SetStaticParam(std::string mask, std::string gateway)
{
    m_strMask = std::move(mask);
    m_strGateway = std::move(gateway);
    m_nDhcp = 0;
}

void CModifyIPLogic::SetDhcpMode() { m_nDhcp = 1; }

void CModifyIPLogic::PostLogin(const std::string& ip, const std::string& mac, long handle)
{
    std::shared_ptr<CModifyIPUILogic> owner = m_wpOwner.lock();
    if (owner)
        ShellPostTask<CModifyIPUILogic>(
            VeyraBase::ML_MAIN, owner, [owner, ip, mac, handle] { owner->Task_Login_Ret(ip, mac, handle); }, __FILE__,
            __LINE__, "&CModifyIPUILogic::Task_Login_Ret", "CModifyIPLogic::Task_StartModifyIP");
}

void CModifyIPLogic::PostModify(const std::string& ip, const std::string& mac, int result, unsigned code)
{
    std::shared_ptr<CModifyIPUILogic> owner = m_wpOwner.lock();
    if (owner)
        ShellPostTask<CModifyIPUILogic>(
            VeyraBase::ML_MAIN, owner, [owner, ip, mac, result, code] { owner->Task_Modify_Ret(ip, mac, result, code); },
            __FILE__, __LINE__, "&CModifyIPUILogic::Task_Modify_Ret", "CModifyIPLogic::Task_StartModifyIP");
}

void CModifyIPLogic::PostStartConfig(const std::string& ip, const std::string& mac)
{
    std::shared_ptr<CModifyIPUILogic> owner = m_wpOwner.lock();
    if (owner)
        ShellPostTask<CModifyIPUILogic>(
            VeyraBase::ML_MAIN, owner, [owner, ip, mac] { owner->Task_StartConfig_Ret(ip, mac); }, __FILE__, __LINE__,
            "&CModifyIPUILogic::Task_StartConfig_Ret", "CModifyIPLogic::Task_StartModifyIP");
}

void CModifyIPLogic::Task_StartModifyIP(std::string ip, std::string newIp, std::string user, std::string password,
                                        int port, std::string mac, int p2p, int dhcp)
{
    SDK_LOGIN_DEVICE_INFO device;
    std::memset(&device, 0, sizeof device);
    int error = 0;
    int restart = 0;
    const int usePort = port == 0 ? kDefaultPort : port;
    const LONG handle = p2p ? SdkLoginEx("127.0.0.1", usePort, user.c_str(), password.c_str(), kConnectThroughProxy,
                                         nullptr, &device, &error)
                            : SdkLogin(ip.c_str(), usePort, user.c_str(), password.c_str(), &device, &error);
    if (handle == 0) {
        PostModify(ip, mac, 0, FailureCode(SdkGetLastError()));
        PostStartConfig(ip, mac);
        return;
    }
    PostLogin(ip, mac, handle);

    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kReadBufferSize]);
    std::unique_ptr<CFG_NETWORK_INFO> config(new (std::nothrow) CFG_NETWORK_INFO);
    if (!buffer || !config) {
        PostModify(ip, mac, 0, MODIFYIP_NO_MEMORY);
        SdkLogout(handle);
        PostStartConfig(ip, mac);
        return;
    }
    std::memset(buffer.get(), 0, kReadBufferSize);
    std::memset(config.get(), 0, sizeof(CFG_NETWORK_INFO));

    BOOL result = SdkGetNewConfig(handle, "Network", 0, buffer.get(), kReadBufferSize, &error, 3000);
    if (result) {
        int parsed = 0;
        result = SdkCfgParse("Network", buffer.get(), config.get(), sizeof(CFG_NETWORK_INFO), &parsed);
    }
    if (result) {
        // The entry that carries the address the device answers on; the first one wins.
        CFG_NETWORK_INTERFACE* entry = nullptr;
        const int count = config->nInterfaceNum < kMaxNetInterfaces ? config->nInterfaceNum : kMaxNetInterfaces;
        for (int i = 0; i < count && !entry; ++i)
            if (std::strncmp(config->stuInterfaces[i].szIP, ip.c_str(), sizeof config->stuInterfaces[i].szIP) == 0)
                entry = &config->stuInterfaces[i];
        if (!entry) {
            PostModify(ip, mac, 0, MODIFYIP_NO_INTERFACE);
            SdkLogout(handle);
            PostStartConfig(ip, mac);
            return;
        }
        if (dhcp == 0) {
            CopyText(entry->szIP, sizeof entry->szIP, newIp);
            CopyText(entry->szSubnetMask, sizeof entry->szSubnetMask, m_strMask);
            CopyText(entry->szDefGateway, sizeof entry->szDefGateway, m_strGateway);
        }
        entry->bDhcpEnable = dhcp;
        std::memset(buffer.get(), 0, kPackSize);
        result = SdkCfgPack("Network", config.get(), sizeof(CFG_NETWORK_INFO), buffer.get(), kPackSize);
        if (result)
            result = SdkSetNewConfig(handle, "Network", 0, buffer.get(), kPackSize, &error, &restart, 3000);
    }
    const unsigned last = SdkGetLastError();
    PostModify(ip, mac, result, result ? last : FailureCode(last));
    SdkLogout(handle);
    PostStartConfig(ip, mac);
}

void CModifyIPLogic::Task_StartModifyIPEx(DEVICE_NET_INFO_EX& info, std::string ip, std::string mac, bool dhcp)
{
    if (!dhcp) {
        CopyText(info.szNetMask, sizeof info.szNetMask, m_strMask);
        CopyText(info.szGatewayAddr, sizeof info.szGatewayAddr, m_strGateway);
    }
    info.bDhcpOn = dhcp ? 1 : 0;
    const BOOL result = SdkModifyDevice(&info, 10000, nullptr, nullptr, nullptr);
    const unsigned code = result ? 0 : FailureCode(SdkGetLastError());
    std::shared_ptr<CModifyIPUILogic> owner = m_wpOwner.lock();
    if (owner) {
        ShellPostTask<CModifyIPUILogic>(
            VeyraBase::ML_MAIN, owner, [owner, ip, mac, result, code] { owner->Task_Modify_Ret(ip, mac, result, code); },
            __FILE__, __LINE__, "&CModifyIPUILogic::Task_Modify_Ret", "CModifyIPLogic::Task_StartModifyIPEx");
        ShellPostTask<CModifyIPUILogic>(
            VeyraBase::ML_MAIN, owner, [owner, ip, mac] { owner->Task_StartConfig_Ret(ip, mac); }, __FILE__, __LINE__,
            "&CModifyIPUILogic::Task_StartConfig_Ret", "CModifyIPLogic::Task_StartModifyIPEx");
    }
}

void CModifyIPLogic::Task_Stop()
{
    std::shared_ptr<CModifyIPUILogic> owner = m_wpOwner.lock();
    if (owner)
        ShellPostTask<CModifyIPUILogic>(VeyraBase::ML_MAIN, owner, [owner] { owner->Task_Stop_Ret(); }, __FILE__,
                                        __LINE__, "&CModifyIPUILogic::Task_Stop_Ret", "CModifyIPLogic::Task_Stop");
}
